// The in-memory table: a dataset whose records live in a record store, with a cursor over its
// current index, an edit buffer of the store's own record form, bookmarks that survive only
// while their record does, sorted indexes with key search, locate and lookup, filters, and the
// points where persistence and master/detail links plug in.
#pragma once

#include "memtable/DataSet.h"
#include "memtable/FilterExpr.h"
#include "memtable/Index.h"
#include "memtable/RecordStore.h"

#include <memory>
#include <string>
#include <vector>

namespace velmoran {

// Options of Locate and Lookup.
using TLocateOptions = std::uint8_t;
constexpr TLocateOptions loCaseInsensitive = 1;
constexpr TLocateOptions loPartialKey = 2;

class TzebCustomMemTable : public TDataSet {
public:
    // May change the flag byte of a field about to be stored outside the record.
    using SetupFieldEvent = std::function<void(TzebCustomMemTable&, TField*, std::uint8_t& flags)>;
    // Replaces the default comparison of two values of a field (native forms); returns <0, 0, >0.
    using CompareFieldsEvent = std::function<int(TzebCustomMemTable&, const TField&, const std::byte* a,
                                                 const std::byte* b, TFieldType type, std::uint8_t options,
                                                 bool& fullMatch)>;
    using FilterRecordEvent = std::function<void(TzebCustomMemTable&, bool& accept)>;
    using FilterIndexEvent = std::function<void(TzebCustomMemTable&, TzebSortedIndex&, bool& accept)>;
    using ProgressEvent = std::function<void(TzebCustomMemTable&, int percent, TzebProgressCode code)>;

    TzebCustomMemTable();
    ~TzebCustomMemTable() override;

    TzebCommon& Store() const { return *store_; }
    int AttachIndex() const { return attachIndex_; }
    TzebIndexes& Indexes() { return indexes_; }
    const TzebIndexes& Indexes() const { return indexes_; }
    TzebIndex& CurrentIndex() const { return *currentIndex_; }

    bool ReadOnly = false;
    bool RecalcOnFetch = true;
    bool AttachedAutoRefresh = true;
    bool AutoReposition = false;
    SetupFieldEvent OnSetupField;

    TzebPerformance Performance() const { return store_->Performance(); }
    void SetPerformance(TzebPerformance performance);
    std::uint32_t LocaleID() const { return store_->LocaleID(); }
    void SetLocaleID(std::uint32_t id) { store_->SetLocaleID(id); }
    int AttachMaxCount() const { return store_->AttachMaxCount(); }
    void SetAttachMaxCount(int count) { store_->SetAttachMaxCount(count); }
    bool EnableVersioning() const { return store_->EnableVersioning(); }
    void SetEnableVersioning(bool enable) { store_->SetEnableVersioning(enable); }
    TzebVersioningMode VersioningMode() const { return store_->VersioningMode(); }
    void SetVersioningMode(TzebVersioningMode mode) { store_->SetVersioningMode(mode); }
    int GetRecordSize() const { return store_->RecordSize(); }

    // ---- indexes and order ----
    TIndexDefs& IndexDefs() { return indexDefs_; }
    bool EnableIndexes = true;
    bool AutoAddIndexes = false;
    bool RecalcOnIndex = false;
    // The order Sort() applies: a field list and the compare options for all its fields.
    std::string SortFields;
    std::uint8_t SortOptions = 0;
    CompareFieldsEvent OnCompareFields;
    FilterIndexEvent OnFilterIndex;
    ProgressEvent OnProgress;
    TzebProgressFlags ProgressFlags = kDefaultProgressFlags;

    // The current index by name or by key field names; on a closed table only remembered.
    // Switching keeps the current record. An empty value is the row order.
    std::string IndexName() const { return indexName_; }
    void SetIndexName(const std::string& name);
    std::string IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& names);
    // The current index's key fields (empty for the row order).
    const TzebFieldList& IndexFieldList() const { return indexFields_; }
    // Adds a sorted index (and its definition) on an open table and builds it.
    // On a closed table only the definition is added (the result is then null).
    TzebSortedIndex* AddIndex(const std::string& name, const std::string& fields, std::uint8_t options = 0,
                              TzebChangeStatuses shown = kDefaultShownStatuses);
    void DeleteIndex(const std::string& name);
    // Makes an index over SortFields with SortOptions the current order.
    void Sort();

