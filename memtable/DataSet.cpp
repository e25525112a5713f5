// The dataset layer: state changes, navigation and editing over the hooks of a concrete
// dataset, with the before/after events in their order.
#include "memtable/DataSet.h"

#include "platform/core/ExceptionHandler.h"
#include "platform/core/ScopeExit.h"

#include <algorithm>
#include <utility>

namespace velmoran {

namespace {

const char* const kDataSetClosed = "Operation bei geschlossener Datenmenge nicht ausführbar";
const char* const kDataSetOpen = "Operation bei geöffneter Datenmenge nicht ausführbar";
const char* const kDataSetEmpty = "Operation bei leerer Datenmenge nicht ausführbar";
const char* const kDataSetReadOnly = "Schreibgeschützte Datenmenge kann nicht geändert werden";

}  // namespace

TDataSet::TDataSet() = default;

TDataSet::~TDataSet()
{
    std::vector<TDataSource*> sources = std::move(dataSources_);
    for (TDataSource* source : sources)
        source->DataSetDestroyed();
}

// ---- data-change notification ----

void TDataSet::AddDataSource(TDataSource* source)
{
    if (std::find(dataSources_.begin(), dataSources_.end(), source) == dataSources_.end())
        dataSources_.push_back(source);
}

void TDataSet::RemoveDataSource(TDataSource* source)
{
    std::erase(dataSources_, source);
}

void TDataSet::DataEvent(TDataChange change)
{
    if (DataEventsHeld())
        return;
    if (ControlsDisabled()) {
        changedWhileDisabled_ = true;
        return;
    }
    std::vector<TDataSource*> sources = dataSources_;
    for (TDataSource* source : sources)
        if (std::find(dataSources_.begin(), dataSources_.end(), source) != dataSources_.end())
            source->DataEvent(change);
}

void TDataSet::EnableControls()
{
    if (disableCount_ == 0 || --disableCount_ > 0)
        return;
    if (std::exchange(changedWhileDisabled_, false))
        DataEvent(dcDataSetChange);
}

std::unique_ptr<TBlobStream> TDataSet::CreateBlobStream(TField& field, TBlobStreamMode)
{
    throw EDatabaseError("Feld '" + field.DisplayName() + "' hat keinen Blob-Datenstrom");
}

void TDataSet::CheckActive() const
{
    if (state_ == dsInactive)
        throw EDatabaseError(kDataSetClosed);
}

void TDataSet::CheckInactive() const
{
    if (state_ != dsInactive)
        throw EDatabaseError(kDataSetOpen);
}

void TDataSet::CheckCanModify() const
{
    if (!CanModify())
        throw EDatabaseError(kDataSetReadOnly);
}

TField& TDataSet::FieldByName(std::string_view name) const
{
    TField* field = FindField(name);
    if (!field)
        throw EDatabaseError("Feld '" + std::string(name) + "' nicht gefunden");
    return *field;
}

TVariant TDataSet::FieldOldValue(const TField& field)
{
    CheckActive();
    const ScopedValue<TDataSetState> oldValues(state_, dsOldValue);
    return field.AsVariant();
}

// ---- opening and closing ----

void TDataSet::SetActive(bool active)
{
    if (active == Active())
        return;
    if (active) {
        DoBeforeOpen();
        OpenCursor();
        state_ = dsBrowse;
        FetchFirst();
        DoAfterOpen();
        DataEvent(dcOpen);
        if (!IsEmpty())
            DoAfterScroll();
    } else {
        DoBeforeClose();
        CloseCursor();
        DoAfterClose();
        DataEvent(dcClose);
    }
}

TField& TDataSet::AddFieldObject(std::unique_ptr<TField> field)
{
    CheckInactive();
    field->Bind(this);
    return fields_.Add(std::move(field));
}

void TDataSet::ClearFields()
{
    CheckInactive();
    fields_.Clear();
    defaultFields_ = false;
}

int TDataSet::CalcFieldsSizeOfFields() const
{
    int size = 0;
    for (const auto& field : fields_)
        if (!field->IsDataField())
            size += field->DataSize() + 1;
    return size;
}

void TDataSet::CreateFields()
{
    for (int i = 0; i < fieldDefs_.Count(); ++i) {
        TField& field = fields_.Add(CreateFieldForDef(fieldDefs_[i]));
        field.Bind(this);
        field.SetRequired(fieldDefs_[i].Required());
    }
}

void TDataSet::DestroyDefaultFields()
{
    if (defaultFields_)
        fields_.Clear();
    defaultFields_ = false;
}

void TDataSet::BindFields(bool binding)
{
    calcFieldsSize_ = 0;
    for (const auto& field : fields_) {
        if (!binding) {
            field->SetFieldNo(-1);
            continue;
        }
        if (field->IsDataField()) {
            const TFieldDef* def = fieldDefs_.Find(field->FieldName());
            if (!def)
                throw EDatabaseError("Feld '" + field->FieldName() + "' nicht gefunden");
            field->SetFieldNo(def->FieldNo());
        } else {
            field->SetFieldNo(-1);
            field->SetCalcOffset(calcFieldsSize_);
            calcFieldsSize_ += field->DataSize() + 1;  // as CalcFieldsSizeOfFields counts
        }
    }
}

void TDataSet::OpenCursor()
{
    defaultFields_ = fields_.Count() == 0;
    try {
        InternalOpen();
        buffer_ = AllocRecordBuffer();
    } catch (...) {
        try {
            InternalClose();
        } catch (...) {
        }
        if (buffer_)
            FreeRecordBuffer(buffer_);
        DestroyDefaultFields();
        throw;
    }
}

void TDataSet::CloseCursor()
{
    state_ = dsInactive;
    recordCount_ = 0;
    bof_ = eof_ = true;
    if (buffer_)
        FreeRecordBuffer(buffer_);
    buffer_ = nullptr;
    InternalClose();
}

// ---- navigation ----

void TDataSet::ClearBuffers()
{
    recordCount_ = 0;
    bof_ = eof_ = true;
}

bool TDataSet::FetchFirst()
{
    ClearBuffers();
    InternalFirst();
    if (GetRecord(buffer_, TGetMode::gmNext, true) == TGetResult::grOK) {
        recordCount_ = 1;
        eof_ = false;
    }
    bof_ = true;
    return recordCount_ > 0;
}

bool TDataSet::IsEmpty() const
{
    return recordCount_ == 0 && state_ != dsInsert;
}

void TDataSet::UpdateCursorPos()
{
    if (recordCount_ > 0)
        InternalSetToRecord(buffer_);
}

void TDataSet::First()
{
    CheckBrowseMode();
    DoBeforeScroll();
    FetchFirst();
    DoAfterScroll();
}

void TDataSet::Last()
{
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    InternalLast();
    if (GetRecord(buffer_, TGetMode::gmPrior, true) == TGetResult::grOK) {
        recordCount_ = 1;
        bof_ = false;
    }
    eof_ = true;
    DoAfterScroll();
}

int TDataSet::MoveBy(int distance)
{
    CheckBrowseMode();
    int moved = 0;
    DoBeforeScroll();
    if (recordCount_ > 0 && ((distance > 0 && !eof_) || (distance < 0 && !bof_))) {
        bof_ = eof_ = false;
        UpdateCursorPos();
        while (moved < distance) {
            if (GetRecord(buffer_, TGetMode::gmNext, true) != TGetResult::grOK) {
                eof_ = true;
                break;
            }
            ++moved;
        }
        while (moved > distance) {
            if (GetRecord(buffer_, TGetMode::gmPrior, true) != TGetResult::grOK) {
                bof_ = true;
                break;
            }
            --moved;
        }
    }
    DoAfterScroll();
    return moved;
}

void TDataSet::Resync()
{
    recordCount_ = 0;
    if (GetRecord(buffer_, TGetMode::gmCurrent, false) == TGetResult::grOK ||
        GetRecord(buffer_, TGetMode::gmNext, false) == TGetResult::grOK ||
        GetRecord(buffer_, TGetMode::gmPrior, false) == TGetResult::grOK) {
        recordCount_ = 1;
        bof_ = eof_ = false;
    } else {
        ClearBuffers();
    }
}

void TDataSet::Refresh()
{
    CheckBrowseMode();
    Fire(BeforeRefresh);
    UpdateCursorPos();
    InternalRefresh();
    Resync();
    Fire(AfterRefresh);
    DataEvent(dcRefresh);
}

namespace {

// A key value against a field value: null only matches null; a partial key compares only as
// much of the field's text as the key has.
bool KeyMatches(const TVariant& key, TVariant value, TLocateOptions options)
{
    if (key.IsNullOrEmpty() || value.IsNullOrEmpty())
        return key.IsNullOrEmpty() && value.IsNullOrEmpty();
    if ((options & loPartialKey) && key.IsText() && value.IsText()) {
        std::u16string text = value.AsWideString();
        text.resize(std::min(text.size(), key.AsWideString().size()));
        value = TVariant(std::move(text));
    }
    TVarCompareOptions compare;
    compare.IgnoreCase = (options & loCaseInsensitive) != 0;
    return VarCompare(key, value, compare) == 0;
}

}  // namespace

bool TDataSet::Locate(std::string_view keyFields, const TVariant& values, TLocateOptions options)
{
    CheckBrowseMode();
    std::vector<TField*> keys;
    for (const std::string& name : SplitFieldNames(keyFields))
        keys.push_back(&FieldByName(name));
    std::vector<TVariant> wanted = values.IsArray() ? values.Elements() : std::vector<TVariant>{values};
    if (keys.empty())
        throw EDatabaseError("Es muss mindestens ein Feld angegeben sein");
    if (wanted.size() < keys.size())
        throw EDatabaseError("Mehr Felder als Werte");
    const TBookmark start = GetBookmark();
    DisableControls();
    bool found = false;
    try {
        for (First(); !Eof() && !found; Next()) {
            found = true;
            for (std::size_t i = 0; i < keys.size() && found; ++i)
                found = KeyMatches(wanted[i], keys[i]->AsVariant(), options);
            if (found)
                break;
        }
        if (!found && BookmarkValid(start))
            GotoBookmark(start);
    } catch (...) {
        EnableControls();
        throw;
    }
    // Enabling tells the followers of the move, which may fail in their turn.
    EnableControls();
    return found;
}

// ---- editing ----

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) {
        if (modified_)
            Post();
        else
            Cancel();
    }
}

