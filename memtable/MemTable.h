// The in-memory table: a dataset whose records live in a record store, with a cursor over its
// current index, an edit buffer of the store's own record form, bookmarks that survive only
// while their record does, sorted indexes with key search, locate and lookup, filters,
// master/detail links, stores shared by attached tables, versions and transactions, saving and
// loading through formats, copying between datasets, blob streams and deltas.
#pragma once

#include "memtable/DataSet.h"
#include "memtable/FilterExpr.h"
#include "memtable/Index.h"
#include "memtable/RecordStore.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class TzebCustomStreamFormat;
class TzebCustomDeltaHandler;
class TzebBlobStream;

// Where saved records go or loaded ones come from, as OnSave and OnLoad are told.
enum class TzebStorageType : std::uint8_t { mtstDataSet, mtstStream, mtstFile };
using enum TzebStorageType;

// Options of copying between datasets (bits of a 16-bit set).
using TzebCopyOptions = std::uint16_t;
constexpr TzebCopyOptions mtcpoStructure = 1;           // take over the source's field definitions
constexpr TzebCopyOptions mtcpoOnlyActiveFields = 2;    // ... only those of its field objects
constexpr TzebCopyOptions mtcpoProperties = 4;          // copy the field properties
constexpr TzebCopyOptions mtcpoLookup = 8;              // create its lookup fields
constexpr TzebCopyOptions mtcpoCalculated = 16;         // create its calculated fields
constexpr TzebCopyOptions mtcpoAppend = 32;             // keep the records there are
constexpr TzebCopyOptions mtcpoFieldIndex = 64;         // keep the source's field order
constexpr TzebCopyOptions mtcpoDontDisableIndexes = 128;
constexpr TzebCopyOptions mtcpoIgnoreErrors = 256;      // a value that does not convert is skipped

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
    using StorageEvent = std::function<void(TzebCustomMemTable&, TzebStorageType, TStream*)>;
    using RecordEvent = std::function<void(TzebCustomMemTable&, bool& accept)>;
    using FieldEvent = std::function<void(TzebCustomMemTable&, int fieldIndex, TField&)>;
    using StreamEvent = std::function<void(TzebCustomMemTable&, TStream& source, TStream& destination)>;
    using FieldBytesEvent =
        std::function<std::vector<std::byte>(TzebCustomMemTable&, const TField&, const std::byte*, std::size_t)>;
    using FieldPropertiesEvent = std::function<void(TzebCustomMemTable&, TField&)>;

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

    bool Locate(std::string_view keyFields, const TVariant& values, TLocateOptions options = 0) override;
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

    // ---- master/detail ----
    // The source whose dataset's current record chooses the records this table shows: those
    // whose DetailFields (else the current index's fields) equal the master's MasterFields.
    // A source whose dataset leads back to this table, directly or through further master
    // sources, fails with "Selfreferencing master/detail relations not allowed.".
    TDataSource* MasterSource() const;
    void SetMasterSource(TDataSource* source);
    const std::string& MasterFields() const { return masterFieldNames_; }
    void SetMasterFields(const std::string& names);
    const std::string& DetailFields() const { return detailFieldNames_; }
    void SetDetailFields(const std::string& names);
    TDataSource* GetDataSource() const override { return MasterSource(); }
    const TzebFieldList& MasterFieldList() const { return masterFields_; }
    const TzebFieldList& DetailFieldList() const { return detailFields_; }

    // ---- shared stores ----
    // Joins the store of another table (null: a store of its own again); the table closes.
    TzebCustomMemTable* AttachedTo() const { return attachedTo_; }
    void SetAttachedTo(TzebCustomMemTable* table);
    bool Standalone() const { return store_->Standalone(); }
    void SetStandalone(bool standalone);
    // Makes the record current that is current in another table of the store; "Record not
    // found" when this table does not show it.
    void GotoCurrent(TzebCustomMemTable& other);

    // ---- versions and transactions ----
    // Needs versioning in mtvmAllSinceCheckPoint mode ("Transactioning requires multiversion
    // versioning."). Commit keeps the changes of the innermost transaction, Rollback undoes
    // them; both do nothing on a closed table or outside a transaction.
    void StartTransaction();
    void Commit();
    void Rollback();
    int TransactionLevel() const { return store_->TransactionLevel(); }
    TUpdateStatus UpdateStatus() const override;

    // ---- saving and loading ----
    TzebCustomStreamFormat* DefaultFormat() const { return formats_[0]; }
    void SetDefaultFormat(TzebCustomStreamFormat* format) { SetFormat(0, format); }
    TzebCustomStreamFormat* CommaTextFormat() const { return formats_[1]; }
    void SetCommaTextFormat(TzebCustomStreamFormat* format) { SetFormat(1, format); }
    TzebCustomStreamFormat* PersistentFormat() const { return formats_[2]; }
    void SetPersistentFormat(TzebCustomStreamFormat* format) { SetFormat(2, format); }
    TzebCustomStreamFormat* AllDataFormat() const { return formats_[3]; }
    void SetAllDataFormat(TzebCustomStreamFormat* format) { SetFormat(3, format); }
    TzebCustomStreamFormat* FormFormat() const { return formats_[4]; }
    void SetFormFormat(TzebCustomStreamFormat* format) { SetFormat(4, format); }

    // Saving to a stream goes through the format ("No format specified." without one); a file
    // is replaced only once the format has written it whole (with the format's append option
    // an existing file is extended in place).
    void SaveToStream(TStream& stream) { SaveToStreamViaFormat(stream, DefaultFormat()); }
    void SaveToStreamViaFormat(TStream& stream, TzebCustomStreamFormat* format);
    void SaveToFile(const std::string& fileName) { SaveToFileViaFormat(fileName, DefaultFormat()); }
    void SaveToFileViaFormat(const std::string& fileName, TzebCustomStreamFormat* format);
    void LoadFromStream(TStream& stream) { LoadFromStreamViaFormat(stream, DefaultFormat()); }
    void LoadFromStreamViaFormat(TStream& stream, TzebCustomStreamFormat* format);
    void LoadFromFile(const std::string& fileName) { LoadFromFileViaFormat(fileName, DefaultFormat()); }
    void LoadFromFileViaFormat(const std::string& fileName, TzebCustomStreamFormat* format);
    // The whole table as bytes through AllDataFormat and CommaTextFormat.
    std::string AllData();
    void SetAllData(std::string_view bytes);
    std::string CommaText();
    void SetCommaText(std::string_view text);

    // The persistent file: loaded after opening, saved when the table is deactivated (through
    // "<name>.$$$", the old file copied to the backup name when asked).
    std::string PersistentFile;
    bool Persistent = false;
    bool PersistentBackup = false;
    std::string PersistentBackupExt = ".bak";
    void SavePersistent();
    void LoadPersistent();

    // The "Data" bytes of a stored description: written through FormFormat only when
    // StoreDataOnForm is set (true when written); bytes read are loaded once the table is open.
    bool StoreDataOnForm = false;
    bool WriteFormData(TStream& stream);
    void ReadFormData(TStream& stream);

    int LoadLimit = -1;
    int SaveLimit = -1;
    bool LoadedCompletely = false;
    bool SavedCompletely = false;
    StorageEvent OnSave;
    StorageEvent OnLoad;
    RecordEvent OnSaveRecord;
    RecordEvent OnLoadRecord;
    FieldEvent OnSaveField;
    FieldEvent OnLoadField;
    StreamEvent OnCompressBlobStream;
    StreamEvent OnDecompressBlobStream;
    FieldBytesEvent OnCompressField;
    FieldBytesEvent OnDecompressField;
    FieldPropertiesEvent OnSetupFieldProperties;

    // Empties every open table on the store, then the store.
    void EmptyTable();

    // ---- copying ----
    // Appends the records of `source` from its current one to `destination` (field by name;
    // not into calculated or lookup fields, nor, for a non-empty destination, auto-increment
    // fields), at most `limit` (-1: all); returns how many were copied.
    int CopyRecords(TDataSet& source, TDataSet& destination, int limit, TzebCopyOptions options);
    void LoadFromDataSet(TDataSet& source, TzebCopyOptions options);
    void SaveToDataSet(TDataSet& destination, TzebCopyOptions options = 0);
    // For every record: located by the key fields in `destination`, then edited there (when
    // `editFound`) or appended (when missing and `appendMissing`).
    void UpdateToDataSet(TDataSet& destination, std::string_view keyFields, bool editFound = true,
                         bool appendMissing = true);

    // ---- blobs and deltas ----
    std::unique_ptr<TBlobStream> CreateBlobStream(TField& field, TBlobStreamMode mode) override;
    TzebCustomDeltaHandler* DeltaHandler() const { return deltaHandler_; }
    void SetDeltaHandler(TzebCustomDeltaHandler* handler);
    // The value of a field in any record of the store (or a version of one).
    TVariant RecordValue(const TzebRecord* record, const TField& field);

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
    void InternalAddRecord(TRecordBuffer buffer, bool append) override;
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
    void CloseBlob(TField& field) override;
    bool DataEventsHeld() const override { return store_->BulkUpdate(); }
    void Notification(TComponent* removed) override;

    // Whether an acceptance test applies (the filtered flag).
    bool IsFilterActive() const;
    // Whether the master link takes part in the acceptance test, and whether a record matches
    // the master's current values.
    bool MasterLinkActive() const;
    bool AcceptMasterLink(const TzebRecord* record) const;
    // Saving may switch the link off for a while (the records are then all shown).
    bool MasterLinkEnabled() const { return masterLinkEnabled_; }
    void SetMasterLinkEnabled(bool enabled);
    // A key range of the index fields, checked by the acceptance test while both ends are set
    // and the range is on; no operation of the table sets them.
    TzebRecord* rangeStart_ = nullptr;
    TzebRecord* rangeEnd_ = nullptr;
    bool RangeIgnoreNullKeyValues = true;
    bool RangeActive() const { return rangeActive_ && rangeStart_ && rangeEnd_; }
    void SetRangeActive(bool active) { rangeActive_ = active; }
    // Compression of out-of-record values of compressed fields (Performance mtpfSmall): through
    // OnCompressField and OnDecompressField when assigned, else the value is kept as it is.
    virtual std::vector<std::byte> CompressField(const TField& field, const std::byte* bytes, std::size_t count) const;
    virtual std::vector<std::byte> DecompressField(const TField& field, const std::byte* bytes, std::size_t count) const;
    // Rebuilds the index collection from IndexDefs; called at open after the row-order index
    // was emptied.
    virtual void RebuildIndexes();
    // After a load: an index whose definition went is dropped (not the row order, the sort index
    // or the order chosen by field names), a definition without an index gets one; a dropped
    // current index leaves the row order current.
    void MatchIndexesToDefinitions();
    // True while persistence loads values: no read-only checks and no auto-increment.
    bool LoadingValues = false;
    // True while records are copied in from another dataset: read-only fields take the copied
    // values (their properties may have come with the structure), but new records are numbered.
    bool CopyingValues = false;
    bool ReadOnlyChecksSuspended() const { return LoadingValues || CopyingValues; }
    int Cursor() const { return cursor_; }

