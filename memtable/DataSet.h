// The dataset layer: states, navigation, editing, bookmarks and events of a table with a fixed
// list of typed fields. A concrete dataset (the in-memory table) supplies the record buffers,
// the cursor and the storage through the protected hooks; this layer keeps one active record
// buffer and runs the before/after events around every operation.
#pragma once

#include "memtable/Component.h"
#include "memtable/DataSource.h"
#include "memtable/Fields.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

enum class TDataSetState {
    dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsNewValue,
    dsOldValue, dsCurValue, dsBlockRead, dsInternalCalc
};
using enum TDataSetState;

enum class TGetMode { gmCurrent, gmNext, gmPrior };
enum class TGetResult { grOK, grBOF, grEOF, grError };
// Flag of a record buffer: a fetched record, before the first, after the last, a new record.
enum class TBookmarkFlag : std::uint8_t { bfCurrent = 0, bfBOF = 1, bfEOF = 2, bfInserted = 3 };
// What an OnPostError/OnEditError/OnDeleteError handler decides.
enum class TDataAction { daFail, daAbort, daRetry };
// How the current record stands against the last clean state (versioning).
enum class TUpdateStatus : std::uint8_t { usUnmodified, usModified, usInserted, usDeleted };
using enum TUpdateStatus;
// How a blob stream is opened.
enum class TBlobStreamMode : std::uint8_t { bmRead, bmWrite, bmReadWrite };
using enum TBlobStreamMode;

// Options of Locate and Lookup.
using TLocateOptions = std::uint8_t;
constexpr TLocateOptions loCaseInsensitive = 1;
constexpr TLocateOptions loPartialKey = 2;

// A place in a table: the record's slot number and unique number and the generation of the
// store it was taken in. An empty bookmark has slot -1.
struct TBookmark {
    std::int32_t Slot = -1;
    std::int32_t UniqueNumber = -1;
    std::int32_t Generation = -1;
    bool Empty() const { return Slot < 0; }
    friend bool operator==(const TBookmark&, const TBookmark&) = default;
};

// The contents of a blob field as a memory stream. Closing a stream that was written hands its
// contents to the record; destroying it closes it, but only Close reports a failure.
class TBlobStream : public TMemoryStream {
public:
    virtual void Close() {}
};

// A record buffer of the concrete dataset (opaque to this layer).
using TRecordBuffer = std::byte*;

class TDataSet : public TComponent {
public:
    using TDataSetNotifyEvent = std::function<void(TDataSet&)>;
    using TDataSetErrorEvent = std::function<void(TDataSet&, const EDatabaseError&, TDataAction&)>;

