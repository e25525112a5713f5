// Blob streams of the in-memory table, and the table's blob steps: opening a stream, taking
// its contents into the edit buffer, and dropping a buffer's blob when an insert is given up.
#include "memtable/BlobStream.h"

#include "memtable/MemTable.h"

#include <string_view>
#include <utility>

namespace velmoran {

namespace {

bool Editing(const TDataSet& table)
{
    return table.State() == dsEdit || table.State() == dsInsert;
}

}  // namespace

TzebBlobStream::TzebBlobStream(TzebCustomMemTable& table, TField& field, TBlobStreamMode mode)
    : table_(table), field_(field), mode_(mode)
{
    TzebCommon& store = table.Store();
    TzebCommon::Guard guard(store);
    if (mode != bmRead) {
        if (!table.ReadOnlyChecksSuspended() && (table.ReadOnly || field.ReadOnly()))
            throw EDatabaseError("Feld '" + field.DisplayName() + "' ist schreibgeschützt");
        if (!Editing(table))
            throw EDatabaseError("Datenmenge ist nicht im Bearbeitungsmodus");
    }
    // A closed table, or one with no current record, gives an empty stream to read.
    if (!table.open_)
        return;
    const int fieldNo = field.FieldNo();
    if (!field.IsDataField() || fieldNo < 1 || fieldNo > store.FieldCount() ||
        !(store.FieldFlags(fieldNo) & mtffOutOfRecord))
        throw EDatabaseError("Feld '" + field.DisplayName() + "' hat keinen Blob-Datenstrom");
    buffer_ = table.SelectBuffer();
    if (!buffer_)
        return;
    slot_ = store.OutOfRecordSlot(fieldNo);
    if (buffer_->SlotNumber >= 0)
        stored_ = store.RecordAt(buffer_->SlotNumber);
    if (mode == bmWrite) {
        if (std::byte* block = store.OutOfRecordBlock(buffer_, slot_))
            ZebFreeBlock(block);
        store.SetOutOfRecordBlock(buffer_, slot_, nullptr);
        *store.FieldPointer(buffer_, fieldNo) = std::byte{0};
        modified_ = true;
    } else {
        LoadValue();
    }
}

TzebBlobStream::~TzebBlobStream()
{
    try {
        Close();
    } catch (...) {
        // Only an explicit Close reports a failure.
    }
}

void TzebBlobStream::LoadValue()
{
    const TzebCommon& store = table_.Store();
    const std::byte* block = store.OutOfRecordBlock(buffer_, slot_);
    const bool hasValue = *store.FieldPointer(buffer_, field_.FieldNo()) != std::byte{0};
    if (!block && hasValue && stored_)
        block = store.OutOfRecordBlock(stored_, slot_);
    if (!block)
        return;
    const std::string_view bytes(reinterpret_cast<const char*>(ZebBlockBytes(block)), ZebBlockSize(block));
    if (table_.OnDecompressBlobStream) {
        TMemoryStream packed(bytes);
        table_.OnDecompressBlobStream(table_, packed, *this);
    } else {
        WriteString(bytes);
    }
    SetPosition(0);
    modified_ = false;
}

std::int64_t TzebBlobStream::Write(const void* buffer, std::int64_t count)
{
    modified_ = true;
    return TMemoryStream::Write(buffer, count);
}

void TzebBlobStream::SetSize(std::int64_t size)
{
    modified_ = true;
    TMemoryStream::SetSize(size);
}

void TzebBlobStream::Close()
{
    if (std::exchange(closed_, true) || !modified_ || mode_ == bmRead)
        return;
    // A stream whose record is no longer being edited has nothing to hand over.
    if (!table_.open_ || !Editing(table_) || table_.SelectBuffer() != buffer_ || !buffer_)
        return;
    TzebCommon& store = table_.Store();
    TzebCommon::Guard guard(store);
    std::byte* block = nullptr;
    if (table_.OnCompressBlobStream) {
        TMemoryStream packed;
        SetPosition(0);
        table_.OnCompressBlobStream(table_, *this, packed);
        if (packed.Size() > 0)
            block = ZebNewBlock(packed.Memory(), static_cast<std::uint32_t>(packed.Size()));
    } else if (Size() > 0) {
        block = ZebNewBlock(Memory(), static_cast<std::uint32_t>(Size()));
    }
    if (std::byte* old = store.OutOfRecordBlock(buffer_, slot_))
        ZebFreeBlock(old);
    store.SetOutOfRecordBlock(buffer_, slot_, block);
    *store.FieldPointer(buffer_, field_.FieldNo()) = block ? std::byte{2} : std::byte{0};
    table_.BlobWritten(field_);
}

// ---- the table's blob steps ----

std::unique_ptr<TBlobStream> TzebCustomMemTable::CreateBlobStream(TField& field, TBlobStreamMode mode)
{
    return std::make_unique<TzebBlobStream>(*this, field, mode);
}

void TzebCustomMemTable::BlobWritten(TField& field)
{
    store_->SetFieldModified(field.FieldNo());
    if (!store_->BulkUpdate())
        FieldChanged(field);
}

void TzebCustomMemTable::CloseBlob(TField& field)
{
    // An edited record keeps reading its blobs from the stored record.
    if (!open_ || (State() == dsEdit && cursor_ >= 0))
        return;
    TzebRecord* buffer = AsRecord(ActiveBuffer());
    const int fieldNo = field.FieldNo();
    if (!buffer || fieldNo < 1 || fieldNo > store_->FieldCount() || !(store_->FieldFlags(fieldNo) & mtffOutOfRecord))
        return;
    const int slot = store_->OutOfRecordSlot(fieldNo);
    if (std::byte* block = store_->OutOfRecordBlock(buffer, slot))
        ZebFreeBlock(block);
    store_->SetOutOfRecordBlock(buffer, slot, nullptr);
    *store_->FieldPointer(buffer, fieldNo) = std::byte{0};
}

}  // namespace velmoran
