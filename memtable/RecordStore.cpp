// The record store: record allocation and copying, out-of-record blocks, slot and unique
// numbering, layout and emptying.
#include "memtable/RecordStore.h"

#include "memtable/MemTable.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace velmoran {

namespace {

// The data area starts at this offset from the header, suitably aligned.
constexpr std::size_t kHeaderSize = (sizeof(TzebRecord) + 15) / 16 * 16;

std::byte* ReadPointer(const std::byte* at)
{
    std::byte* p = nullptr;
    std::memcpy(&p, at, sizeof p);
    return p;
}

void WritePointer(std::byte* at, std::byte* p)
{
    std::memcpy(at, &p, sizeof p);
}

}  // namespace

// ---- blocks ----

std::byte* ZebNewBlock(const void* bytes, std::uint32_t count)
{
    auto* block = static_cast<std::byte*>(::operator new(sizeof count + count));
    std::memcpy(block, &count, sizeof count);
    if (count > 0)
        std::memcpy(block + sizeof count, bytes, count);
    return block;
}

void ZebFreeBlock(std::byte* block)
{
    ::operator delete(block);
}

std::uint32_t ZebBlockSize(const std::byte* block)
{
    std::uint32_t count = 0;
    std::memcpy(&count, block, sizeof count);
    return count;
}

const std::byte* ZebBlockBytes(const std::byte* block)
{
    return block + sizeof(std::uint32_t);
}

bool ZebFieldTypeSupported(TFieldType type)
{
    switch (type) {
    case ftUnknown:
    case ftCursor:
    case ftReference:
    case ftDataSet:
    case ftVariant:
    case ftInterface:
    case ftIDispatch:
        return false;
    default:
        return true;
    }
}

bool ZebStoredOutOfRecord(TFieldType type, int size, TzebPerformance performance)
{
    if (IsBlobType(type))
        return true;
    switch (type) {
    case ftString:
    case ftBytes:
    case ftVarBytes:
    case ftFixedChar:
    case ftWideString:
        return performance != mtpfFast && size >= 13;
    default:
        return false;
    }
}

// ---- field list ----

int TzebFieldList::Add(TField* field, int dataOffset, std::uint8_t options)
{
    if (count_ >= ZEB_MAX_FIELDS)
        throw EMemTableError("Zu viele Felddefinitionen");
    entries_[static_cast<std::size_t>(count_)] = Entry{dataOffset, field ? field->FieldNo() : -1, field, options};
    return count_++;
}

int TzebFieldList::IndexOf(const TField* field) const
{
    for (int i = 0; i < count_; ++i)
        if (entries_[static_cast<std::size_t>(i)].Field == field)
            return i;
    return -1;
}

void TzebFieldList::CopyTo(TzebFieldList& other) const
{
    other.entries_ = entries_;
    other.count_ = count_;
}

void TzebFieldList::OrOptionsInto(TzebFieldList& other) const
{
    int n = std::min(count_, other.count_);
    for (int i = 0; i < n; ++i)
        other.entries_[static_cast<std::size_t>(i)].Options |= entries_[static_cast<std::size_t>(i)].Options;
}

// ---- store ----

TzebCommon::TzebCommon(TzebCustomMemTable* owner) : owner_(owner), random_(std::random_device{}())
{
    offsets_.fill(-1);
    oorSlots_.fill(-1);
    generation_ = DrawGeneration();
}

TzebCommon::~TzebCommon()
{
    for (TzebRecord*& record : records_)
        if (record)
            FreeRecord(record, true, true);
}

void TzebCommon::Lock()
{
    if (standalone_)
        return;
    mutex_.lock();
    ++lockDepth_;
}

void TzebCommon::Unlock()
{
    if (standalone_)
        return;
    --lockDepth_;
    mutex_.unlock();
}

std::int32_t TzebCommon::DrawGeneration()
{
    std::uniform_int_distribution<std::int32_t> draw(0, 1073741824);
    std::int32_t value = draw(random_);
    return value;
}