    TDataSet();
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    // Opening and closing.
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool active);
    TDataSetState State() const { return state_; }

    // Navigation.
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves by `distance` records and returns the signed number actually moved.
    int MoveBy(int distance);
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const;
    int RecordCount() const { return GetRecordCount(); }
    int RecNo() const { return GetRecNo(); }
    void SetRecNo(int value) { SetRecNoValue(value); }
    void Refresh();
    // The first record whose key fields hold the values (one value, or an array for several
    // fields); true when one was found and made current. This layer scans the records.
    virtual bool Locate(std::string_view keyFields, const TVariant& values, TLocateOptions options = 0);

    // Editing.
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    // A new record holding the values in field order (a null value leaves its field empty, as
    // do fields beyond the values), posted at once: appended at the end, or inserted before the
    // current record. A value or post that fails leaves no record behind.
    void AppendRecord(const std::vector<TVariant>& values);
    void InsertRecord(const std::vector<TVariant>& values);
    bool Modified() const { return modified_; }
    virtual bool CanModify() const { return true; }
    // The change status of the current record (unmodified when the dataset keeps none).
    virtual TUpdateStatus UpdateStatus() const { return usUnmodified; }
    // The contents of a blob field of the current record as a stream; the dataset layer has none.
    virtual std::unique_ptr<TBlobStream> CreateBlobStream(TField& field, TBlobStreamMode mode);

    // Data-change notification: the data sources of the dataset are told after every scroll,
    // post, cancel, refresh, open and close. While controls are disabled nothing is told; the
    // last EnableControls then tells of a data-set change when anything happened meanwhile.
    void DataEvent(TDataChange change);
    void DisableControls() { ++disableCount_; }
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }
    // The source this dataset follows (a detail table's master source); none by default.
    virtual TDataSource* GetDataSource() const { return nullptr; }
    // Used by TDataSource.
    void AddDataSource(TDataSource* source);
    void RemoveDataSource(TDataSource* source);

    // Bookmarks.
    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark& bookmark);
    void FreeBookmark(TBookmark& bookmark) const { bookmark = TBookmark{}; }
    virtual bool BookmarkValid(const TBookmark& bookmark) const;
    virtual int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

    // Fields and their definitions.
    TFields& Fields() { return fields_; }
    const TFields& Fields() const { return fields_; }
    int FieldCount() const { return fields_.Count(); }
    TFieldDefs& FieldDefs() { return fieldDefs_; }
    const TFieldDefs& FieldDefs() const { return fieldDefs_; }
    // Case-insensitive; FieldByName raises "Feld 'X' nicht gefunden" when absent.
    TField* FindField(std::string_view name) const { return fields_.FindField(name); }
    TField& FieldByName(std::string_view name) const;
    // Declares a field object (a persistent field); only while the dataset is closed.
    template <class F, class... Args>
    F& AddField(Args&&... args)
    {
        return static_cast<F&>(AddFieldObject(std::make_unique<F>(std::forward<Args>(args)...)));
    }
    // Adds a field object made elsewhere; only while the dataset is closed.
    TField& AddFieldObject(std::unique_ptr<TField> field);
    // Drops every field object; only while the dataset is closed.
    void ClearFields();
    // True while the fields were created from the definitions at open.
    bool DefaultFields() const { return defaultFields_; }
    // The room the calculated and lookup fields take in a record (their values with null bytes).
    int CalcFieldsSizeOfFields() const;

    // The field's value in the record as it was before its changes (the old-value state).
    TVariant FieldOldValue(const TField& field);

    // Native field access, called by the field objects.
    virtual bool GetFieldData(const TField& field, void* buffer) const = 0;
    virtual void SetFieldData(TField& field, const void* buffer) = 0;

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

