// The table's record acceptance: the filtered flag, the filter text and event, the hiding of
// versioned deletes, the key-range check, and finding records with the filter applied.
#include "memtable/MemTable.h"

#include "platform/core/Text.h"

#include <utility>

namespace velmoran {

// Puts the table into the filter state with a record under test, and back afterwards however the
// test ends.
class TzebCustomMemTable::RecordUnderTest {
public:
    RecordUnderTest(TzebCustomMemTable& table, const TzebRecord* record)
        : table_(table), state_(table.State()), record_(table.filterRecord_)
    {
        table_.filterRecord_ = record;
        table_.SetState(dsFilter);
    }
    ~RecordUnderTest()
    {
        table_.SetState(state_);
        table_.filterRecord_ = record_;
    }
    RecordUnderTest(const RecordUnderTest&) = delete;
    RecordUnderTest& operator=(const RecordUnderTest&) = delete;

private:
    TzebCustomMemTable& table_;
    TDataSetState state_;
    const TzebRecord* record_;
};

bool TzebCustomMemTable::IsFilterActive() const
{
    return store_->DeletedCount() > 0 || (filteredOn_ && (filterExpr_ || OnFilterRecord)) || MasterLinkActive();
}

bool TzebCustomMemTable::InKeyRange(const TzebRecord* record) const
{
    return CompareKeys(indexFields_, rangeStart_, record, -1, 0, false, RangeIgnoreNullKeyValues) <= 0 &&
           CompareKeys(indexFields_, rangeEnd_, record, -1, 0, false, RangeIgnoreNullKeyValues) >= 0;
}

bool TzebCustomMemTable::AcceptRecord(const TzebRecord* record, bool force) const
{
    if (!force && !IsFilterActive())
        return true;
    // Records that versioning keeps as deleted are never shown, whatever an index lists.
    if (record->ChangeStatus == mtcsDeleted)
        return false;
    auto& self = const_cast<TzebCustomMemTable&>(*this);
    RecordUnderTest test(self, record);
    if (RecalcOnIndex && HasCalcFields())
        self.GetCalcFields(reinterpret_cast<TRecordBuffer>(const_cast<TzebRecord*>(record)));
    if (MasterLinkActive() && !AcceptMasterLink(record))
        return false;
    if (RangeActive() && !InKeyRange(record))
        return false;
    if (!force && !filteredOn_)
        return true;
    bool accept = true;
    if (OnFilterRecord)
        OnFilterRecord(self, accept);
    if (accept && filterExpr_)
        accept = filterExpr_->Accepts(LocaleID());
    return accept;
}

TVariant TzebCustomMemTable::RecordValue(const TzebRecord* record, const TField& field)
{
    RecordUnderTest test(*this, record);
    return field.AsVariant();
}

bool TzebCustomMemTable::AcceptForIndex(TzebSortedIndex& index, const TzebRecord* record)
{
    RecordUnderTest test(*this, record);
    bool accept = true;
    if (index.OnFilter)
        index.OnFilter(index, accept);
    if (accept && OnFilterIndex)
        OnFilterIndex(*this, index, accept);
    if (accept && index.FilterExpression())
        accept = index.FilterExpression()->Accepts(LocaleID());
    return accept;
}

// ---- filter text ----

void TzebCustomMemTable::ParseFilter()
{
    filterExpr_.reset();
    std::string_view text = TrimView(filterText_);
    if (!text.empty())
        filterExpr_ = std::make_unique<TFilterExpression>(text, *this, filterOptions_);
}

void TzebCustomMemTable::RefreshFilter()
{
    if (Active())
        First();
}

void TzebCustomMemTable::SetFilter(const std::string& text)
{
    // A text that does not parse leaves the previous filter in force.
    std::string previous = std::exchange(filterText_, text);
    if (!Active())
        return;
    try {
        ParseFilter();
    } catch (...) {
        filterText_ = std::move(previous);
        ParseFilter();
        throw;
    }
    if (filteredOn_)
        RefreshFilter();
}

void TzebCustomMemTable::SetFilterOptions(TFilterOptions options)
{
    filterOptions_ = options;
    if (!Active())
        return;
    ParseFilter();
    if (filteredOn_)
        RefreshFilter();
}

void TzebCustomMemTable::SetFiltered(bool filtered)
{
    if (filtered == filteredOn_)
        return;
    filteredOn_ = filtered;
    if (!Active())
        return;
    if (filtered && !filterExpr_ && !TrimView(filterText_).empty())
        ParseFilter();
    RefreshFilter();
}

void TzebCustomMemTable::DoAfterOpen()
{
    ApplyIndexSelection();
    LoadFormData();
    LoadPersistent();
    ParseFilter();
    if (filteredOn_ && IsFilterActive())
        RefreshFilter();
    TDataSet::DoAfterOpen();
}

// ---- finding with the filter ----

bool TzebCustomMemTable::FindRecord(bool restart, bool forward)
{
    CheckBrowseMode();
    DoBeforeScroll();
    found_ = false;
    const int count = currentIndex_->Count();
    int i = forward ? 0 : count - 1;
    if (!restart) {
        const TzebRecord* active = AsRecord(ActiveBuffer());
        if (active && active->Position >= 0)
            i = active->Position + (forward ? 1 : -1);
    }
    for (; forward ? i < count : i >= 0; i += forward ? 1 : -1) {
        if (AcceptRecord(currentIndex_->At(i), true)) {
            cursor_ = i;
            Resync();
            found_ = true;
            DoAfterScroll();
            break;
        }
    }
    return found_;
}

bool TzebCustomMemTable::FindFirst() { return FindRecord(true, true); }
bool TzebCustomMemTable::FindLast() { return FindRecord(true, false); }
bool TzebCustomMemTable::FindNext() { return FindRecord(false, true); }
bool TzebCustomMemTable::FindPrior() { return FindRecord(false, false); }

}  // namespace velmoran