TzebRecord* TzebCommon::AllocateRecord()
{
    Guard guard(*this);
    std::size_t size = kHeaderSize + static_cast<std::size_t>(dataAreaSize_);
    auto* raw = static_cast<std::byte*>(::operator new(size));
    auto* record = new (raw) TzebRecord{};
    record->Data = raw + kHeaderSize;
    std::memset(record->Data, 0, static_cast<std::size_t>(dataAreaSize_));
    return record;
}

void TzebCommon::ClearRecord(TzebRecord* record)
{
    std::byte* data = record->Data;
    *record = TzebRecord{};
    record->Data = data;
    std::memset(data, 0, static_cast<std::size_t>(dataAreaSize_));
}

void TzebCommon::FreeBlocks(TzebRecord* record)
{
    for (int slot = 0; slot < oorCount_; ++slot) {
        if (std::byte* block = OutOfRecordBlock(record, slot)) {
            ZebFreeBlock(block);
            SetOutOfRecordBlock(record, slot, nullptr);
        }
    }
}

void TzebCommon::FreeRecord(TzebRecord*& record, bool freeBlocks, bool freeVersions)
{
    if (!record)
        return;
    Guard guard(*this);
    // The version chain is walked, not recursed: a record edited many times has a long one.
    TzebRecord* next = freeVersions && (record->Flags & mtrfOwner) ? record->PreviousVersion : nullptr;
    if (freeBlocks)
        FreeBlocks(record);
    record->~TzebRecord();
    ::operator delete(static_cast<void*>(record));
    record = nullptr;
    while (next) {
        TzebRecord* version = next;
        next = (version->Flags & mtrfOwner) ? version->PreviousVersion : nullptr;
        FreeBlocks(version);
        version->~TzebRecord();
        ::operator delete(static_cast<void*>(version));
    }
}

void TzebCommon::RestorePreviousVersion(TzebRecord* record)
{
    Guard guard(*this);
    TzebRecord* version = record->PreviousVersion;
    if (!version)
        return;
    // The record keeps its address, so that every index still names it.
    MoveBlocks(version, record);
    record->Flags |= mtrfOwner;
    FreeRecord(version, true, false);
}

void TzebCommon::DropPreviousVersion(TzebRecord* record)
{
    Guard guard(*this);
    TzebRecord* version = record->PreviousVersion;
    if (!version)
        return;
    record->PreviousVersion = version->PreviousVersion;
    FreeRecord(version, true, false);
}

void TzebCommon::CopyRecord(const TzebRecord* source, TzebRecord* destination) const
{
    destination->Position = source->Position;
    destination->SlotNumber = source->SlotNumber;
    destination->UniqueNumber = source->UniqueNumber;
    destination->ChangeStatus = source->ChangeStatus;
    destination->TransactionLevel = source->TransactionLevel;
    destination->PreviousVersion = source->PreviousVersion;
    std::memcpy(destination->Data, source->Data, static_cast<std::size_t>(oorStart_));
    for (int slot = 0; slot < oorCount_; ++slot)
        destination->Data[oorStart_ + slot * kZebOutOfRecordSlotSize] = source->Data[oorStart_ + slot * kZebOutOfRecordSlotSize];
}

TzebRecord* TzebCommon::DuplicateRecord(const TzebRecord* source, bool withBlocks)
{
    Guard guard(*this);
    TzebRecord* copy = AllocateRecord();
    CopyRecord(source, copy);
    if (withBlocks) {
        for (int slot = 0; slot < oorCount_; ++slot) {
            const std::byte* block = OutOfRecordBlock(source, slot);
            if (!block)
                continue;
            SetOutOfRecordBlock(copy, slot, ZebNewBlock(ZebBlockBytes(block), ZebBlockSize(block)));
            copy->Data[oorStart_ + slot * kZebOutOfRecordSlotSize] = std::byte{2};
        }
    }
    return copy;
}