    // Reads a field-name list "A;B:CD" (C case-insensitive, D descending, N ignore null key,
    // P partial key, L ignore locale, in any case) into `list`, each entry with `options` added.
    void BuildFieldList(std::string_view names, TzebFieldList& list, std::uint8_t options = 0);
    // Three-way comparison of two native values of a field; `fullMatch` tells whether the whole
    // values were compared (a partial key compares only the shorter length).
    int CompareFieldValues(const TField& field, const std::byte* a, const std::byte* b, std::uint8_t options,
                           bool* fullMatch = nullptr) const;
    // Compares two records by the first `count` fields of a key list (-1: all) in a mode from
    // 0 to 4 (0 stops at the first difference; 1 at a negative, 2 a positive, 3 a non-positive,
    // 4 a non-negative result; modes other than 0 ignore mtcoDescending).
    int CompareKeys(const TzebFieldList& keys, const TzebRecord* a, const TzebRecord* b, int count = -1,
                    int mode = 0, bool partial = false, bool ignoreNull = false, bool* fullMatch = nullptr) const;
    // Key comparison with the tie-break by position and slot number.
    int CompareWithTieBreak(const TzebFieldList& keys, const TzebRecord* a, const TzebRecord* b) const;

    // The position of the first (or last) record of an index whose key equals `key`'s over the
    // first `count` key fields, or with `nearest` the insertion point; -1 when none. Bisects an
    // ordered sorted index of 21 records or more, scans otherwise; on a filtered table only
    // accepted records count.
    int SearchKey(const TzebIndex& index, const TzebFieldList& keys, int count, const TzebRecord* key,
                  bool first = true, bool nearest = false);
    // Searches through the collection (an ordered index that starts with the key fields, else
    // the current index) and gives the position in the current index, or -1.
    int SearchCurrent(TzebFieldList keys, const TzebRecord* key, bool first = true, bool nearest = false);

    bool Locate(std::string_view keyFields, const TVariant& values, TLocateOptions options = 0);
    // The result fields' values of the first record with the key values (one value, or an array
    // for several fields); null when none. The cursor stays.
    TVariant Lookup(std::string_view keyFields, const TVariant& values, std::string_view resultFields);

    // The variant writer: null or empty makes the field null; otherwise the value is converted
    // by the field's type (texts cut to the field's size).
    void SetFieldValue(TField& field, const TVariant& value);

    // ---- filters ----
    const std::string& Filter() const { return filterText_; }
    void SetFilter(const std::string& text);
    bool Filtered() const { return filteredOn_; }
    void SetFiltered(bool filtered);
    TFilterOptions FilterOptions() const { return filterOptions_; }
    void SetFilterOptions(TFilterOptions options);
    FilterRecordEvent OnFilterRecord;
    const TFilterExpression* FilterExpression() const { return filterExpr_.get(); }
    // Whether any acceptance test applies to navigation (filter, versioned deletes, master link).
    bool IsFiltered() const { return IsFilterActive(); }
    // The acceptance test; `force` applies the filter even while Filtered is off.
    bool AcceptRecord(const TzebRecord* record, bool force = false) const;
    // Searches with the filter applied even while Filtered is off; true when a record was found.
    bool FindFirst();
    bool FindLast();
    bool FindNext();
    bool FindPrior();
    bool Found() const { return found_; }

    // Reports progress to OnProgress when the code is in ProgressFlags.
    void ReportProgress(int percent, TzebProgressCode code);
    // Runs the index filters for a record (the index's event, OnFilterIndex, its expression).
    bool AcceptForIndex(TzebSortedIndex& index, const TzebRecord* record);

    // Bulk-update bracket: while open, data-change notifications are not passed on.
    void BeginBulkUpdate();
    void EndBulkUpdate();