void TDataSet::CheckOperation(const std::function<void()>& operation, const TDataSetErrorEvent& onError)
{
    for (;;) {
        try {
            operation();
            return;
        } catch (const EDatabaseError& error) {
            TDataAction action = TDataAction::daFail;
            if (onError)
                onError(*this, error, action);
            if (action == TDataAction::daFail)
                throw;
            if (action == TDataAction::daAbort)
                throw EAbort();
        }
    }
}

void TDataSet::Edit()
{
    if (state_ == dsEdit || state_ == dsInsert)
        return;
    CheckActive();
    if (recordCount_ == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeEdit();
    UpdateCursorPos();
    CheckOperation([this] { InternalEdit(); }, OnEditError);
    state_ = dsEdit;
    modified_ = false;
    GetCalcFields(buffer_);
    DoAfterEdit();
}

void TDataSet::BeginInsertAppend()
{
    CheckBrowseMode();
    CheckCanModify();
    DoBeforeInsert();
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend()
{
    state_ = dsInsert;
    try {
        DoOnNewRecord();
    } catch (...) {
        // A failing new-record handler leaves no half-made record behind.
        InternalCancel();
        state_ = dsBrowse;
        Resync();
        throw;
    }
    modified_ = false;
    DoAfterInsert();
    DoAfterScroll();
}

void TDataSet::Insert()
{
    BeginInsertAppend();
    TBookmark current;
    bool hadRecord = recordCount_ > 0;
    if (hadRecord) {
        current = GetBookmarkData(buffer_);
        UpdateCursorPos();
    }
    InternalInitRecord(buffer_);
    ClearCalcFields(buffer_);
    SetBookmarkFlag(buffer_, TBookmarkFlag::bfInserted);
    if (hadRecord)
        SetBookmarkData(buffer_, current);
    else
        SetBookmarkFlag(buffer_, TBookmarkFlag::bfBOF);
    InternalInsert();
    bof_ = eof_ = false;
    EndInsertAppend();
}

void TDataSet::Append()
{
    BeginInsertAppend();
    InternalLast();
    InternalInitRecord(buffer_);
    ClearCalcFields(buffer_);
    SetBookmarkFlag(buffer_, TBookmarkFlag::bfEOF);
    InternalInsert();
    bof_ = eof_ = false;
    EndInsertAppend();
}

void TDataSet::AppendRecord(const std::vector<TVariant>& values)
{
    Append();
    SetFieldsAndPost(values);
}

void TDataSet::InsertRecord(const std::vector<TVariant>& values)
{
    Insert();
    SetFieldsAndPost(values);
}

void TDataSet::SetFieldsAndPost(const std::vector<TVariant>& values)
{
    try {
        const int count = std::min(static_cast<int>(values.size()), fields_.Count());
        for (int i = 0; i < count; ++i) {
            TField& field = fields_[i];
            const TVariant& value = values[static_cast<std::size_t>(i)];
            if (value.IsNullOrEmpty()) {
                field.Clear();
                continue;
            }
            if (IsBlobType(field.DataType())) {
                field.SetAsString(value.AsString());
                continue;
            }
            std::vector<std::byte> native(static_cast<std::size_t>(std::max(field.DataSize(), 1)));
            VariantToNative(field, value, native.data());
            field.SetData(native.data());
        }
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

void TDataSet::InternalHandleException()
{
    HandleApplicationException();
}

void TDataSet::Post()
{
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert)
        return;
    DoBeforePost();
    if (state_ == dsEdit)
        UpdateCursorPos();
    CheckOperation([this] { InternalPost(); }, OnPostError);
    state_ = dsBrowse;
    modified_ = false;
    Resync();
    DoAfterPost();
    DataEvent(dcPost);
}

void TDataSet::Cancel()
{
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert)
        return;
    DoBeforeCancel();
    for (const auto& field : fields_)
        if (IsBlobType(field->DataType()))
            CloseBlob(*field);
    InternalCancel();
    state_ = dsBrowse;
    modified_ = false;
    Resync();
    DoAfterCancel();
    DataEvent(dcCancel);
}

void TDataSet::Delete()
{
    CheckActive();
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    if (recordCount_ == 0)
        throw EDatabaseError(kDataSetEmpty);
    if (state_ == dsEdit)
        Cancel();
    CheckCanModify();
    DoBeforeDelete();
    DoBeforeScroll();
    UpdateCursorPos();
    CheckOperation([this] { InternalDelete(); }, OnDeleteError);
    state_ = dsBrowse;
    modified_ = false;
    Resync();
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::FieldChanged(TField& field)
{
    if (state_ == dsEdit || state_ == dsInsert) {
        modified_ = true;
        field.Change();
        if (calcFieldsSize_ > 0 && field.IsDataField())
            GetCalcFields(buffer_);
    } else {
        field.Change();
    }
}

void TDataSet::GetCalcFields(TRecordBuffer buffer)
{
    if (calcFieldsSize_ == 0 || inCalc_ || !buffer)
        return;
    TDataSetState saved = state_;
    TRecordBuffer savedBuffer = calcBuffer_;
    inCalc_ = true;
    state_ = dsCalcFields;
    calcBuffer_ = buffer;
    try {
        ClearCalcFields(buffer);
        Fire(OnCalcFields);
    } catch (...) {
        state_ = saved;
        calcBuffer_ = savedBuffer;
        inCalc_ = false;
        throw;
    }
    state_ = saved;
    calcBuffer_ = savedBuffer;
    inCalc_ = false;
}

// ---- bookmarks ----

TBookmark TDataSet::GetBookmark() const
{
    if ((state_ == dsBrowse || state_ == dsEdit || state_ == dsInsert) && recordCount_ > 0 &&
        GetBookmarkFlag(buffer_) == TBookmarkFlag::bfCurrent)
        return GetBookmarkData(buffer_);
    return TBookmark{};
}

void TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(bookmark);
    Resync();
    DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmark&) const
{
    return false;
}

int TDataSet::CompareBookmarks(const TBookmark&, const TBookmark&) const
{
    return 0;
}

}  // namespace velmoran
