// The in-memory table: fetching into buffers, field reads and writes by state, posting,
// deleting, record numbers and bookmarks over the record store and the row-order index.
#include "memtable/MemTable.h"

#include "memtable/DeltaHandler.h"
#include "memtable/StreamFormat.h"

#include <algorithm>
#include <cstring>

namespace velmoran {

namespace {

const char* const kNotEditing = "Datenmenge ist nicht im Bearbeitungsmodus";
const char* const kInvalidRecord = "Ungültiger Datensatz";

}  // namespace

// ---- table ----

TzebCustomMemTable::TzebCustomMemTable()
    : ownStore_(std::make_unique<TzebCommon>(this)), store_(ownStore_.get()), currentIndex_(&indexes_.RowOrder())
{
    attachIndex_ = store_->Attach(this);
}

TzebCustomMemTable::~TzebCustomMemTable()
{
    // Formats and delta handlers forget the table while it is still whole.
    NotifyDestruction();
    masterLink_.SetSource(nullptr);
    if (Active()) {
        // Events must not run on a table being destroyed.
        BeforeClose = AfterClose = BeforeCancel = AfterCancel = nullptr;
        try {
            Close();
        } catch (...) {
        }
    }
    if (store_->Owner() == this) {
        // The tables attached to this one's store (closed with it) get stores of their own.
        for (TzebCustomMemTable* table : std::vector<TzebCustomMemTable*>(store_->AttachedTables()))
            if (table && table != this)
                table->LeaveStore();
    }
    store_->Detach(this);
}

void TzebCustomMemTable::Notification(TComponent* removed)
{
    for (TzebCustomStreamFormat*& format : formats_)
        if (format && static_cast<TComponent*>(format) == removed)
            format = nullptr;
    if (deltaHandler_ && static_cast<TComponent*>(deltaHandler_) == removed)
        deltaHandler_ = nullptr;
}

std::vector<std::byte> TzebCustomMemTable::CompressField(const TField& field, const std::byte* bytes,
                                                         std::size_t count) const
{
    if (OnCompressField)
        return OnCompressField(const_cast<TzebCustomMemTable&>(*this), field, bytes, count);
    return {bytes, bytes + count};
}

std::vector<std::byte> TzebCustomMemTable::DecompressField(const TField& field, const std::byte* bytes,
                                                           std::size_t count) const
{
    if (OnDecompressField)
        return OnDecompressField(const_cast<TzebCustomMemTable&>(*this), field, bytes, count);
    return {bytes, bytes + count};
}

void TzebCustomMemTable::SetPerformance(TzebPerformance performance)
{
    if (Active())
        throw EMemTableError("Die Tabelle muss für diesen Vorgang geschlossen sein");
    store_->SetPerformance(performance);
}

void TzebCustomMemTable::BeginBulkUpdate()
{
    store_->Lock();
    store_->SetBulkUpdate(true);
}

void TzebCustomMemTable::EndBulkUpdate()
{
    store_->SetBulkUpdate(false);
    store_->Unlock();
}

// ---- buffers ----

TRecordBuffer TzebCustomMemTable::AllocRecordBuffer()
{
    return reinterpret_cast<TRecordBuffer>(store_->AllocateRecord());
}

void TzebCustomMemTable::FreeRecordBuffer(TRecordBuffer& buffer)
{
    TzebRecord* record = AsRecord(buffer);
    // A buffer's blocks are always its own (fetching never copies block references).
    store_->FreeBlocks(record);
    store_->FreeRecord(record, false, false);
    buffer = nullptr;
}

void TzebCustomMemTable::InternalInitRecord(TRecordBuffer buffer)
{
    TzebRecord* record = AsRecord(buffer);
    store_->FreeBlocks(record);
    store_->ClearRecord(record);
}

void TzebCustomMemTable::ClearCalcFields(TRecordBuffer buffer)
{
    if (store_->CalcFieldsSize() > 0)
        std::memset(AsRecord(buffer)->Data + store_->CalcFieldsStart(), 0,
                    static_cast<std::size_t>(store_->CalcFieldsSize()));
}

// ---- fetching ----

TGetResult TzebCustomMemTable::GetRecord(TRecordBuffer buffer, TGetMode mode, bool)
{
    TzebCommon::Guard guard(*store_);
    const int count = currentIndex_->Count();
    switch (mode) {
    case TGetMode::gmCurrent:
        if (cursor_ < 0 || cursor_ >= count)
            return TGetResult::grError;
        if (IsFilterActive() && !AcceptRecord(currentIndex_->At(cursor_)))
            return TGetResult::grError;
        break;
    case TGetMode::gmNext:
        if (!IsFilterActive()) {
            if (cursor_ >= count - 1)
                return TGetResult::grEOF;
            ++cursor_;
        } else {
            int i = cursor_ + 1;
            while (i < count && !AcceptRecord(currentIndex_->At(i)))
                ++i;
            if (i >= count)
                return TGetResult::grEOF;
            cursor_ = i;
        }
        break;
    case TGetMode::gmPrior:
        if (!IsFilterActive()) {
            if (cursor_ <= 0)
                return TGetResult::grBOF;
            cursor_ = std::min(cursor_, count) - 1;
            if (cursor_ < 0) {
                cursor_ = -1;
                return TGetResult::grBOF;
            }
        } else {
            int i = std::min(cursor_, count) - 1;
            while (i >= 0 && !AcceptRecord(currentIndex_->At(i)))
                --i;
            if (i < 0)
                return TGetResult::grBOF;
            cursor_ = i;
        }
        break;
    }
    TzebRecord* record = AsRecord(buffer);
    const TzebRecord* stored = currentIndex_->At(cursor_);
    store_->FreeBlocks(record);
    store_->ClearRecord(record);
    store_->CopyRecord(stored, record);
    record->Position = cursor_;
    store_->SetBookmarkEntry(record, attachIndex_,
                             TzebBookmarkEntry{stored->SlotNumber, stored->UniqueNumber,
                                               static_cast<std::uint8_t>(TBookmarkFlag::bfCurrent)});
    record->Flags = static_cast<std::uint8_t>(record->Flags & ~mtrfOwner);
    if (RecalcOnFetch)
        GetCalcFields(buffer);
    return TGetResult::grOK;
}

TzebRecord* TzebCustomMemTable::RecordAtCursor() const
{
    if (cursor_ < 0 || cursor_ >= currentIndex_->Count())
        throw EMemTableInvalidRecord(kInvalidRecord);
    return currentIndex_->At(cursor_);
}

void TzebCustomMemTable::InternalSetToRecord(TRecordBuffer buffer)
{
    TzebRecord* record = AsRecord(buffer);
    if (record->Position != -1) {
        cursor_ = record->Position;
        return;
    }
    TBookmark bookmark = GetBookmarkData(buffer);
    if (!bookmark.Empty())
        InternalGotoBookmark(bookmark);
}

// ---- field values ----

TzebRecord* TzebCustomMemTable::SelectBuffer() const
{
    switch (State()) {
    case dsCalcFields:
        return AsRecord(CalcBuffer());
    case dsOldValue: {
        TzebRecord* active = AsRecord(ActiveBuffer());
        if (!active || active->SlotNumber == -1)
            return active;
        TzebRecord* stored = store_->RecordAt(active->SlotNumber);
        if (!stored)
            return active;
        while (stored->PreviousVersion)
            stored = stored->PreviousVersion;
        return stored;
    }
    case dsFilter:
        return const_cast<TzebRecord*>(filterRecord_);
    case dsSetKey:
        // No operation of the table fills a key buffer.
        return nullptr;
    default:
        return AsRecord(ActiveBuffer());
    }
}

bool TzebCustomMemTable::GetFieldData(const TField& field, void* buffer) const
{
    TzebCommon::Guard guard(*store_);
    if (!open_)
        return false;
    TzebRecord* record = SelectBuffer();
    if (!record)
        return false;
    const int width = field.DataSize();
    if (!field.IsDataField()) {
        const std::byte* entry = record->Data + store_->CalcFieldsStart() + field.CalcOffset();
        bool hasValue = entry[0] != std::byte{0};
        if (hasValue && buffer)
            std::memcpy(buffer, entry + 1, static_cast<std::size_t>(width));
        return hasValue;
    }
    const int fieldNo = field.FieldNo();
    if (fieldNo < 1 || fieldNo > store_->FieldCount())
        return false;
    const std::byte* entry = store_->FieldPointer(record, fieldNo);
    bool hasValue = entry[0] != std::byte{0};
    if (!(store_->FieldFlags(fieldNo) & mtffOutOfRecord)) {
        if (hasValue && buffer)
            std::memcpy(buffer, entry + 1, static_cast<std::size_t>(width));
        return hasValue;
    }
    if (!hasValue || !buffer)
        return hasValue;
    const int slot = store_->OutOfRecordSlot(fieldNo);
    const std::byte* block = store_->OutOfRecordBlock(record, slot);
    if (!block) {
        // A buffer holds only the blocks written into it; the others are the stored record's.
        if (record->SlotNumber == -1)
            throw EMemTableInvalidRecord(kInvalidRecord);
        const TzebRecord* stored = store_->RecordAt(record->SlotNumber);
        block = stored ? store_->OutOfRecordBlock(stored, slot) : nullptr;
    }
    if (IsBlobType(field.DataType()))
        return hasValue;
    if (!block)
        return false;
    std::vector<std::byte> value;
    const std::byte* bytes = ZebBlockBytes(block);
    std::size_t count = ZebBlockSize(block);
    if (store_->FieldFlags(fieldNo) & mtffCompressed) {
        value = DecompressField(field, bytes, count);
        bytes = value.data();
        count = value.size();
    }
    std::size_t n = std::min(count, static_cast<std::size_t>(width));
    if (n > 0)
        std::memcpy(buffer, bytes, n);
    std::memset(static_cast<std::byte*>(buffer) + n, 0, static_cast<std::size_t>(width) - n);
    return true;
}

void TzebCustomMemTable::SetFieldData(TField& field, const void* buffer)
{
    TzebCommon::Guard guard(*store_);
    if (!open_)
        CheckActive();
    switch (State()) {
    case dsEdit:
    case dsInsert:
    case dsSetKey:
    case dsCalcFields:
    case dsFilter:
    case dsNewValue:
    case dsInternalCalc:
        break;
    default:
        throw EDatabaseError(kNotEditing);
    }
    if (!ReadOnlyChecksSuspended() && (ReadOnly || field.ReadOnly()) && State() != dsSetKey && State() != dsCalcFields)
        throw EDatabaseError("Feld '" + field.DisplayName() + "' ist schreibgeschützt");
    TzebRecord* record = SelectBuffer();
    if (!record)
        throw EDatabaseError(kNotEditing);
    // Validation runs before anything is written, so that a refused value leaves the buffer as
    // it was.
    field.Validate(buffer);
    WriteNative(record, field, buffer);
    if (State() != dsCalcFields && State() != dsFilter && State() != dsNewValue && !store_->BulkUpdate())
        FieldChanged(field);
}

void TzebCustomMemTable::WriteNative(TzebRecord* record, const TField& field, const void* buffer)
{
    const int width = field.DataSize();
    if (!field.IsDataField()) {
        std::byte* entry = record->Data + store_->CalcFieldsStart() + field.CalcOffset();
        entry[0] = buffer ? std::byte{2} : std::byte{0};
        if (buffer)
            std::memcpy(entry + 1, buffer, static_cast<std::size_t>(width));
        else
            std::memset(entry + 1, 0, static_cast<std::size_t>(width));
        return;
    }
    const int fieldNo = field.FieldNo();
    if (fieldNo < 1 || fieldNo > store_->FieldCount())
        throw EMemTableError("Feld '" + field.DisplayName() + "' ist nicht gebunden");
    std::byte* entry = store_->FieldPointer(record, fieldNo);
    if (store_->FieldFlags(fieldNo) & mtffOutOfRecord) {
        const int slot = store_->OutOfRecordSlot(fieldNo);
        std::byte* newBlock = nullptr;
        if (buffer && !IsBlobType(field.DataType())) {
            const auto* bytes = static_cast<const std::byte*>(buffer);
            std::size_t count = static_cast<std::size_t>(width);
            if (field.DataType() == ftString || field.DataType() == ftFixedChar) {
                count = ::strnlen(static_cast<const char*>(buffer), static_cast<std::size_t>(width - 1)) + 1;
            } else if (field.DataType() == ftWideString) {
                std::uint32_t byteCount = 0;
                std::memcpy(&byteCount, buffer, 4);
                count = std::min<std::size_t>(byteCount + 4u, static_cast<std::size_t>(width));
            }
            if (store_->FieldFlags(fieldNo) & mtffCompressed) {
                std::vector<std::byte> packed = CompressField(field, bytes, count);
                newBlock = ZebNewBlock(packed.data(), static_cast<std::uint32_t>(packed.size()));
            } else {
                newBlock = ZebNewBlock(bytes, static_cast<std::uint32_t>(count));
            }
        }
        if (std::byte* old = store_->OutOfRecordBlock(record, slot))
            ZebFreeBlock(old);
        store_->SetOutOfRecordBlock(record, slot, newBlock);
        entry[0] = buffer ? std::byte{2} : std::byte{0};
    } else {
        entry[0] = buffer ? std::byte{2} : std::byte{0};
        if (buffer)
            std::memcpy(entry + 1, buffer, static_cast<std::size_t>(width));
        else
            std::memset(entry + 1, 0, static_cast<std::size_t>(width));
    }
    store_->SetFieldModified(fieldNo);
}

void TzebCustomMemTable::WriteVariant(TzebRecord* record, const TField& field, const TVariant& value)
{
    if (value.IsNullOrEmpty()) {
        WriteNative(record, field, nullptr);
        return;
    }
    std::vector<std::byte> native(static_cast<std::size_t>(std::max(field.DataSize(), 1)));
    VariantToNative(field, value, native.data());
    WriteNative(record, field, native.data());
}

void TzebCustomMemTable::SetFieldValue(TField& field, const TVariant& value)
{
    if (value.IsNullOrEmpty()) {
        field.SetData(nullptr);
        return;
    }
    std::vector<std::byte> native(static_cast<std::size_t>(std::max(field.DataSize(), 1)));
    VariantToNative(field, value, native.data());
    field.SetData(native.data());
}

// ---- posting and deleting ----

void TzebCustomMemTable::InsertIntoIndexes(TzebRecord* record, bool appended)
{
    ForEachOpenTable([&](TzebCustomMemTable& table) {
        for (int i = 0; i < table.indexes_.Count(); ++i) {
            TzebIndex& index = table.indexes_[i];
            int position = -1;
            if (&table == this && &index == currentIndex_ && index.IsRowOrder() && !appended)
                position = std::max(insertRecNo_ - 1, 0);
            index.InsertRecord(record, position);
        }
    });
}

void TzebCustomMemTable::RemoveFromIndexes(const TzebRecord* record)
{
    const bool undoable = record->ChangeStatus == mtcsDeleted && store_->TransactionLevel() > 0;
    ForEachOpenTable([&](TzebCustomMemTable& table) {
        for (int i = 0; i < table.indexes_.Count(); ++i) {
            TzebIndex& index = table.indexes_[i];
            if (undoable && index.IsRowOrder()) {
                const int at = index.IndexOfRecord(record, &table == this && &index == currentIndex_ ? cursor_ : -1);
                if (at >= 0)
                    table.deletedPlaces_.push_back({record->UniqueNumber,
                                                    at > 0 ? index.At(at - 1)->UniqueNumber : -1,
                                                    at + 1 < index.Count() ? index.At(at + 1)->UniqueNumber : -1});
            }
            index.DeleteRecord(record, &table == this && &index == currentIndex_ ? cursor_ : -1);
        }
    });
}

void TzebCustomMemTable::InternalAddRecord(TRecordBuffer buffer, bool append)
{
    TzebCommon::Guard guard(*store_);
    TzebRecord* record = AsRecord(buffer);
    if (!record)
        throw EMemTableInvalidRecord(kInvalidRecord);
    PostInsert(record, append);
}

void TzebCustomMemTable::PostInsert(TzebRecord* buffer, bool appended)
{
    ForEachOpenTable([&](TzebCustomMemTable& table) {
        for (int i = 0; i < table.indexes_.Count(); ++i)
            table.indexes_[i].CheckUnique(buffer, nullptr);
    });
    TzebRecord* stored = store_->DuplicateRecord(buffer, true);
    const bool reusedSlot = !store_->FreeSlots().empty();
    try {
        store_->StoreRecord(stored);
    } catch (...) {
        store_->FreeRecord(stored, true, false);
        throw;
    }
    stored->TransactionLevel = store_->TransactionLevel();
    try {
        InsertIntoIndexes(stored, appended);
        savedCursor_ = currentIndex_->IndexOfRecord(stored, appended ? currentIndex_->Count() - 1 : std::max(insertRecNo_ - 1, 0));
    } catch (...) {
        // An index that cannot place the record (its comparison or filter failed): the post is
        // undone whole, and the buffer still holds what was typed.
        ForEachOpenTable([&](TzebCustomMemTable& table) {
            for (int i = 0; i < table.indexes_.Count(); ++i)
                table.indexes_[i].DropRecord(stored);
        });
        store_->UnstoreRecord(stored, reusedSlot);
        store_->FreeRecord(stored, true, false);
        throw;
    }
    store_->FreeBlocks(buffer);
    stored->Position = savedCursor_;
    store_->SetDataModified(true);
    store_->ClearModifiedBits();
}

void TzebCustomMemTable::PostEdit(TzebRecord* buffer)
{
    TzebRecord* stored = RecordAtCursor();
    ForEachOpenTable([&](TzebCustomMemTable& table) {
        for (int i = 0; i < table.indexes_.Count(); ++i)
            table.indexes_[i].CheckUnique(buffer, stored);
    });
    // Every index works out the record's move while its list still holds the old values. A
    // comparison or filter that fails here fails the post before anything changed: the record
    // keeps its status and versions, and the data-modified flag stays as it was.
    const std::uint8_t status = Modified() ? mtcsModified : stored->ChangeStatus;
    std::vector<std::pair<TzebIndex*, TzebMove>> moves;
    ForEachOpenTable([&](TzebCustomMemTable& table) {
        for (int i = 0; i < table.indexes_.Count(); ++i) {
            TzebIndex& index = table.indexes_[i];
            int hint = &table == this && &index == currentIndex_ ? cursor_ : -1;
            moves.emplace_back(&index, index.PrepareReorder(stored, buffer, status, hint));
        }
    });
    if (Modified()) {
        // The version keeps the status the record had: one inserted and then edited still
        // says so at the end of its chain.
        if (store_->EnableVersioning() &&
            (store_->VersioningMode() == mtvmAllSinceCheckPoint || !stored->PreviousVersion)) {
            TzebRecord* version = store_->DuplicateRecord(stored, true);
            version->Flags |= mtrfOwner;
            version->PreviousVersion = stored->PreviousVersion;
            stored->PreviousVersion = version;
        }
        stored->ChangeStatus = mtcsModified;
        store_->SetDataModified(true);
    }
    // The buffer's header and data replace the stored record's, except what belongs to the
    // stored copy: its place, its numbers, its versions and its ownership.
    const TzebRecord keep = *stored;
    store_->MoveBlocks(buffer, stored);
    stored->SlotNumber = keep.SlotNumber;
    stored->UniqueNumber = keep.UniqueNumber;
    stored->PreviousVersion = keep.PreviousVersion;
    stored->ChangeStatus = keep.ChangeStatus;
    stored->Flags = keep.Flags | mtrfOwner;
    stored->Position = keep.Position;
    stored->TransactionLevel = store_->TransactionLevel();
    for (const auto& [index, move] : moves)
        index->ReorderRecord(stored, move);
    if (!currentIndex_->IsRowOrder())
        savedCursor_ = currentIndex_->IndexOfRecord(stored);
    store_->ClearModifiedBits();
}

void TzebCustomMemTable::InternalPost()
{
    TzebCommon::Guard guard(*store_);
    TzebRecord* buffer = AsRecord(ActiveBuffer());
    if (!buffer)
        throw EMemTableInvalidRecord(kInvalidRecord);
    if (State() == dsInsert)
        PostInsert(buffer, store_->BookmarkEntry(buffer, attachIndex_).Flag == static_cast<std::uint8_t>(TBookmarkFlag::bfEOF));
    else
        PostEdit(buffer);
}

void TzebCustomMemTable::InternalCancel()
{
    if (TzebRecord* buffer = AsRecord(ActiveBuffer()))
        store_->FreeBlocks(buffer);
    store_->ClearModifiedBits();
}

void TzebCustomMemTable::InternalDelete()
{
    TzebCommon::Guard guard(*store_);
    TzebRecord* stored = RecordAtCursor();
    if (!store_->EnableVersioning()) {
        RemoveFromIndexes(stored);
        store_->ReleaseSlot(stored);
        store_->FreeRecord(stored, true, true);
    } else {
        TzebRecord* version = store_->DuplicateRecord(stored, true);
        version->Flags |= mtrfOwner;
        version->PreviousVersion = stored->PreviousVersion;
        stored->PreviousVersion = version;
        stored->ChangeStatus = mtcsDeleted;
        stored->TransactionLevel = store_->TransactionLevel();
        store_->IncrementDeletedCount();
        // Indexes that show deleted records keep it (by key); the others drop it.
        RemoveFromIndexes(stored);
    }
    store_->SetDataModified(true);
}

// ---- record count and number ----

int TzebCustomMemTable::GetRecordCount() const
{
    TzebCommon::Guard guard(*store_);
    if (!open_)
        throw EDatabaseError("Operation bei geschlossener Datenmenge nicht ausführbar");
    if (!IsFilterActive())
        return currentIndex_->Count();
    int count = 0;
    for (int i = 0; i < currentIndex_->Count(); ++i)
        if (AcceptRecord(currentIndex_->At(i)))
            ++count;
    return count;
}

int TzebCustomMemTable::GetRecNo() const
{
    if (!Active() || IsEmpty())
        return -1;
    const TzebRecord* buffer = AsRecord(ActiveBuffer());
    if (!buffer || buffer->Position < 0)
        return -1;
    return buffer->Position + 1;
}

void TzebCustomMemTable::SetRecNoValue(int value)
{
    CheckBrowseMode();
    int current = GetRecNo();
    if (value == current || value < 1 || value > GetRecordCount())
        return;
    if (IsFilterActive()) {
        MoveBy(value - current);
        return;
    }
    DoBeforeScroll();
    cursor_ = value - 1;
    Resync();
    DoAfterScroll();
}

// ---- bookmarks ----

TBookmarkFlag TzebCustomMemTable::GetBookmarkFlag(TRecordBuffer buffer) const
{
    return static_cast<TBookmarkFlag>(store_->BookmarkEntry(AsRecord(buffer), attachIndex_).Flag);
}

void TzebCustomMemTable::SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag flag)
{
    TzebBookmarkEntry entry = store_->BookmarkEntry(AsRecord(buffer), attachIndex_);
    entry.Flag = static_cast<std::uint8_t>(flag);
    store_->SetBookmarkEntry(AsRecord(buffer), attachIndex_, entry);
}

