// The table's links to other tables: the master/detail link (which records the table shows
// follows the master's current record) and the store shared by attached tables.
#include "memtable/MemTable.h"

#include "platform/core/Text.h"

#include <algorithm>
#include <utility>

namespace velmoran {

namespace {

const char* const kTableMustBeClosed = "Die Tabelle muss für diesen Vorgang geschlossen sein";

}  // namespace

// ---- master/detail ----

TDataSource* TzebCustomMemTable::MasterSource() const
{
    return masterLink_.Source();
}

void TzebCustomMemTable::SetMasterSource(TDataSource* source)
{
    if (source == masterLink_.Source())
        return;
    // The whole chain of masters is followed: a circle of any length would move each table by
    // the next without end.
    if (source && source->DataSet() && LeadsTo(source->DataSet(), this))
        throw EDatabaseError("Eine Master/Detail-Beziehung einer Datenmenge auf sich selbst ist nicht zulässig");
    TDataSource* previous = masterLink_.Source();
    masterLink_.SetSource(source);
    try {
        MasterChanged(dcSourceChange);
    } catch (...) {
        // A master without the named fields leaves the previous link in force.
        masterLink_.SetSource(previous);
        MasterChanged(dcSourceChange);
        throw;
    }
}

void TzebCustomMemTable::SetMasterFields(const std::string& names)
{
    std::string previous = std::exchange(masterFieldNames_, names);
    try {
        MasterChanged(dcSourceChange);
    } catch (...) {
        masterFieldNames_ = std::move(previous);
        MasterChanged(dcSourceChange);
        throw;
    }
}

void TzebCustomMemTable::SetDetailFields(const std::string& names)
{
    if (Active()) {
        TzebFieldList list;
        BuildFieldList(names, list);
        list.CopyTo(detailFields_);
    }
    detailFieldNames_ = names;
    MasterChanged(dcDataSetChange);
}

void TzebCustomMemTable::SetMasterLinkEnabled(bool enabled)
{
    if (enabled == masterLinkEnabled_)
        return;
    masterLinkEnabled_ = enabled;
    MasterChanged(dcDataSetChange);
}

bool TzebCustomMemTable::MasterLinkActive() const
{
    return masterLinkEnabled_ && masterBuffer_ && masterFields_.Count() > 0 && LinkFieldList().Count() > 0 &&
           masterLink_.Active();
}

bool TzebCustomMemTable::AcceptMasterLink(const TzebRecord* record) const
{
    return CompareKeys(LinkFieldList(), masterBuffer_, record, masterFields_.Count()) == 0;
}

void TzebCustomMemTable::BuildMasterFieldList()
{
    masterFields_.Clear();
    // The master's fields exist for sure only while it is open; the list is built anew when
    // it opens.
    if (!open_ || !masterLink_.Active())
        return;
    TDataSet& master = *masterLink_.Source()->DataSet();
    TzebFieldList list;
    for (const std::string& part : SplitFieldNames(masterFieldNames_)) {
        // The list may carry the option letters of a key list; the master's fields ignore them.
        const std::string name = Trim(std::string_view(part).substr(0, part.find(':')));
        list.Add(&master.FieldByName(name), -1, 0);
    }
    list.CopyTo(masterFields_);
}

void TzebCustomMemTable::FreeMasterBuffer()
{
    if (!masterBuffer_)
        return;
    store_->FreeBlocks(masterBuffer_);
    store_->FreeRecord(masterBuffer_, false, false);
}

void TzebCustomMemTable::FillMasterBuffer()
{
    if (masterFields_.Count() == 0)
        return;
    if (!masterBuffer_)
        masterBuffer_ = store_->AllocateRecord();
    store_->FreeBlocks(masterBuffer_);
    store_->ClearRecord(masterBuffer_);
    const TzebFieldList& detail = LinkFieldList();
    const int n = std::min(masterFields_.Count(), detail.Count());
    for (int i = 0; i < n; ++i)
        WriteVariant(masterBuffer_, *detail[i].Field, masterFields_[i].Field->AsVariant());
}

void TzebCustomMemTable::MasterChanged(TDataChange change)
{
    if (!open_)
        return;
    if (change == dcSourceChange || change == dcOpen || change == dcClose)
        BuildMasterFieldList();
    FillMasterBuffer();
    CheckBrowseMode();
    First();
}

// ---- shared stores ----

void TzebCustomMemTable::SetAttachedTo(TzebCustomMemTable* target)
{
    if (target == this)
        throw EMemTableError("Eine Tabelle kann nicht an sich selbst angehängt werden");
    if (target == attachedTo_)
        return;
    // Everything that can refuse is asked before anything changes: a refused attachment leaves
    // the table on its store, open or not.
    if (target && target->attachedTo_)
        throw EMemTableError("Eine Tabelle kann nicht an eine selbst angehängte Tabelle angehängt werden");
    if (target && target->store_->FreeAttachEntry() < 0)
        throw EMemTableError(kTableMustBeClosed);
    if (!attachedTo_ && store_->AttachedCount() > 1)
        throw EMemTableError("An diese Tabelle sind andere Tabellen angehängt");
    Close();
    if (attachedTo_)
        LeaveStore();
    if (target)
        JoinStore(*target);
}

void TzebCustomMemTable::LeaveStore()
{
    store_->Detach(this);
    ownStore_ = std::make_unique<TzebCommon>(this);
    store_ = ownStore_.get();
    attachIndex_ = store_->Attach(this);
    attachedTo_ = nullptr;
    indexes_.ClearRecords();
    currentIndex_ = &indexes_.RowOrder();
}

void TzebCustomMemTable::JoinStore(TzebCustomMemTable& target)
{
    const int index = target.store_->Attach(this);
    store_->Detach(this);
    ownStore_.reset();
    store_ = target.store_;
    attachIndex_ = index;
    attachedTo_ = &target;
    indexes_.ClearRecords();
    currentIndex_ = &indexes_.RowOrder();
    CopyFieldDefs(target.FieldDefs(), FieldDefs());
    for (const auto& field : target.Fields())
        if (!FindField(field->FieldName()))
            AddFieldObject(CloneField(*field));
}

void TzebCustomMemTable::SetStandalone(bool standalone)
{
    if (standalone == store_->Standalone())
        return;
    if (Active())
        throw EMemTableError(kTableMustBeClosed);
    if (attachedTo_)
        throw EMemTableError("Die Tabelle ist an eine andere Tabelle angehängt");
    store_->SetStandalone(standalone);
}

void TzebCustomMemTable::GotoCurrent(TzebCustomMemTable& other)
{
    CheckBrowseMode();
    const TzebRecord* current = other.Active() ? AsRecord(other.ActiveBuffer()) : nullptr;
    const TzebRecord* record =
        current && other.store_ == store_ && other.State() != dsInsert ? store_->RecordAt(current->SlotNumber) : nullptr;
    const int position = record ? currentIndex_->IndexOfRecord(record) : -1;
    if (position < 0 || !AcceptRecord(record))
        throw EMemTableError("Datensatz nicht gefunden");
    DoBeforeScroll();
    cursor_ = position;
    Resync();
    DoAfterScroll();
}

}  // namespace velmoran
