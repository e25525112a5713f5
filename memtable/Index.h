// The orders of an in-memory table: the row-order index (records in the order they were stored
// or inserted) and sorted indexes over key fields with their options, the collection that holds
// them, the index definitions a table is opened with, and the progress codes that sorting and
// searching report.
#pragma once

#include "memtable/RecordStore.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

class TzebCustomMemTable;
class TFilterExpression;

// What a progress report is about; a report reaches OnProgress only when its code is in the
// table's ProgressFlags.
enum class TzebProgressCode : std::uint8_t {
    mtpcLoad, mtpcSave, mtpcEmpty, mtpcPack, mtpcCheckPoint, mtpcSearch, mtpcCopy, mtpcUpdate, mtpcSort
};
using enum TzebProgressCode;
using TzebProgressFlags = std::uint16_t;
constexpr TzebProgressFlags ProgressFlag(TzebProgressCode code) { return static_cast<TzebProgressFlags>(1u << static_cast<unsigned>(code)); }
constexpr TzebProgressFlags kDefaultProgressFlags =
    ProgressFlag(mtpcLoad) | ProgressFlag(mtpcSave) | ProgressFlag(mtpcCopy);

// The record change statuses an index shows, as bits 1 << status.
using TzebChangeStatuses = std::uint8_t;
constexpr TzebChangeStatuses ShowStatus(std::uint8_t status) { return static_cast<TzebChangeStatuses>(1u << status); }
constexpr TzebChangeStatuses kDefaultShownStatuses =
    ShowStatus(mtcsUnmodified) | ShowStatus(mtcsModified) | ShowStatus(mtcsInserted);

// Where an edit moves a record in one order, worked out before the post changes anything.
struct TzebMove {
    static constexpr int kStays = -1;   // From: the record keeps its place
    static constexpr int kAbsent = -2;  // From: the record is not in the list now
    static constexpr int kOut = -1;     // To: the record is not in the list afterwards
    static constexpr int kAtEnd = -2;   // To: appended, the list no longer in order
    int From = kStays;
    int To = kOut;
};

// The record list of one order of a table. The base keeps records in row order: appended at
// the end or inserted at a given place, never moved by an edit, and searched by scanning (the
// order says nothing about slot numbers once a record was inserted or a slot reused).
class TzebIndex {
public:
    explicit TzebIndex(std::string name) : name_(std::move(name)) {}
    virtual ~TzebIndex() = default;
    TzebIndex(const TzebIndex&) = delete;
    TzebIndex& operator=(const TzebIndex&) = delete;

    const std::string& Name() const { return name_; }
    int Count() const { return static_cast<int>(records_.size()); }
    TzebRecord* At(int position) const { return records_.at(static_cast<std::size_t>(position)); }
    virtual bool IsRowOrder() const { return true; }
    // True when the record list is known to be in the index's order.
    bool Ordered() const { return ordered_; }
    void SetOrdered(bool ordered) { ordered_ = ordered; }

    // `position` -1 appends.
    virtual void InsertRecord(TzebRecord* record, int position);
    // `hint` is where the record probably is (-1: unknown).
    virtual void DeleteRecord(const TzebRecord* record, int hint);
    // Takes the record out wherever it stands, comparing nothing: the undo of an insert.
    void DropRecord(const TzebRecord* record) { std::erase(records_, record); }
    // An edit in two steps: before the stored record takes the edited values (of the buffer, with
    // the change status it will have), the index works out where the record leaves and where it
    // joins, comparing and filtering as it must (which may fail); afterwards it moves it, which
    // cannot fail.
    virtual TzebMove PrepareReorder(const TzebRecord* /*stored*/, const TzebRecord* /*edited*/, std::uint8_t /*status*/,
                                    int /*hint*/)
    {
        return {};
    }
    virtual void ReorderRecord(TzebRecord* /*record*/, const TzebMove& /*move*/) {}
    virtual int IndexOfRecord(const TzebRecord* record, int hint = -1) const;
    // Raises "Doppelter Indexwert. Vorgang abgebrochen." when a unique index already holds the
    // values of `buffer` in another record than `exclude`.
    virtual void CheckUnique(const TzebRecord* /*buffer*/, const TzebRecord* /*exclude*/) const {}
    // Orders two records by the index's fields (row order: by slot number).
    virtual int CompareRecords(const TzebRecord* a, const TzebRecord* b) const;
    void Clear() { records_.clear(); }

protected:
    std::vector<TzebRecord*> records_;

private:
    std::string name_;
    bool ordered_ = true;
};

// An index ordered by key fields ("Name;Land:D"), maintained on every post and delete.
class TzebSortedIndex : public TzebIndex {
public:
    using IndexFilterEvent = std::function<void(TzebSortedIndex&, bool& accept)>;