void TzebCommon::MoveBlocks(TzebRecord* source, TzebRecord* destination)
{
    Guard guard(*this);
    for (int slot = 0; slot < oorCount_; ++slot) {
        std::byte* block = OutOfRecordBlock(source, slot);
        bool sourceNull = source->Data[oorStart_ + slot * kZebOutOfRecordSlotSize] == std::byte{0};
        if (block || sourceNull) {
            if (std::byte* old = OutOfRecordBlock(destination, slot))
                ZebFreeBlock(old);
            SetOutOfRecordBlock(destination, slot, block);
            SetOutOfRecordBlock(source, slot, nullptr);
        }
        // A slot that holds a value but no block was not written: the destination keeps its block.
    }
    CopyRecord(source, destination);
}

void TzebCommon::StoreRecord(TzebRecord* record)
{
    Guard guard(*this);
    // Checked before anything changes, so that a refused record leaves the store as it was.
    if (nextUnique_ >= kZebMaxUniqueNumber - 1)
        throw EMemTableFatalError("Der Zähler der Lesezeichen ist erschöpft. Bitte die Tabelle schließen und wieder öffnen.");
    if (!freeSlots_.empty()) {
        std::int32_t slot = freeSlots_.back();
        freeSlots_.pop_back();
        records_[static_cast<std::size_t>(slot)] = record;
        record->SlotNumber = slot;
    } else {
        records_.push_back(record);
        record->SlotNumber = nextSlot_++;
    }
    record->UniqueNumber = nextUnique_++;
    record->Flags |= mtrfOwner;
    if (enableVersioning_)
        record->ChangeStatus = mtcsInserted;
}

void TzebCommon::UnstoreRecord(TzebRecord* record, bool reusedSlot)
{
    Guard guard(*this);
    const std::int32_t slot = record->SlotNumber;
    if (slot < 0 || slot >= SlotCount() || records_[static_cast<std::size_t>(slot)] != record)
        return;
    if (reusedSlot) {
        freeSlots_.push_back(slot);
        records_[static_cast<std::size_t>(slot)] = nullptr;
    } else {
        records_.pop_back();
        --nextSlot_;
    }
    --nextUnique_;
    record->SlotNumber = -1;
}

void TzebCommon::ReleaseSlot(TzebRecord* record)
{
    Guard guard(*this);
    std::int32_t slot = record->SlotNumber;
    if (slot < 0 || slot >= SlotCount() || records_[static_cast<std::size_t>(slot)] != record)
        return;
    freeSlots_.push_back(slot);
    records_[static_cast<std::size_t>(slot)] = nullptr;
}

std::byte* TzebCommon::FieldPointer(TzebRecord* record, int fieldNo) const
{
    std::size_t index = static_cast<std::size_t>(fieldNo - 1);
    if (flags_.at(index) & mtffOutOfRecord)
        return record->Data + oorStart_ + oorSlots_[index] * kZebOutOfRecordSlotSize;
    return record->Data + offsets_[index];
}

const std::byte* TzebCommon::FieldPointer(const TzebRecord* record, int fieldNo) const
{
    return FieldPointer(const_cast<TzebRecord*>(record), fieldNo);
}

TzebBookmarkEntry TzebCommon::BookmarkEntry(const TzebRecord* record, int attachIndex) const
{
    const std::byte* at = record->Data + bookmarkStart_ + attachIndex * kZebBookmarkEntrySize;
    TzebBookmarkEntry entry;
    std::memcpy(&entry.Slot, at, 4);
    std::memcpy(&entry.UniqueNumber, at + 4, 4);
    entry.Flag = static_cast<std::uint8_t>(at[8]);
    return entry;
}

void TzebCommon::SetBookmarkEntry(TzebRecord* record, int attachIndex, const TzebBookmarkEntry& entry) const
{
    std::byte* at = record->Data + bookmarkStart_ + attachIndex * kZebBookmarkEntrySize;
    std::memcpy(at, &entry.Slot, 4);
    std::memcpy(at + 4, &entry.UniqueNumber, 4);
    at[8] = static_cast<std::byte>(entry.Flag);
}

std::byte* TzebCommon::OutOfRecordBlock(const TzebRecord* record, int slot) const
{
    return ReadPointer(record->Data + oorStart_ + slot * kZebOutOfRecordSlotSize + 1);
}

