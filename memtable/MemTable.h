// The in-memory table: a dataset whose records live in a record store, with a cursor over the
// row-order index, an edit buffer of the store's own record form, bookmarks that survive only
// while their record does, and the points where indexes, persistence and filters plug in.
#pragma once

#include "memtable/DataSet.h"
#include "memtable/RecordStore.h"

#include <memory>
#include <string>
#include <vector>

namespace velmoran {

// The record list of one order of a table. The base keeps records in row order: appended at
// the end or inserted at a given place, never moved by an edit.
class TzebIndex {
public:
    explicit TzebIndex(std::string name) : name_(std::move(name)) {}
    virtual ~TzebIndex() = default;

    const std::string& Name() const { return name_; }
    int Count() const { return static_cast<int>(records_.size()); }
    TzebRecord* At(int position) const { return records_.at(static_cast<std::size_t>(position)); }
    virtual bool IsRowOrder() const { return true; }

    // `position` -1 appends.
    virtual void InsertRecord(TzebRecord* record, int position);
    // `hint` is where the record probably is (-1: unknown).
    virtual void DeleteRecord(const TzebRecord* record, int hint);
    virtual void ReorderRecord(TzebRecord*) {}
    virtual int IndexOfRecord(const TzebRecord* record, int hint = -1) const;
    // Raises "Duplicate index value. Operation aborted." when a unique index already holds the
    // values of `buffer` in another record than `exclude`.
    virtual void CheckUnique(const TzebRecord* /*buffer*/, const TzebRecord* /*exclude*/) const {}
    // Orders two records by the index's fields (row order: by slot number).
    virtual int CompareRecords(const TzebRecord* a, const TzebRecord* b) const;
    void Clear() { records_.clear(); }

protected:
    std::vector<TzebRecord*> records_;

private:
    std::string name_;
};

// The indexes of a table; the row-order index "__MT__ROWORDER" always exists.
class TzebIndexes {
public:
    static constexpr const char* kRowOrderName = "__MT__ROWORDER";
    TzebIndexes();
    TzebIndex& RowOrder() const { return *indexes_.front(); }
    int Count() const { return static_cast<int>(indexes_.size()); }
    TzebIndex& operator[](int i) const { return *indexes_.at(static_cast<std::size_t>(i)); }
    TzebIndex* Find(std::string_view name) const;
    // Empties the record lists of all indexes.
    void ClearRecords();

private:
    std::vector<std::unique_ptr<TzebIndex>> indexes_;
};

class TzebCustomMemTable : public TDataSet {
public:
    // May change the flag byte of a field about to be stored outside the record.
    using SetupFieldEvent = std::function<void(TzebCustomMemTable&, TField*, std::uint8_t& flags)>;

    TzebCustomMemTable();
    ~TzebCustomMemTable() override;

    TzebCommon& Store() const { return *store_; }
    int AttachIndex() const { return attachIndex_; }
    TzebIndexes& Indexes() { return indexes_; }
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

    void DoBeforeClose() override;
    void DoBeforeInsert() override;
    void DoBeforePost() override;
    void DoAfterPost() override;
    void DoAfterDelete() override;
    void DoOnNewRecord() override;

    // Filters plug in here: whether a filter is active and whether it accepts a record.
    virtual bool IsFilterActive() const { return false; }
    virtual bool AcceptRecord(const TzebRecord*) const { return true; }
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
    // Further indexes plug in here; called at open after the row-order index was emptied.
    virtual void RebuildIndexes() {}
    // True while persistence loads values: no read-only checks and no auto-increment.
    bool LoadingValues = false;
    int Cursor() const { return cursor_; }

private:
    TzebRecord* SelectBuffer() const;
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
};

// The published table; its Version always reads "5.50".
class TzebMemTable : public TzebCustomMemTable {
public:
    static std::string Version() { return "5.50"; }
};

}  // namespace velmoran