    // Builds the key list from the field names; the whole-index options (mtco...) apply to
    // every key field. Raises the field-list errors.
    TzebSortedIndex(TzebCustomMemTable& table, std::string name, std::string_view fieldNames, std::uint8_t options,
                    TzebChangeStatuses shown = kDefaultShownStatuses);
    ~TzebSortedIndex() override;

    bool IsRowOrder() const override { return false; }
    TzebCustomMemTable& Table() const { return table_; }
    const std::string& KeyFieldNames() const { return keyNames_; }
    const TzebFieldList& KeyFields() const { return keys_; }
    std::uint8_t Options() const { return options_; }
    bool Unique() const { return (options_ & mtcoUnique) != 0; }
    bool Maintained() const { return (options_ & mtcoNonMaintained) == 0; }
    bool Enabled = true;
    TzebChangeStatuses ShownStatuses() const { return shown_; }
    bool Shows(std::uint8_t status) const { return (shown_ & ShowStatus(status)) != 0; }
    // The index's own filter: an event and an expression over the table's fields.
    IndexFilterEvent OnFilter;
    void SetFilter(std::string_view expression);
    const TFilterExpression* FilterExpression() const { return filter_.get(); }
    bool Filtered() const { return filter_ != nullptr || OnFilter != nullptr; }
    // While set, rebuilding does not reload the list (someone else fills it).
    bool BeingFilled = false;

    // Reloads (unless being filled) and sorts; raises EMemTableDupKey for a unique index that
    // holds equal keys.
    void Rebuild();
    void Load();
    void Sort();

    void InsertRecord(TzebRecord* record, int position) override;
    void DeleteRecord(const TzebRecord* record, int hint) override;
    TzebMove PrepareReorder(const TzebRecord* stored, const TzebRecord* edited, std::uint8_t status, int hint) override;
    void ReorderRecord(TzebRecord* record, const TzebMove& move) override;
    int IndexOfRecord(const TzebRecord* record, int hint = -1) const override;
    void CheckUnique(const TzebRecord* buffer, const TzebRecord* exclude) const override;
    // Key comparison with the tie-break.
    int CompareRecords(const TzebRecord* a, const TzebRecord* b) const override;
    // The first place whose record compares above `record` by key.
    int InsertPlace(const TzebRecord* record) const;

private:
    // Whether a change is applied in key order; a skipped index takes the change unordered.
    bool IsMaintainedNow(bool deleting) const;
    bool Accepts(const TzebRecord* record);
    void QuickSort(int low, int high);
    void InsertionSort();

    TzebCustomMemTable& table_;
    std::string keyNames_;
    TzebFieldList keys_;
    std::uint8_t options_;
    TzebChangeStatuses shown_;
    std::unique_ptr<TFilterExpression> filter_;
};

// The indexes of a table; the row-order index "__MT__ROWORDER" always exists and comes first.
class TzebIndexes {
public:
    static constexpr const char* kRowOrderName = "__MT__ROWORDER";
    static constexpr const char* kAutoPrefix = "__MT__AUTO_";
    TzebIndexes();
    TzebIndex& RowOrder() const { return *indexes_.front(); }
    int Count() const { return static_cast<int>(indexes_.size()); }
    TzebIndex& operator[](int i) const { return *indexes_.at(static_cast<std::size_t>(i)); }
    // By name, without regard to case.
    TzebIndex* Find(std::string_view name) const;
    // The sorted index whose key field names are `names`, without regard to case.
    TzebSortedIndex* FindByFieldNames(std::string_view names) const;
    TzebSortedIndex& Add(std::unique_ptr<TzebSortedIndex> index);
    // Drops a sorted index; the row-order index stays.
    void Remove(const TzebIndex* index);
    // Drops every sorted index.
    void RemoveSorted();
    // Empties the record lists of all indexes.
    void ClearRecords();

private:
    std::vector<std::unique_ptr<TzebIndex>> indexes_;
};

// Options of an index definition.
enum TIndexOption : std::uint8_t {
    ixUnique = 1, ixDescending = 2, ixCaseInsensitive = 4, ixNonMaintained = 8
};
// The compare options an index definition's options stand for.
std::uint8_t CompareOptionsOf(std::uint8_t indexOptions);

struct TIndexDef {
    std::string Name;
    std::string Fields;
    std::uint8_t Options = 0;
};

// The index definitions a table creates its indexes from when it opens.
class TIndexDefs {
public:
    TIndexDef& Add(std::string name, std::string fields, std::uint8_t options = 0);
    void Clear() { defs_.clear(); }
    int Count() const { return static_cast<int>(defs_.size()); }
    const TIndexDef& operator[](int i) const { return defs_.at(static_cast<std::size_t>(i)); }
    const TIndexDef* Find(std::string_view name) const;
    void Remove(std::string_view name);

private:
    std::vector<TIndexDef> defs_;
};

}  // namespace velmoran