void TzebCommon::SetOutOfRecordBlock(TzebRecord* record, int slot, std::byte* block) const
{
    WritePointer(record->Data + oorStart_ + slot * kZebOutOfRecordSlotSize + 1, block);
}

namespace {

struct LayoutWalk {
    TzebCommon::SetupFieldHook setup;
    TzebPerformance performance;
    std::array<int, ZEB_MAX_FIELDS>& offsets;
    std::array<std::uint8_t, ZEB_MAX_FIELDS>& flags;
    int number = 0;
    int dataSize = 0;

    void Walk(const TFieldDef& def)
    {
        if (number >= ZEB_MAX_FIELDS)
            throw EMemTableError("Zu viele Felddefinitionen");
        if (!ZebFieldTypeSupported(def.DataType()))
            throw EMemTableError("Die Felddefinition '" + def.Name() + "' (" + def.DisplayName() +
                                 ") hat den nicht unterstützten Datentyp " +
                                 std::to_string(static_cast<int>(def.DataType())) + ".");
        std::size_t index = static_cast<std::size_t>(number++);
        std::uint8_t fieldFlags = 0;
        if (ZebStoredOutOfRecord(def.DataType(), def.Size(), performance)) {
            fieldFlags |= mtffOutOfRecord;
            if (setup && !IsBlobType(def.DataType()))
                setup(def, fieldFlags);
        }
        flags[index] = fieldFlags;
        if (fieldFlags & mtffOutOfRecord) {
            offsets[index] = -1;
        } else {
            offsets[index] = dataSize;
            dataSize += FieldDataSize(def.DataType(), def.Size()) + 1;
        }
        int repeat = def.DataType() == ftArray ? def.Size() : 1;
        for (int r = 0; r < repeat; ++r)
            for (const auto& child : def.Children())
                Walk(*child);
    }
};

}  // namespace

void TzebCommon::Layout(const TFieldDefs& defs, int calcFieldsSize, const SetupFieldHook& setupField)
{
    Guard guard(*this);
    if (defs.Count() == 0)
        throw EMemTableError("Es muss mindestens ein Feld angegeben sein");
    std::array<int, ZEB_MAX_FIELDS> offsets{};
    std::array<std::uint8_t, ZEB_MAX_FIELDS> flags{};
    offsets.fill(-1);
    LayoutWalk walk{setupField, performance_, offsets, flags};
    for (int i = 0; i < defs.Count(); ++i)
        walk.Walk(defs[i]);

    // Only a layout that succeeded replaces the store's.
    offsets_ = offsets;
    flags_ = flags;
    oorSlots_.fill(-1);
    fieldCount_ = walk.number;
    dataSize_ = walk.dataSize;
    calcFieldsSize_ = calcFieldsSize;
    calcFieldsStart_ = dataSize_;
    bookmarkStart_ = calcFieldsStart_ + calcFieldsSize_;
    oorStart_ = bookmarkStart_ + attachMaxCount_ * kZebBookmarkEntrySize;
    oorCount_ = 0;
    for (int i = 0; i < fieldCount_; ++i) {
        std::size_t index = static_cast<std::size_t>(i);
        if (flags_[index] & mtffOutOfRecord) {
            if (performance_ == mtpfSmall)
                flags_[index] |= mtffCompressed;
            oorSlots_[index] = oorCount_++;
        }
    }
    dataAreaSize_ = oorStart_ + oorCount_ * kZebOutOfRecordSlotSize;
    recordSize_ = static_cast<int>(kHeaderSize) + dataAreaSize_;
    dataModified_ = false;
    ClearModifiedBits();
}

void TzebCommon::SetFieldModified(int fieldNo)
{
    flags_.at(static_cast<std::size_t>(fieldNo - 1)) |= mtffModified;
}

void TzebCommon::ClearModifiedBits()
{
    for (auto& f : flags_)
        f = static_cast<std::uint8_t>(f & ~mtffModified);
}