private:
    friend class TzebSortedIndex;
    friend class TzebCustomStreamFormat;
    friend class TzebBlobStream;
    friend class TzebCustomDeltaHandler;
    friend class TzebCommon;
    class ScratchRecord;
    class RecordUnderTest;
    // The table's link to its master source: every data change of the master reaches it.
    class MasterLink : public TDataLink {
    public:
        explicit MasterLink(TzebCustomMemTable& table) : table_(table) {}
        ~MasterLink() override { SetSource(nullptr); }
        TDataSource* Source() const { return source_; }
        void SetSource(TDataSource* source)
        {
            if (source_)
                source_->RemoveLink(this);
            source_ = source;
            if (source_)
                source_->AddLink(this);
        }
        // The source is on and its dataset open.
        bool Active() const { return source_ && source_->Enabled() && source_->DataSet() && source_->DataSet()->Active(); }
        void DataEvent(TDataChange change) override { table_.MasterChanged(change); }
        void SourceDestroyed() override
        {
            source_ = nullptr;
            table_.MasterChanged(dcSourceChange);
        }
        TDataSet* DetailDataSet() const override { return &table_; }

    private:
        TzebCustomMemTable& table_;
        TDataSource* source_ = nullptr;
    };
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
    // SearchKey's record-by-record part, for an index in any order.
    int ScanKey(const TzebIndex& index, const TzebFieldList& keys, int count, const TzebRecord* key, bool nearest);
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
    void PostInsert(TzebRecord* buffer, bool appended);
    void PostEdit(TzebRecord* buffer);
    // Calls `work` for every open table sharing the store, this one included.
    template <typename Work>
    void ForEachOpenTable(Work work) const
    {
        for (TzebCustomMemTable* table : store_->AttachedTables())
            if (table && table->open_)
                work(*table);
    }
    // Makes every index of every open table on the store list the store's records again: the
    // row order keeps its order and takes in records it misses; sorted indexes are rebuilt.
    void ReloadAllIndexes();
    void ReloadIndexes();
    // Leaves the current store for one of its own.
    void LeaveStore();
    void JoinStore(TzebCustomMemTable& target);
    void SetAttachIndex(int index) { attachIndex_ = index; }
    // Master/detail steps.
    void BuildMasterFieldList();
    void FillMasterBuffer();
    void MasterChanged(TDataChange change);
    const TzebFieldList& LinkFieldList() const { return detailFields_.Count() > 0 ? detailFields_ : indexFields_; }
    void FreeMasterBuffer();
    // Persistence steps.
    void SetFormat(int slot, TzebCustomStreamFormat* format);
    void LoadFormData();
    // Copying steps.
    void CopyStructure(TDataSet& source, TzebCopyOptions options);
    void CopyFieldsPropertiesFrom(TDataSet& source);
    // Called by a blob stream that wrote a field.
    void BlobWritten(TField& field);

    std::unique_ptr<TzebCommon> ownStore_;
    TzebCommon* store_ = nullptr;
    TzebCustomMemTable* attachedTo_ = nullptr;
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
    // Where each record deleted inside a transaction stood in this table's row order: the unique
    // numbers of its neighbours then, so that a rollback puts it back there. In order of deletion.
    struct TRowPlace {
        std::int32_t Record = -1;
        std::int32_t Before = -1;
        std::int32_t After = -1;
    };
    std::vector<TRowPlace> deletedPlaces_;
    TzebFieldList indexFields_;
    std::string filterText_;
    bool filteredOn_ = false;
    TFilterOptions filterOptions_ = 0;
    std::unique_ptr<TFilterExpression> filterExpr_;
    bool found_ = false;
    bool rangeActive_ = true;
    // The record the filter state reads.
    mutable const TzebRecord* filterRecord_ = nullptr;
    // Master/detail.
    MasterLink masterLink_{*this};
    std::string masterFieldNames_;
    std::string detailFieldNames_;
    TzebFieldList masterFields_;
    TzebFieldList detailFields_;
    TzebRecord* masterBuffer_ = nullptr;
    bool masterLinkEnabled_ = true;
    // Persistence.
    std::array<TzebCustomStreamFormat*, 5> formats_{};
    bool persistentSaved_ = false;
    std::unique_ptr<TMemoryStream> formData_;
    TzebCustomDeltaHandler* deltaHandler_ = nullptr;
};

// The published table; its Version always reads "5.50".
class TzebMemTable : public TzebCustomMemTable {
public:
    static std::string Version() { return "5.50"; }
};

}  // namespace velmoran
