// The brackets around saving and loading through a format, and the choice of fields.
#include "memtable/StreamFormat.h"

#include "memtable/CleanupSteps.h"
#include "memtable/MemTable.h"

#include <algorithm>
#include <utility>

namespace velmoran {

TzebCustomStreamFormat::TzebCustomStreamFormat()
{
    for (TzebFormatOption both : {sfoData, sfoNonVisible, sfoBlobs, sfoDefinitions, sfoIndexDefinitions})
        Option(both) = {true, true};
    for (TzebFormatOption first : {sfoFiltered, sfoIgnoreRange, sfoIgnoreMasterDetail, sfoFieldKind, sfoFromStart})
        Option(first).Flag1 = true;
}

TzebCustomStreamFormat::~TzebCustomStreamFormat()
{
    NotifyDestruction();
}

// ---- brackets ----

void TzebCustomStreamFormat::RunSave(TzebCustomMemTable& table, TStream& stream)
{
    stream_ = &stream;
    failed_ = false;
    try {
        BeforeSave(table);
        Save(table);
    } catch (...) {
        failed_ = true;
        try {
            AfterSave(table);
        } catch (...) {
            // The failure of the save itself is the one to report.
        }
        throw;
    }
    AfterSave(table);
}

void TzebCustomStreamFormat::RunLoad(TzebCustomMemTable& table, TStream& stream)
{
    stream_ = &stream;
    failed_ = false;
    try {
        BeforeLoad(table);
        Load(table);
    } catch (...) {
        failed_ = true;
        try {
            AfterLoad(table);
        } catch (...) {
        }
        throw;
    }
    AfterLoad(table);
}

// ---- fields ----

void TzebCustomStreamFormat::BuildFieldMap(TzebCustomMemTable& table, bool loading)
{
    auto wanted = [&](TzebFormatOption option) {
        const TzebFormatFlags& flags = Option(option);
        return loading ? flags.Flag2 : flags.Flag1;
    };
    fieldMap_.clear();
    for (int i = 0; i < table.FieldCount(); ++i) {
        const TField& field = table.Fields()[i];
        bool take = false;
        switch (field.FieldKind()) {
        case fkData:
        case fkInternalCalc:
            take = wanted(sfoData);
            break;
        case fkCalculated:
            take = wanted(sfoCalculated);
            break;
        case fkLookup:
            take = wanted(sfoLookup);
            break;
        }
        if (IsBlobType(field.DataType()))
            take = take && wanted(sfoBlobs);
        if (!field.Visible)
            take = take && wanted(sfoNonVisible);
        fieldMap_.push_back(take ? i : -1);
    }
}

void TzebCustomStreamFormat::DetermineSaveFieldFlags(TzebCustomMemTable& table)
{
    BuildFieldMap(table, false);
}

void TzebCustomStreamFormat::DetermineLoadFieldFlags(TzebCustomMemTable& table)
{
    BuildFieldMap(table, true);
}

int TzebCustomStreamFormat::LoadFieldCount(TzebCustomMemTable&)
{
    return static_cast<int>(std::count_if(fieldMap_.begin(), fieldMap_.end(), [](int i) { return i >= 0; }));
}

void TzebCustomStreamFormat::DisplayLabels(TzebCustomMemTable& table, std::vector<std::string>& labels)
{
    labels.clear();
    for (int i : fieldMap_)
        if (i >= 0)
            labels.push_back(table.Fields()[i].DisplayLabel());
}

// ---- saving ----

void TzebCustomStreamFormat::BeforeSave(TzebCustomMemTable& table)
{
    table.CheckActive();
    table.DisableControls();
    controlsDisabled_ = true;
    table.Store().Lock();
    locked_ = true;
    table.ReportProgress(0, mtpcSave);
    if (Option(sfoFiltered).Flag1 && table.Filtered()) {
        table.SetFiltered(false);
        filterSwitched_ = true;
    }
    if (Option(sfoIgnoreRange).Flag1 && table.RangeActive()) {
        table.SetRangeActive(false);
        rangeSwitched_ = true;
    }
    if (Option(sfoIgnoreMasterDetail).Flag1 && table.MasterLinkActive()) {
        table.SetMasterLinkEnabled(false);
        masterSwitched_ = true;
    }
    if (OnCompress) {
        scratch_ = std::make_unique<TMemoryStream>();
        work_ = scratch_.get();
    } else {
        work_ = stream_;
    }
    // The target, not a scratch stream, is positioned or emptied: the compressed result goes there.
    if (Option(sfoAppend).Flag1) {
        stream_->Seek(0, SeekOrigin::End);
    } else if (!Option(sfoAppend).Flag2) {
        stream_->SetSize(0);
        stream_->SetPosition(0);
    }
    DetermineSaveFieldFlags(table);
}

void TzebCustomStreamFormat::Save(TzebCustomMemTable& table)
{
    SaveDefinitions(table);
    SaveData(table);
}

void TzebCustomStreamFormat::AfterSave(TzebCustomMemTable& table)
{
    TCleanupSteps steps;
    if (!failed_ && scratch_ && OnCompress)
        steps([&] {
            scratch_->SetPosition(0);
            OnCompress(table, *scratch_, *stream_);
        });
    if (std::exchange(masterSwitched_, false))
        steps([&] { table.SetMasterLinkEnabled(true); });
    if (std::exchange(rangeSwitched_, false))
        table.SetRangeActive(true);
    if (std::exchange(filterSwitched_, false))
        steps([&] { table.SetFiltered(true); });
    steps([&] { table.ReportProgress(100, mtpcSave); });
    Release(table);
    steps.Finish();
}

void TzebCustomStreamFormat::Release(TzebCustomMemTable& table)
{
    if (std::exchange(locked_, false))
        table.Store().Unlock();
    if (std::exchange(controlsDisabled_, false))
        table.EnableControls();
    scratch_.reset();
    work_ = nullptr;
}

// ---- loading ----

void TzebCustomStreamFormat::BeforeLoad(TzebCustomMemTable& table)
{
    table.DisableControls();
    controlsDisabled_ = true;
    table.Store().Lock();
    locked_ = true;
    persistent_ = std::exchange(table.Persistent, false);
    enableIndexes_ = std::exchange(table.EnableIndexes, false);
    table.LoadingValues = true;
    loadSwitched_ = true;
    if (table.AutoReposition && table.Active() && !table.IsEmpty())
        bookmark_ = std::make_unique<TBookmark>(table.GetBookmark());
    table.ReportProgress(0, mtpcLoad);
    if (Option(sfoFromStart).Flag1)
        stream_->SetPosition(0);
    if (OnDecompress) {
        scratch_ = std::make_unique<TMemoryStream>();
        OnDecompress(table, *stream_, *scratch_);
        scratch_->SetPosition(0);
        work_ = scratch_.get();
    } else {
        work_ = stream_;
    }
    DetermineLoadFieldFlags(table);
}

void TzebCustomStreamFormat::Load(TzebCustomMemTable& table)
{
    LoadDefinitions(table);
    if (LoadFieldCount(table) <= 0)
        throw EMemTableError("Die Zahl der Felder zum Laden lässt sich nicht bestimmen");
    LoadData(table);
}

void TzebCustomStreamFormat::AfterLoad(TzebCustomMemTable& table)
{
    TCleanupSteps steps;
    if (std::exchange(loadSwitched_, false)) {
        table.Persistent = persistent_;
        table.EnableIndexes = enableIndexes_;
        table.LoadingValues = false;
    }
    // A record the format left half-made is dropped, never posted by the moves below.
    if (table.State() == dsEdit || table.State() == dsInsert)
        steps([&] { table.Cancel(); });
    if (table.Active())
        steps([&] {
            table.MatchIndexesToDefinitions();
            table.ReloadIndexes();
        });
    std::unique_ptr<TBookmark> bookmark = std::move(bookmark_);
    if (table.Active())
        steps([&] {
            table.ClearBuffers();
            if (bookmark && table.BookmarkValid(*bookmark))
                table.GotoBookmark(*bookmark);
            else
                table.First();
        });
    Release(table);
    steps([&] { table.ReportProgress(100, mtpcLoad); });
    if (table.Active())
        steps([&] { table.Refresh(); });
    steps.Finish();
}

}  // namespace velmoran
