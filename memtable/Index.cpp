// The row-order index, sorted indexes (loading, sorting, maintenance on post and delete, unique
// checks, finding a record), the index collection and the index definitions.
#include "memtable/Index.h"

#include "memtable/MemTable.h"
#include "platform/core/Text.h"

#include <algorithm>

namespace velmoran {

namespace {

const char* const kDuplicateKey = "Doppelter Indexwert. Vorgang abgebrochen.";

}  // namespace

// ---- row order ----

void TzebIndex::InsertRecord(TzebRecord* record, int position)
{
    if (position < 0 || position >= Count())
        records_.push_back(record);
    else
        records_.insert(records_.begin() + position, record);
}

int TzebIndex::IndexOfRecord(const TzebRecord* record, int hint) const
{
    if (hint >= 0 && hint < Count() && records_[static_cast<std::size_t>(hint)] == record)
        return hint;
    // A scan, not a search by slot number: a record inserted at a record number leaves slot order.
    auto it = std::find(records_.begin(), records_.end(), record);
    return it == records_.end() ? -1 : static_cast<int>(it - records_.begin());
}

void TzebIndex::DeleteRecord(const TzebRecord* record, int hint)
{
    int position = IndexOfRecord(record, hint);
    if (position >= 0)
        records_.erase(records_.begin() + position);
}

int TzebIndex::CompareRecords(const TzebRecord* a, const TzebRecord* b) const
{
    return a->SlotNumber < b->SlotNumber ? -1 : a->SlotNumber > b->SlotNumber ? 1 : 0;
}

// ---- sorted index ----

TzebSortedIndex::TzebSortedIndex(TzebCustomMemTable& table, std::string name, std::string_view fieldNames,
                                 std::uint8_t options, TzebChangeStatuses shown)
    : TzebIndex(std::move(name)), table_(table), keyNames_(fieldNames), options_(options), shown_(shown)
{
    // The whole-index options that describe how keys compare apply to every key field.
    table.BuildFieldList(fieldNames, keys_, static_cast<std::uint8_t>(options & 0x1F));
    SetOrdered(table.Store().SlotCount() == 0);
}

TzebSortedIndex::~TzebSortedIndex() = default;

void TzebSortedIndex::SetFilter(std::string_view expression)
{
    if (TrimView(expression).empty())
        filter_.reset();
    else
        filter_ = std::make_unique<TFilterExpression>(expression, table_, table_.FilterOptions());
    SetOrdered(false);
}

bool TzebSortedIndex::Accepts(const TzebRecord* record)
{
    return !Filtered() && !table_.OnFilterIndex ? true : table_.AcceptForIndex(*this, record);
}

void TzebSortedIndex::Load()
{
    records_.clear();
    const TzebCommon& store = table_.Store();
    records_.reserve(Filtered() ? 100 : static_cast<std::size_t>(store.SlotCount()));
    for (int slot = 0; slot < store.SlotCount(); ++slot) {
        TzebRecord* record = store.RecordAt(slot);
        if (!record || !Shows(record->ChangeStatus))
            continue;
        if (record->ChangeStatus == mtcsDeleted && !store.EnableVersioning())
            continue;
        if (Accepts(record))
            records_.push_back(record);
    }
}

void TzebSortedIndex::QuickSort(int low, int high)
{
    // Median of three; ranges of four or fewer records are left to the insertion sort.
    while (high - low + 1 > 4) {
        const int middle = low + (high - low) / 2;
        auto& r = records_;
        auto at = [&](int i) -> TzebRecord*& { return r[static_cast<std::size_t>(i)]; };
        if (CompareRecords(at(middle), at(low)) < 0)
            std::swap(at(middle), at(low));
        if (CompareRecords(at(high), at(low)) < 0)
            std::swap(at(high), at(low));
        if (CompareRecords(at(high), at(middle)) < 0)
            std::swap(at(high), at(middle));
        std::swap(at(middle), at(high - 1));
        TzebRecord* pivot = at(high - 1);
        int i = low;
        int j = high - 1;
        for (;;) {
            while (CompareRecords(at(++i), pivot) < 0) {
            }
            while (CompareRecords(pivot, at(--j)) < 0) {
            }
            if (i >= j)
                break;
            std::swap(at(i), at(j));
        }
        std::swap(at(i), at(high - 1));
        // The smaller part recursively, the larger one in the loop: the depth stays logarithmic.
        if (i - low < high - i) {
            QuickSort(low, i - 1);
            low = i + 1;
        } else {
            QuickSort(i + 1, high);
            high = i - 1;
        }
    }
}

void TzebSortedIndex::InsertionSort()
{
    for (std::size_t i = 1; i < records_.size(); ++i) {
        TzebRecord* record = records_[i];
        std::size_t j = i;
        while (j > 0 && CompareRecords(record, records_[j - 1]) < 0) {
            records_[j] = records_[j - 1];
            --j;
        }
        records_[j] = record;
    }
}

void TzebSortedIndex::Sort()
{
    table_.ReportProgress(0, mtpcSort);
    if (Count() > 1) {
        QuickSort(0, Count() - 1);
        InsertionSort();
    }
    SetOrdered(true);
    table_.ReportProgress(100, mtpcSort);
    if (Unique())
        for (int i = 1; i < Count(); ++i)
            if (table_.CompareKeys(keys_, At(i - 1), At(i)) == 0)
                throw EMemTableDupKey(kDuplicateKey);
}

void TzebSortedIndex::Rebuild()
{
    if (!table_.Active()) {
        SetOrdered(true);
        return;
    }
    if (!BeingFilled)
        Load();
    if (Count() > 0)
        Sort();
    else
        SetOrdered(true);
    if (&table_.CurrentIndex() == this && table_.cursor_ >= Count())
        table_.cursor_ = Count() - 1;
}

int TzebSortedIndex::CompareRecords(const TzebRecord* a, const TzebRecord* b) const
{
    return table_.CompareWithTieBreak(keys_, a, b);
}

int TzebSortedIndex::InsertPlace(const TzebRecord* record) const
{
    int low = 0;
    int high = Count();
    while (low < high) {
        int middle = low + (high - low) / 2;
        if (table_.CompareKeys(keys_, record, At(middle)) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

bool TzebSortedIndex::IsMaintainedNow(bool deleting) const
{
    if (!Maintained())
        return false;
    if (table_.EnableIndexes && Enabled)
        return true;
    // A disabled index is still kept exact while it is the current order of a table that is
    // deleting, so that its cursor stays right.
    return deleting && &table_.CurrentIndex() == this;
}

void TzebSortedIndex::InsertRecord(TzebRecord* record, int)
{
    if (!Shows(record->ChangeStatus) || !Accepts(record))
        return;
    if (!IsMaintainedNow(false) || !Ordered()) {
        // Skipped: the record joins unordered and the index is rebuilt before it is used.
        records_.push_back(record);
        SetOrdered(false);
        return;
    }
    records_.insert(records_.begin() + InsertPlace(record), record);
}

void TzebSortedIndex::DeleteRecord(const TzebRecord* record, int hint)
{
    const bool maintained = IsMaintainedNow(true) && Ordered();
    int position = maintained ? IndexOfRecord(record, hint) : TzebIndex::IndexOfRecord(record, hint);
    if (position < 0)
        return;
    records_.erase(records_.begin() + position);
    if (!maintained) {
        SetOrdered(false);
        return;
    }
    if (record->ChangeStatus == mtcsDeleted && Shows(mtcsDeleted) && table_.Store().EnableVersioning()) {
        // A versioned delete stays in an index that shows deleted records, at its key place.
        auto* kept = const_cast<TzebRecord*>(record);
        records_.insert(records_.begin() + InsertPlace(kept), kept);
    }
}

TzebMove TzebSortedIndex::PrepareReorder(const TzebRecord* stored, const TzebRecord* edited, std::uint8_t status,
                                         int hint)
{
    TzebMove move;
    const bool keyUnchanged = table_.CompareKeys(keys_, stored, edited) == 0;
    if (keyUnchanged && Shows(mtcsModified) && Ordered() && IsMaintainedNow(false) && !Filtered())
        return move;
    const int position = IndexOfRecord(stored, hint);
    move.From = position < 0 ? TzebMove::kAbsent : position;
    if (!Shows(status) || !Accepts(edited))
        return move;
    if (!IsMaintainedNow(false) || !Ordered()) {
        move.To = TzebMove::kAtEnd;
        return move;
    }
    // The place among the others: the record's own entry still stands in the list, before the
    // place when its old key is not above the new one.
    move.To = InsertPlace(edited);
    if (move.From >= 0 && move.From < move.To)
        --move.To;
    return move;
}

void TzebSortedIndex::ReorderRecord(TzebRecord* record, const TzebMove& move)
{
    if (move.From == TzebMove::kStays)
        return;
    if (move.From >= 0)
        records_.erase(records_.begin() + move.From);
    if (move.To == TzebMove::kOut)
        return;
    if (move.To == TzebMove::kAtEnd) {
        records_.push_back(record);
        SetOrdered(false);
        return;
    }
    records_.insert(records_.begin() + move.To, record);
}

int TzebSortedIndex::IndexOfRecord(const TzebRecord* record, int hint) const
{
    if (hint >= 0 && hint < Count() && At(hint) == record)
        return hint;
    if (Ordered() && Count() > 5) {
        // Bisect to the first record with the same key, then look among the equal keys.
        int low = 0;
        int high = Count();
        while (low < high) {
            int middle = low + (high - low) / 2;
            if (table_.CompareKeys(keys_, At(middle), record) < 0)
                low = middle + 1;
            else
                high = middle;
        }
        for (int i = low; i < Count() && table_.CompareKeys(keys_, At(i), record) == 0; ++i)
            if (At(i) == record)
                return i;
    }
    return TzebIndex::IndexOfRecord(record, -1);
}

void TzebSortedIndex::CheckUnique(const TzebRecord* buffer, const TzebRecord* exclude) const
{
    if (!Unique() || !Maintained() || !Enabled || !table_.EnableIndexes)
        return;
    int first = 0;
    if (Ordered()) {
        int low = 0;
        int high = Count();
        while (low < high) {
            int middle = low + (high - low) / 2;
            if (table_.CompareKeys(keys_, At(middle), buffer) < 0)
                low = middle + 1;
            else
                high = middle;
        }
        first = low;
    }
    for (int i = first; i < Count(); ++i) {
        int result = table_.CompareKeys(keys_, At(i), buffer);
        if (result == 0 && At(i) != exclude && (exclude == nullptr || At(i)->SlotNumber != exclude->SlotNumber))
            throw EMemTableDupKey(kDuplicateKey);
        if (result != 0 && Ordered())
            break;
    }
}

// ---- collection ----

TzebIndexes::TzebIndexes()
{
    indexes_.push_back(std::make_unique<TzebIndex>(kRowOrderName));
}

TzebIndex* TzebIndexes::Find(std::string_view name) const
{
    for (const auto& index : indexes_)
        if (SameText(index->Name(), name))
            return index.get();
    return nullptr;
}

TzebSortedIndex* TzebIndexes::FindByFieldNames(std::string_view names) const
{
    for (const auto& index : indexes_)
        if (!index->IsRowOrder()) {
            auto* sorted = static_cast<TzebSortedIndex*>(index.get());
            if (SameText(sorted->KeyFieldNames(), names))
                return sorted;
        }
    return nullptr;
}

TzebSortedIndex& TzebIndexes::Add(std::unique_ptr<TzebSortedIndex> index)
{
    TzebSortedIndex& added = *index;
    indexes_.push_back(std::move(index));
    return added;
}

void TzebIndexes::Remove(const TzebIndex* index)
{
    if (index == indexes_.front().get())
        return;
    std::erase_if(indexes_, [&](const auto& i) { return i.get() == index; });
}

void TzebIndexes::RemoveSorted()
{
    indexes_.erase(indexes_.begin() + 1, indexes_.end());
}

void TzebIndexes::ClearRecords()
{
    for (auto& index : indexes_)
        index->Clear();
}

// ---- definitions ----

std::uint8_t CompareOptionsOf(std::uint8_t indexOptions)
{
    std::uint8_t options = 0;
    if (indexOptions & ixUnique)
        options |= mtcoUnique;
    if (indexOptions & ixDescending)
        options |= mtcoDescending;
    if (indexOptions & ixCaseInsensitive)
        options |= mtcoCaseInsensitive;
    if (indexOptions & ixNonMaintained)
        options |= mtcoNonMaintained;
    return options;
}

TIndexDef& TIndexDefs::Add(std::string name, std::string fields, std::uint8_t options)
{
    defs_.push_back(TIndexDef{std::move(name), std::move(fields), options});
    return defs_.back();
}

const TIndexDef* TIndexDefs::Find(std::string_view name) const
{
    for (const auto& def : defs_)
        if (SameText(def.Name, name))
            return &def;
    return nullptr;
}

void TIndexDefs::Remove(std::string_view name)
{
    std::erase_if(defs_, [&](const TIndexDef& def) { return SameText(def.Name, name); });
}

}  // namespace velmoran