protected:
    // Hooks of the concrete dataset.
    virtual TRecordBuffer AllocRecordBuffer() = 0;
    virtual void FreeRecordBuffer(TRecordBuffer& buffer) = 0;
    virtual void InternalInitRecord(TRecordBuffer buffer) = 0;
    virtual TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) = 0;
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual void InternalSetToRecord(TRecordBuffer buffer) = 0;
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual void InternalInitFieldDefs() {}
    virtual void InternalPost() = 0;
    virtual void InternalCancel() {}
    virtual void InternalDelete() = 0;
    virtual void InternalEdit() {}
    virtual void InternalInsert() {}
    virtual void InternalRefresh() {}
    virtual bool IsCursorOpen() const = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) const = 0;
    virtual void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag) = 0;
    virtual TBookmark GetBookmarkData(TRecordBuffer buffer) const = 0;
    virtual void SetBookmarkData(TRecordBuffer buffer, const TBookmark& bookmark) = 0;
    virtual void InternalGotoBookmark(const TBookmark& bookmark) = 0;
    // Stores a new record from the buffer, appended or at the place of the current record.
    virtual void InternalAddRecord(TRecordBuffer buffer, bool append) = 0;
    // Hands the exception being handled to the application's handler (call in a catch block).
    virtual void InternalHandleException();
    virtual int GetRecordCount() const = 0;
    virtual int GetRecNo() const { return -1; }
    virtual void SetRecNoValue(int) {}
    // Resets the calculated-field area of a buffer.
    virtual void ClearCalcFields(TRecordBuffer) {}
    // Drops what the active buffer holds of a blob field when an edit is given up.
    virtual void CloseBlob(TField&) {}
    // True while data changes are not to be passed on (a bulk update).
    virtual bool DataEventsHeld() const { return false; }

    // Steps of the concrete dataset around the events.
    virtual void DoBeforeOpen() { Fire(BeforeOpen); }
    virtual void DoAfterOpen() { Fire(AfterOpen); }
    virtual void DoBeforeClose() { Fire(BeforeClose); }
    virtual void DoAfterClose() { Fire(AfterClose); }
    virtual void DoBeforeInsert() { Fire(BeforeInsert); }
    virtual void DoAfterInsert() { Fire(AfterInsert); }
    virtual void DoBeforeEdit() { Fire(BeforeEdit); }
    virtual void DoAfterEdit() { Fire(AfterEdit); }
    virtual void DoBeforePost() { Fire(BeforePost); }
    virtual void DoAfterPost() { Fire(AfterPost); }
    virtual void DoBeforeCancel() { Fire(BeforeCancel); }
    virtual void DoAfterCancel() { Fire(AfterCancel); }
    virtual void DoBeforeDelete() { Fire(BeforeDelete); }
    virtual void DoAfterDelete() { Fire(AfterDelete); }
    virtual void DoBeforeScroll() { Fire(BeforeScroll); }
    virtual void DoAfterScroll()
    {
        Fire(AfterScroll);
        DataEvent(dcScroll);
    }
    virtual void DoOnNewRecord() { Fire(OnNewRecord); }

    // Helpers for the concrete dataset.
    TRecordBuffer ActiveBuffer() const { return recordCount_ > 0 || state_ == dsInsert ? buffer_ : nullptr; }
    // The buffer being calculated while the state is dsCalcFields.
    TRecordBuffer CalcBuffer() const { return calcBuffer_; }
    // Points the calculated-fields state at another buffer (reading a record that is not the
    // current one); the caller restores the previous buffer.
    void SetCalcBuffer(TRecordBuffer buffer) { calcBuffer_ = buffer; }
    void SetState(TDataSetState state) { state_ = state; }
    void CheckActive() const;
    void CheckInactive() const;
    // Posts a modified edit or insert, cancels an unmodified one.
    void CheckBrowseMode();
    // Refetches the active buffer around the cursor (the current record, else the next, else
    // the prior); the dataset is empty when none is found.
    void Resync();
    // Fills the calculated fields of a buffer through OnCalcFields.
    void GetCalcFields(TRecordBuffer buffer);
    bool HasCalcFields() const { return calcFieldsSize_ > 0; }
    int CalcFieldsSize() const { return calcFieldsSize_; }
    void SetModified(bool modified) { modified_ = modified; }
    // Forgets the fetched record: the dataset counts as empty until the next fetch.
    void ClearBuffers();
    // Called after a field's value was written: marks the record modified, tells the field and
    // recalculates the calculated fields.
    void FieldChanged(TField& field);
    void CreateFields();
    void DestroyDefaultFields();
    void BindFields(bool binding);

private:
    void Fire(const TDataSetNotifyEvent& handler) { if (handler) handler(*this); }
    void OpenCursor();
    void CloseCursor();
    void BeginInsertAppend();
    void EndInsertAppend();
    void SetFieldsAndPost(const std::vector<TVariant>& values);
    void UpdateCursorPos();
    bool FetchFirst();
    void CheckCanModify() const;
    void CheckOperation(const std::function<void()>& operation, const TDataSetErrorEvent& onError);

    TDataSetState state_ = dsInactive;
    TFields fields_;
    TFieldDefs fieldDefs_;
    bool defaultFields_ = false;
    TRecordBuffer buffer_ = nullptr;
    TRecordBuffer calcBuffer_ = nullptr;
    int recordCount_ = 0;  // 1 while buffer_ holds a fetched record
    int calcFieldsSize_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    bool inCalc_ = false;
    int disableCount_ = 0;
    bool changedWhileDisabled_ = false;
    std::vector<TDataSource*> dataSources_;
};

}  // namespace velmoran