void TzebCommon::Empty()
{
    Guard guard(*this);
    for (TzebRecord*& record : records_)
        if (record)
            FreeRecord(record, true, true);
    freeSlots_.clear();
    nextUnique_ = 0;
    nextSlot_ = 0;
    records_.clear();
    deletedCount_ = 0;
    std::int32_t previous = generation_;
    do
        generation_ = DrawGeneration();
    while (generation_ == previous);
}

TzebRecord* TzebCommon::RecordAt(int slot) const
{
    if (slot < 0 || slot >= SlotCount())
        return nullptr;
    return records_[static_cast<std::size_t>(slot)];
}

TzebRecord* TzebCommon::FindRecord(std::int32_t slot, std::int32_t uniqueNumber) const
{
    TzebRecord* record = RecordAt(slot);
    return record && record->UniqueNumber == uniqueNumber ? record : nullptr;
}

std::uint32_t TzebCommon::LocaleID() const
{
    return (sortId_ << 16) | (subLanguageId_ << 10) | languageId_;
}

void TzebCommon::SetLocaleID(std::uint32_t id)
{
    sortId_ = (id >> 16) & 0xF;
    std::uint32_t low = id & 0xFFFF;
    languageId_ = low & 0xFF;
    subLanguageId_ = low >> 10;
}

void TzebCommon::SetAutoIncMinValue(std::int64_t value)
{
    autoIncMin_ = value;
    if (value > autoIncHighest_)
        autoIncHighest_ = value - 1;
}

void TzebCommon::SetAttachMaxCount(int count)
{
    if (count < 1)
        throw EInvalidArgument();
    CheckAllClosed();
    if (count < AttachedCount())
        throw EInvalidArgument();
    // No table is open, so no record of the store exists and the attach indexes may move:
    // the tables close up at the front.
    std::vector<TzebCustomMemTable*> tables;
    for (TzebCustomMemTable* table : attached_)
        if (table)
            tables.push_back(table);
    tables.resize(static_cast<std::size_t>(count), nullptr);
    attached_ = std::move(tables);
    for (int i = 0; i < count; ++i)
        if (attached_[static_cast<std::size_t>(i)])
            attached_[static_cast<std::size_t>(i)]->SetAttachIndex(i);
    attachMaxCount_ = count;
}

void TzebCommon::SetStandalone(bool standalone)
{
    if (standalone == standalone_)
        return;
    if (standalone && AttachedCount() > 1)
        throw EMemTableError("An diese Tabelle sind andere Tabellen angehängt");
    CheckAllClosed();
    standalone_ = standalone;
}

int TzebCommon::AttachedCount() const
{
    return static_cast<int>(std::count_if(attached_.begin(), attached_.end(), [](auto* table) { return table; }));
}

bool TzebCommon::AnyTableOpen() const
{
    return std::any_of(attached_.begin(), attached_.end(), [](auto* table) { return table && table->Active(); });
}

void TzebCommon::CheckAllClosed() const
{
    if (AnyTableOpen())
        throw EMemTableError("Die Tabelle muss für diesen Vorgang geschlossen sein");
}

int TzebCommon::FreeAttachEntry() const
{
    auto entry = std::find(attached_.begin(), attached_.end(), nullptr);
    if (entry != attached_.end())
        return static_cast<int>(entry - attached_.begin());
    return AnyTableOpen() ? -1 : static_cast<int>(attached_.size());
}

int TzebCommon::Attach(TzebCustomMemTable* table)
{
    const int index = FreeAttachEntry();
    if (index < 0)
        throw EMemTableError("Die Tabelle muss für diesen Vorgang geschlossen sein");
    if (index == static_cast<int>(attached_.size())) {
        attached_.push_back(nullptr);
        attachMaxCount_ = static_cast<int>(attached_.size());
    }
    attached_[static_cast<std::size_t>(index)] = table;
    return index;
}

void TzebCommon::Detach(TzebCustomMemTable* table)
{
    // The entry stays, emptied: the tables after it keep their indexes and bookmark entries.
    std::replace(attached_.begin(), attached_.end(), table, static_cast<TzebCustomMemTable*>(nullptr));
}

}  // namespace velmoran