    bool CanModify() const override { return !ReadOnly; }
    bool BookmarkValid(const TBookmark& bookmark) const override;
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) const override;
    bool GetFieldData(const TField& field, void* buffer) const override;
    void SetFieldData(TField& field, const void* buffer) override;

    // The record a buffer of the dataset layer is.
    static TzebRecord* AsRecord(TRecordBuffer buffer) { return reinterpret_cast<TzebRecord*>(buffer); }

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& buffer) override;
    void InternalInitRecord(TRecordBuffer buffer) override;
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) override;
    void InternalFirst() override { cursor_ = -1; }
    void InternalLast() override { cursor_ = currentIndex_->Count(); }
    void InternalSetToRecord(TRecordBuffer buffer) override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    void InternalPost() override;
    void InternalCancel() override;
    void InternalDelete() override;
    bool IsCursorOpen() const override { return open_; }
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const override;
    void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) override;
    TBookmark GetBookmarkData(TRecordBuffer buffer) const override;
    void SetBookmarkData(TRecordBuffer buffer, const TBookmark& bookmark) override;
    void InternalGotoBookmark(const TBookmark& bookmark) override;
    int GetRecordCount() const override;
    int GetRecNo() const override;
    void SetRecNoValue(int value) override;
    void ClearCalcFields(TRecordBuffer buffer) override;

    void DoAfterOpen() override;
    void DoBeforeClose() override;
    void DoBeforeInsert() override;
    void DoBeforePost() override;
    void DoAfterPost() override;
    void DoAfterDelete() override;
    void DoOnNewRecord() override;

    // Whether an acceptance test applies (the filtered flag).
    bool IsFilterActive() const;
    // The master/detail link plugs in here: whether it is active and whether a record matches
    // the master's current values.
    virtual bool MasterLinkActive() const { return false; }
    virtual bool AcceptMasterLink(const TzebRecord*) const { return true; }
    // A key range of the index fields, checked by the acceptance test while both ends are set;
    // no operation of the table sets them.
    TzebRecord* rangeStart_ = nullptr;
    TzebRecord* rangeEnd_ = nullptr;
    bool RangeIgnoreNullKeyValues = true;
    // Compression of out-of-record values of compressed fields (Performance mtpfSmall); by
    // default the value is kept as it is.
    virtual std::vector<std::byte> CompressField(const TField&, const std::byte* bytes, std::size_t count) const
    {
        return {bytes, bytes + count};
    }
    virtual std::vector<std::byte> DecompressField(const TField&, const std::byte* bytes, std::size_t count) const
    {
        return {bytes, bytes + count};
    }
    // Rebuilds the index collection from IndexDefs; called at open after the row-order index
    // was emptied.
    virtual void RebuildIndexes();
    // True while persistence loads values: no read-only checks and no auto-increment.
    bool LoadingValues = false;
    int Cursor() const { return cursor_; }

private:
    friend class TzebSortedIndex;
    class ScratchRecord;
    class RecordUnderTest;
    TzebRecord* SelectBuffer() const;
    // Writes a native value (null: a null value) into a record, blocks included.
    void WriteNative(TzebRecord* record, const TField& field, const void* native);
    void WriteVariant(TzebRecord* record, const TField& field, const TVariant& value);
    // The entry (null byte and value) of a key field in a record; an out-of-record value is
    // copied into `scratch`.
    const std::byte* KeyEntry(const TzebRecord* record, const TzebFieldList::Entry& entry,
                              std::vector<std::byte>& scratch) const;
    int CompareEntries(const TzebFieldList::Entry& entry, const std::byte* a, const std::byte* b,
                       std::uint8_t options, bool* fullMatch) const;
    void SwitchToIndex(TzebIndex& index);
    void ApplyIndexSelection();
    TzebSortedIndex* FindSearchIndex(const TzebFieldList& keys);
    // Key record and key list for locate and lookup.
    int SearchValues(std::string_view keyFields, const TVariant& values, TLocateOptions options);
    void ParseFilter();
    void RefreshFilter();
    bool FindRecord(bool restart, bool forward);
    bool InKeyRange(const TzebRecord* record) const;
    TzebRecord* RecordAtCursor() const;
    void InsertIntoIndexes(TzebRecord* record, bool appended);
    void RemoveFromIndexes(const TzebRecord* record);
    void RefreshOtherTables();
    void PostInsert(TzebRecord* buffer);
    void PostEdit(TzebRecord* buffer);

    std::unique_ptr<TzebCommon> store_;
    int attachIndex_ = 0;
    TzebIndexes indexes_;
    TzebIndex* currentIndex_ = nullptr;
    int cursor_ = -1;
    int savedCursor_ = -1;
    bool open_ = false;
    int insertRecNo_ = -1;
    TField* autoIncField_ = nullptr;
    bool beforeCloseDone_ = false;
    TIndexDefs indexDefs_;
    std::string indexName_;
    std::string indexFieldNames_;
    TzebFieldList indexFields_;
    std::string filterText_;
    bool filteredOn_ = false;
    TFilterOptions filterOptions_ = 0;
    std::unique_ptr<TFilterExpression> filterExpr_;
    bool found_ = false;
    // The record the filter state reads.
    mutable const TzebRecord* filterRecord_ = nullptr;
};

// The published table; its Version always reads "5.50".
class TzebMemTable : public TzebCustomMemTable {
public:
    static std::string Version() { return "5.50"; }
};

}  // namespace velmoran
