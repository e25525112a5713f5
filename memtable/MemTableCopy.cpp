// Copying records between the table and other datasets: copying from one to another, loading
// from a dataset (optionally taking over its structure and field properties), saving to one,
// and updating one by key fields.
#include "memtable/MemTable.h"

#include "memtable/CleanupSteps.h"

#include "platform/core/ScopeExit.h"

#include <algorithm>
#include <exception>

namespace velmoran {

namespace {

using FieldPairs = std::vector<std::pair<TField*, const TField*>>;

// Destination fields with the source field of the same name; calculated and lookup fields of the
// destination take no value, and auto-increment fields of a non-empty destination keep counting.
FieldPairs MapFields(const TDataSet& source, TDataSet& destination)
{
    FieldPairs pairs;
    const bool destinationEmpty = destination.IsEmpty();
    for (const auto& field : destination.Fields()) {
        if (field->FieldKind() == fkCalculated || field->FieldKind() == fkLookup)
            continue;
        if (field->DataType() == ftAutoInc && !destinationEmpty)
            continue;
        if (const TField* from = source.FindField(field->FieldName()))
            pairs.emplace_back(field.get(), from);
    }
    return pairs;
}

void AssignValues(const FieldPairs& pairs, TzebCopyOptions options)
{
    for (const auto& [to, from] : pairs) {
        try {
            AssignFieldValue(*to, *from);
        } catch (const Exception&) {
            if (!(options & mtcpoIgnoreErrors))
                throw;
        }
    }
}

// Moves the destination's new or edited record into place, or drops it when that fails.
template <typename Fill>
void WriteRecord(TDataSet& destination, Fill fill)
{
    try {
        fill();
        destination.Post();
    } catch (...) {
        destination.Cancel();
        throw;
    }
}

// Percent of `total` that `done` is; a source that reports no count (0 or less) is halfway.
int Percent(int done, int total)
{
    return total > 0 ? static_cast<int>(std::min<long long>(100, static_cast<long long>(done) * 100 / total)) : 50;
}

// Holds a dataset's place and its followers still while records are read from it.
class HeldPlace {
public:
    explicit HeldPlace(TDataSet& dataSet) : dataSet_(dataSet), place_(dataSet.GetBookmark())
    {
        dataSet_.DisableControls();
    }
    // Back to the place; its followers hear of the change (which may fail, hence no destructor).
    void Release()
    {
        if (std::exchange(released_, true))
            return;
        try {
            if (dataSet_.Active() && dataSet_.BookmarkValid(place_))
                dataSet_.GotoBookmark(place_);
        } catch (...) {
            dataSet_.EnableControls();
            throw;
        }
        dataSet_.EnableControls();
    }
    ~HeldPlace()
    {
        if (!released_)
            dataSet_.EnableControls();
    }
    HeldPlace(const HeldPlace&) = delete;
    HeldPlace& operator=(const HeldPlace&) = delete;

private:
    TDataSet& dataSet_;
    TBookmark place_;
    bool released_ = false;
};

}  // namespace

int TzebCustomMemTable::CopyRecords(TDataSet& source, TDataSet& destination, int limit, TzebCopyOptions options)
{
    const FieldPairs pairs = MapFields(source, destination);
    const int total = source.RecordCount();
    int copied = 0;
    ReportProgress(0, mtpcCopy);
    for (; !source.Eof(); source.Next()) {
        if (limit >= 0 && copied >= limit)
            break;
        if (&source == this && OnSaveRecord) {
            bool accept = true;
            OnSaveRecord(*this, accept);
            if (!accept)
                continue;
        }
        destination.Append();
        WriteRecord(destination, [&] { AssignValues(pairs, options); });
        if (++copied % 100 == 0)
            ReportProgress(Percent(copied, total), mtpcCopy);
    }
    ReportProgress(100, mtpcCopy);
    return copied;
}

// ---- loading from a dataset ----

void TzebCustomMemTable::CopyStructure(TDataSet& source, TzebCopyOptions options)
{
    // The source's definitions, or those of its data field objects (made from a field whose
    // closed dataset has no definitions yet).
    TFieldDefs made;
    std::vector<const TFieldDef*> defs;
    if (options & mtcpoOnlyActiveFields || source.FieldDefs().Count() == 0) {
        for (const auto& field : source.Fields()) {
            if (!field->IsDataField())
                continue;
            const TFieldDef* def = source.FieldDefs().Find(field->FieldName());
            defs.push_back(def ? def : &made.Add(field->FieldName(), field->DataType(), field->Size(), field->Required()));
        }
    } else {
        for (int i = 0; i < source.FieldDefs().Count(); ++i)
            defs.push_back(&source.FieldDefs()[i]);
    }
    if (options & mtcpoFieldIndex) {
        // The order of the source's field objects; definitions without one come last.
        auto place = [&](const TFieldDef* def) {
            for (int i = 0; i < source.FieldCount(); ++i)
                if (SameFieldName(source.Fields()[i].FieldName(), def->Name()))
                    return i;
            return source.FieldCount();
        };
        std::stable_sort(defs.begin(), defs.end(), [&](auto* a, auto* b) { return place(a) < place(b); });
    }
    std::erase_if(defs, [](const TFieldDef* def) { return !ZebFieldTypeSupported(def->DataType()); });
    if (static_cast<int>(defs.size()) > ZEB_MAX_FIELDS)
        throw EMemTableError("Zu viele Felddefinitionen");
    TFieldDefs copy;
    for (const TFieldDef* def : defs)
        CopyFieldDef(*def, copy);
    ClearFields();
    CopyFieldDefs(copy, FieldDefs());
    if (!(options & (mtcpoLookup | mtcpoCalculated)))
        return;
    // Calculated and lookup fields exist only as field objects: every field becomes one.
    for (int i = 0; i < FieldDefs().Count(); ++i)
        AddFieldObject(CreateFieldForDef(FieldDefs()[i]));
    for (const auto& field : source.Fields())
        if ((field->FieldKind() == fkCalculated && (options & mtcpoCalculated)) ||
            (field->FieldKind() == fkLookup && (options & mtcpoLookup)))
            AddFieldObject(CloneField(*field));
}

void TzebCustomMemTable::CopyFieldsPropertiesFrom(TDataSet& source)
{
    for (const auto& field : Fields()) {
        if (const TField* from = source.FindField(field->FieldName()))
            CopyFieldProperties(*from, *field);
        if (OnSetupFieldProperties)
            OnSetupFieldProperties(*this, *field);
    }
}

void TzebCustomMemTable::LoadFromDataSet(TDataSet& source, TzebCopyOptions options)
{
    if ((options & mtcpoStructure) && (options & mtcpoAppend))
        throw EMemTableError("Die Struktur kann nicht zugleich kopiert und angehängt werden");
    if (OnLoad)
        OnLoad(*this, mtstDataSet, nullptr);
    if (options & mtcpoStructure) {
        Close();
        CopyStructure(source, options);
    }
    if (!Active())
        Open();
    if (!(options & (mtcpoStructure | mtcpoAppend)))
        EmptyTable();
    if (!source.Active())
        source.Open();
    if (options & mtcpoProperties)
        CopyFieldsPropertiesFrom(source);

    // Everything switched here comes back however the copy ends.
    const bool filtered = Filtered();
    const bool masterLink = masterLinkEnabled_;
    const bool enableIndexes = EnableIndexes;
    const ScopedValue<bool> copying(CopyingValues, true);
    SetFiltered(false);
    SetMasterLinkEnabled(false);
    if (!(options & mtcpoDontDisableIndexes))
        EnableIndexes = false;
    HeldPlace place(source);
    std::exception_ptr failure;
    try {
        source.First();
        CopyRecords(source, *this, LoadLimit, options);
        LoadedCompletely = source.Eof();
    } catch (...) {
        failure = std::current_exception();
    }
    EnableIndexes = enableIndexes;
    TCleanupSteps restore(failure);
    restore([&] { ReloadIndexes(); });
    restore([&] { SetMasterLinkEnabled(masterLink); });
    restore([&] { SetFiltered(filtered); });
    restore([&] { place.Release(); });
    restore([&] { First(); });
    restore.Finish();
}

// ---- saving to a dataset ----

void TzebCustomMemTable::SaveToDataSet(TDataSet& destination, TzebCopyOptions options)
{
    if (OnSave)
        OnSave(*this, mtstDataSet, nullptr);
    if (!Active())
        Open();
    if (!destination.Active())
        destination.Open();
    HeldPlace place(*this);
    First();
    SavedCompletely = false;
    CopyRecords(*this, destination, SaveLimit, options);
    SavedCompletely = Eof();
    place.Release();
}

void TzebCustomMemTable::UpdateToDataSet(TDataSet& destination, std::string_view keyFields, bool editFound,
                                         bool appendMissing)
{
    if (!Active())
        Open();
    if (!destination.Active())
        destination.Open();
    std::vector<TField*> keys;
    for (const std::string& name : SplitFieldNames(keyFields))
        keys.push_back(&FieldByName(name));
    if (keys.empty())
        throw EMemTableError("Es muss mindestens ein Feld angegeben sein");
    const FieldPairs pairs = MapFields(*this, destination);
    HeldPlace place(*this);
    HeldPlace destinationPlace(destination);
    const int total = RecordCount();
    int done = 0;
    ReportProgress(0, mtpcUpdate);
    for (First(); !Eof(); Next()) {
        std::vector<TVariant> values;
        for (TField* key : keys)
            values.push_back(key->AsVariant());
        const TVariant wanted = values.size() == 1 ? values.front() : TVariant(std::move(values));
        if (destination.Locate(keyFields, wanted)) {
            if (!editFound)
                continue;
            destination.Edit();
        } else {
            if (!appendMissing)
                continue;
            destination.Append();
        }
        WriteRecord(destination, [&] { AssignValues(pairs, 0); });
        if (++done % 100 == 0)
            ReportProgress(Percent(done, total), mtpcUpdate);
    }
    ReportProgress(100, mtpcUpdate);
    destinationPlace.Release();
    place.Release();
}

}  // namespace velmoran