TBookmark TzebCustomMemTable::GetBookmarkData(TRecordBuffer buffer) const
{
    TzebBookmarkEntry entry = store_->BookmarkEntry(AsRecord(buffer), attachIndex_);
    return TBookmark{entry.Slot, entry.UniqueNumber, store_->Generation()};
}

void TzebCustomMemTable::SetBookmarkData(TRecordBuffer buffer, const TBookmark& bookmark)
{
    TzebBookmarkEntry entry = store_->BookmarkEntry(AsRecord(buffer), attachIndex_);
    entry.Slot = bookmark.Slot;
    entry.UniqueNumber = bookmark.UniqueNumber;
    store_->SetBookmarkEntry(AsRecord(buffer), attachIndex_, entry);
}

bool TzebCustomMemTable::BookmarkValid(const TBookmark& bookmark) const
{
    TzebCommon::Guard guard(*store_);
    return !bookmark.Empty() && bookmark.Generation == store_->Generation() &&
           store_->FindRecord(bookmark.Slot, bookmark.UniqueNumber) != nullptr;
}

int TzebCustomMemTable::CompareBookmarks(const TBookmark& a, const TBookmark& b) const
{
    if (!BookmarkValid(a) || !BookmarkValid(b))
        return 0;
    const TzebRecord* ra = store_->FindRecord(a.Slot, a.UniqueNumber);
    const TzebRecord* rb = store_->FindRecord(b.Slot, b.UniqueNumber);
    int result = 0;
    if (currentIndex_->IsRowOrder()) {
        // Slot numbers say nothing about the order once records were inserted or slots reused;
        // the place in the row order does.
        int pa = currentIndex_->IndexOfRecord(ra, ra->Position);
        int pb = currentIndex_->IndexOfRecord(rb, rb->Position);
        result = pa < pb ? -1 : pa > pb ? 1 : 0;
        if (result == 0)
            result = currentIndex_->CompareRecords(ra, rb);
    } else {
        result = currentIndex_->CompareRecords(ra, rb);
    }
    if (result == 0 && !currentIndex_->IsRowOrder()) {
        result = ra->Position < rb->Position ? -1 : ra->Position > rb->Position ? 1 : 0;
        if (result == 0)
            result = ra->SlotNumber < rb->SlotNumber ? -1 : ra->SlotNumber > rb->SlotNumber ? 1 : 0;
    }
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

void TzebCustomMemTable::InternalGotoBookmark(const TBookmark& bookmark)
{
    if (bookmark.Empty())
        throw EMemTableError("Lesezeichen -200 nicht gefunden");
    if (!BookmarkValid(bookmark))
        return;
    const TzebRecord* record = store_->FindRecord(bookmark.Slot, bookmark.UniqueNumber);
    int position = currentIndex_->IndexOfRecord(record);
    if (position >= 0)
        cursor_ = position;
}

// ---- opening and closing ----

void TzebCustomMemTable::InternalInitFieldDefs()
{
    if (attachedTo_) {
        // An attached table reads the records of its store in the owner's layout.
        CopyFieldDefs(store_->Owner()->FieldDefs(), FieldDefs());
        return;
    }
    if (DefaultFields())
        return;
    TFieldDefs& defs = FieldDefs();
    defs.Clear();
    for (const auto& field : Fields())
        if (field->IsDataField())
            defs.Add(field->FieldName(), field->DataType(), field->Size(), field->Required());
}

void TzebCustomMemTable::InternalOpen()
{
    TzebCustomMemTable* owner = store_->Owner();
    if (owner != this && !owner->Active())
        owner->Open();
    TzebCommon::Guard guard(*store_);
    InternalInitFieldDefs();
    FieldDefs().AssignFieldNumbers();
    if (DefaultFields()) {
        if (FieldDefs().Count() == 0)
            throw EMemTableError("Es muss mindestens ein Feld angegeben sein");
        CreateFields();
    }
    autoIncField_ = nullptr;
    for (const auto& field : Fields())
        if (field->DataType() == ftAutoInc && field->IsDataField()) {
            autoIncField_ = field.get();
            break;
        }
    BindFields(true);
    if (owner == this) {
        store_->SetAutoIncHighest(store_->AutoIncMinValue() - 1);
        // The calculated-field area serves every table of the store.
        int calcSize = CalcFieldsSize();
        for (TzebCustomMemTable* table : store_->AttachedTables())
            if (table && table != this)
                calcSize = std::max(calcSize, table->CalcFieldsSizeOfFields());
        store_->Layout(FieldDefs(), calcSize, [this](const TFieldDef& def, std::uint8_t& flags) {
            if (OnSetupField)
                OnSetupField(*this, FindField(def.Name()), flags);
        });
    } else if (CalcFieldsSize() > store_->CalcFieldsSize()) {
        throw EMemTableError("Die berechneten Felder einer angehängten Tabelle passen nicht in ihren Speicher");
    }
    open_ = true;
    cursor_ = savedCursor_ = -1;
    indexes_.ClearRecords();
    currentIndex_ = &indexes_.RowOrder();
    // A table joining a store that holds records lists them in their stored order.
    for (int slot = 0; slot < store_->SlotCount(); ++slot)
        if (TzebRecord* record = store_->RecordAt(slot); record && record->ChangeStatus != mtcsDeleted)
            indexes_.RowOrder().InsertRecord(record, -1);
    RebuildIndexes();
    BuildFieldList(detailFieldNames_, detailFields_);
    BuildMasterFieldList();
    FillMasterBuffer();
    beforeCloseDone_ = false;
    persistentSaved_ = false;
}

void TzebCustomMemTable::InternalClose()
{
    TzebCommon::Guard guard(*store_);
    if (store_->Owner() == this) {
        for (TzebCustomMemTable* table : std::vector<TzebCustomMemTable*>(store_->AttachedTables()))
            if (table && table != this && table->Active())
                table->Close();
        store_->Empty();
    }
    cursor_ = savedCursor_ = -1;
    indexes_.ClearRecords();
    deletedPlaces_.clear();
    // Sorted indexes name field objects that closing may destroy; opening builds them anew.
    indexes_.RemoveSorted();
    currentIndex_ = &indexes_.RowOrder();
    indexFields_.Clear();
    detailFields_.Clear();
    masterFields_.Clear();
    FreeMasterBuffer();
    filterExpr_.reset();
    open_ = false;
    autoIncField_ = nullptr;
    BindFields(false);
    DestroyDefaultFields();
}

// ---- steps around the events ----

void TzebCustomMemTable::DoBeforeClose()
{
    if (State() == dsEdit || State() == dsInsert)
        Cancel();
    SavePersistent();
    if (!beforeCloseDone_) {
        beforeCloseDone_ = true;
        TDataSet::DoBeforeClose();
    }
}

void TzebCustomMemTable::DoBeforeInsert()
{
    insertRecNo_ = GetRecNo();
    TDataSet::DoBeforeInsert();
}

void TzebCustomMemTable::DoBeforePost()
{
    TDataSet::DoBeforePost();
    if (autoIncField_) {
        std::int32_t value = 0;
        if (autoIncField_->GetData(&value) && value > store_->AutoIncHighest())
            store_->SetAutoIncHighest(value);
    }
}

void TzebCustomMemTable::RefreshOtherTables()
{
    if (!AttachedAutoRefresh)
        return;
    // Refreshing runs events that may close tables; each is looked at when its turn comes.
    for (TzebCustomMemTable* table : std::vector<TzebCustomMemTable*>(store_->AttachedTables()))
        if (table && table != this && table->open_ && table->State() == dsBrowse)
            table->Refresh();
}

void TzebCustomMemTable::DoAfterPost()
{
    RefreshOtherTables();
    if (AutoReposition && savedCursor_ >= 0) {
        cursor_ = savedCursor_;
        Resync();
    }
    TDataSet::DoAfterPost();
}

void TzebCustomMemTable::DoAfterDelete()
{
    RefreshOtherTables();
    savedCursor_ = -1;
    TDataSet::DoAfterDelete();
}

void TzebCustomMemTable::DoOnNewRecord()
{
    if (MasterLinkActive()) {
        // A new detail record belongs to the master's current record.
        const TzebFieldList& detail = LinkFieldList();
        const int n = std::min(masterFields_.Count(), detail.Count());
        for (int i = 0; i < n; ++i)
            WriteVariant(AsRecord(ActiveBuffer()), *detail[i].Field, masterFields_[i].Field->AsVariant());
    }
    for (const auto& field : Fields())
        if (!field->DefaultExpression.empty())
            field->SetText(field->DefaultExpression);
    TDataSet::DoOnNewRecord();
    if (autoIncField_ && !LoadingValues) {
        std::int64_t next = store_->AutoIncHighest() + 1;
        auto value = static_cast<std::int32_t>(next);
        autoIncField_->SetData(&value);
    }
}

}  // namespace velmoran
