// The record store of the in-memory tables: record layout (field entries with null bytes,
// calculated fields, per-table bookmark entries, slots of values kept outside the record),
// the list of stored records with reused slot numbers and never-repeated unique numbers, the
// generation number that changes whenever the store is emptied, locale and lock.
#pragma once

#include "memtable/Fields.h"
#include "platform/core/Exceptions.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <random>
#include <vector>

namespace velmoran {

class TzebCustomMemTable;

// Errors of the in-memory tables; their messages are fixed German texts.
class EMemTableError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};
class EMemTableFatalError : public EMemTableError {
public:
    using EMemTableError::EMemTableError;
};
class EMemTableInvalidRecord : public EMemTableFatalError {
public:
    using EMemTableFatalError::EMemTableFatalError;
};
class EMemTableDupKey : public EMemTableError {
public:
    using EMemTableError::EMemTableError;
};
class EMemTableFilterError : public EMemTableError {
public:
    using EMemTableError::EMemTableError;
};
class EMemTableLocaleError : public EMemTableError {
public:
    using EMemTableError::EMemTableError;
};
class EMemTableInvalidLocale : public EMemTableLocaleError {
public:
    using EMemTableLocaleError::EMemTableLocaleError;
};
class EInvalidArgument : public Exception {
public:
    EInvalidArgument() : Exception("Ungültiges Argument") {}
};

constexpr int ZEB_MAX_FIELDS = 256;
// The unique-number counter may not reach this value.
constexpr std::int32_t kZebMaxUniqueNumber = 2147483600;

enum class TzebPerformance { mtpfFast, mtpfBalanced, mtpfSmall };
using enum TzebPerformance;
enum class TzebVersioningMode { mtvm1SinceCheckPoint, mtvmAllSinceCheckPoint };
using enum TzebVersioningMode;

// Field flag bits kept per field number.
constexpr std::uint8_t mtffOutOfRecord = 1;
constexpr std::uint8_t mtffCompressed = 2;
constexpr std::uint8_t mtffModified = 4;

// Change status of a record.
constexpr std::uint8_t mtcsUnmodified = 0;
constexpr std::uint8_t mtcsModified = 1;
constexpr std::uint8_t mtcsInserted = 2;
constexpr std::uint8_t mtcsDeleted = 3;

// Record flag bit 0: this copy owns its out-of-record blocks and its version chain.
constexpr std::uint8_t mtrfOwner = 1;

// Header of a record; the data area follows it in the same allocation.
struct TzebRecord {
    std::int32_t Position = -1;
    std::int32_t SlotNumber = -1;
    std::int32_t UniqueNumber = -1;
    std::uint8_t Flags = 0;
    std::uint8_t ChangeStatus = mtcsUnmodified;
    std::int32_t TransactionLevel = -1;
    TzebRecord* PreviousVersion = nullptr;
    std::byte* Data = nullptr;
};

// A bookmark entry of a record: the (slot, unique number) pair naming the stored record and
// the bookmark flag byte.
struct TzebBookmarkEntry {
    std::int32_t Slot = -1;
    std::int32_t UniqueNumber = -1;
    std::uint8_t Flag = 0;
};
constexpr int kZebBookmarkEntrySize = 9;
// An out-of-record slot: a state byte (0 = null) and a block reference.
constexpr int kZebOutOfRecordSlotSize = 1 + static_cast<int>(sizeof(std::byte*));

// Heap blocks of out-of-record values: a 32-bit byte count followed by the bytes.
std::byte* ZebNewBlock(const void* bytes, std::uint32_t count);
void ZebFreeBlock(std::byte* block);
std::uint32_t ZebBlockSize(const std::byte* block);
const std::byte* ZebBlockBytes(const std::byte* block);

bool ZebFieldTypeSupported(TFieldType type);
// True when a field of the type and size is kept outside the record under `performance`.
bool ZebStoredOutOfRecord(TFieldType type, int size, TzebPerformance performance);

// Compare options of an entry of a field list.
enum TzebCompareOption : std::uint8_t {
    mtcoDescending = 1, mtcoCaseInsensitive = 2, mtcoPartialKey = 4, mtcoIgnoreNullKey = 8,
    mtcoIgnoreLocale = 16, mtcoUnique = 32, mtcoNonMaintained = 64
};

// A fixed-capacity list of fields used for key, index, master and detail field sets.
class TzebFieldList {
public:
    struct Entry {
        int DataOffset = -1;
        int FieldNo = -1;
        TField* Field = nullptr;
        std::uint8_t Options = 0;
    };
    int Count() const { return count_; }
    const Entry& operator[](int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    // Adds the field with its data offset and number; returns the new index.
    int Add(TField* field, int dataOffset, std::uint8_t options);
    void Clear() { count_ = 0; }
    int IndexOf(const TField* field) const;
    void CopyTo(TzebFieldList& other) const;
    // Ors this list's options into the other's entries, entry by entry over the shorter list.
    void OrOptionsInto(TzebFieldList& other) const;

private:
    std::array<Entry, ZEB_MAX_FIELDS> entries_{};
    int count_ = 0;
};

// The shared store of one table and of the tables attached to it.
class TzebCommon {
public:
    // Called during layout for a field that qualifies for out-of-record storage; may change
    // the field's flag byte.
    using SetupFieldHook = std::function<void(const TFieldDef& def, std::uint8_t& flags)>;

    explicit TzebCommon(TzebCustomMemTable* owner);
    ~TzebCommon();
    TzebCommon(const TzebCommon&) = delete;
    TzebCommon& operator=(const TzebCommon&) = delete;

    TzebCustomMemTable* Owner() const { return owner_; }

    // Re-entrant lock around every step; a standalone store does no locking.
    void Lock();
    void Unlock();
    // How deep the lock is held (0: free); a standalone store never counts.
    int LockDepth() const { return lockDepth_; }
    class Guard {
    public:
        explicit Guard(TzebCommon& store) : store_(store) { store_.Lock(); }
        ~Guard() { store_.Unlock(); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        TzebCommon& store_;
    };

    // Records.
    TzebRecord* AllocateRecord();
    void ClearRecord(TzebRecord* record);
    // Frees the record (optionally its blocks, and its versions when it owns them) and clears
    // the reference.
    void FreeRecord(TzebRecord*& record, bool freeBlocks, bool freeVersions);
    // Copies header and the block-copied part; of each out-of-record slot only the state byte.
    void CopyRecord(const TzebRecord* source, TzebRecord* destination) const;
    TzebRecord* DuplicateRecord(const TzebRecord* source, bool withBlocks);
    // Gives a record back the contents of its previous version, which is freed; the record
    // keeps its address. Nothing happens without a previous version.
    void RestorePreviousVersion(TzebRecord* record);
    // Frees a record's previous version and links the record to the version behind it.
    void DropPreviousVersion(TzebRecord* record);
    // Hands the blocks the source holds to the destination, then copies the record. A slot
    // of the source with no block keeps the destination's block unless the source's value is
    // null, which frees it.
    void MoveBlocks(TzebRecord* source, TzebRecord* destination);
    // Frees the blocks a record holds and empties its slots' block references.
    void FreeBlocks(TzebRecord* record);
    // Gives the record a slot and a unique number and lists it. Fails, leaving the store as it
    // was, when the unique-number counter would reach its limit.
    void StoreRecord(TzebRecord* record);
    // Takes back the record stored last, before anything saw it: its slot goes back where it came
    // from (the free list when `reusedSlot`, else the end of the record list) and its unique number
    // is drawn again, so that the store is as it was before.
    void UnstoreRecord(TzebRecord* record, bool reusedSlot);
    void ReleaseSlot(TzebRecord* record);
    // Entry (null byte and value) of field number `fieldNo` (1-based) in a record, or for an
    // out-of-record field its slot (state byte and block reference).
    std::byte* FieldPointer(TzebRecord* record, int fieldNo) const;
    const std::byte* FieldPointer(const TzebRecord* record, int fieldNo) const;
    TzebBookmarkEntry BookmarkEntry(const TzebRecord* record, int attachIndex) const;
    void SetBookmarkEntry(TzebRecord* record, int attachIndex, const TzebBookmarkEntry& entry) const;
    std::byte* OutOfRecordBlock(const TzebRecord* record, int slot) const;
    void SetOutOfRecordBlock(TzebRecord* record, int slot, std::byte* block) const;

    // Layout from the definitions (children after their parent, an array's children Size
    // times); `calcFieldsSize` is the size of the calculated-field area.
    void Layout(const TFieldDefs& defs, int calcFieldsSize, const SetupFieldHook& setupField);
    // Frees every record and resets the numbering; draws a new generation number.
    void Empty();

    // The record list: slot number to record (null for an empty slot).
    int SlotCount() const { return static_cast<int>(records_.size()); }
    TzebRecord* RecordAt(int slot) const;
    // The stored record a bookmark names, when its slot holds its unique number; null otherwise.
    TzebRecord* FindRecord(std::int32_t slot, std::int32_t uniqueNumber) const;
    std::int32_t Generation() const { return generation_; }
    std::int32_t NextUniqueNumber() const { return nextUnique_; }
    // Test seam: start the unique numbering at a given value.
    void SetNextUniqueNumber(std::int32_t value) { nextUnique_ = value; }
    const std::vector<std::int32_t>& FreeSlots() const { return freeSlots_; }

    // Layout results.
    int FieldCount() const { return fieldCount_; }
    int DataOffset(int fieldNo) const { return offsets_.at(static_cast<std::size_t>(fieldNo - 1)); }
    std::uint8_t FieldFlags(int fieldNo) const { return flags_.at(static_cast<std::size_t>(fieldNo - 1)); }
    void SetFieldModified(int fieldNo);
    void ClearModifiedBits();
    int OutOfRecordSlot(int fieldNo) const { return oorSlots_.at(static_cast<std::size_t>(fieldNo - 1)); }
    int DataSize() const { return dataSize_; }
    int RecordSize() const { return recordSize_; }
    int DataAreaSize() const { return dataAreaSize_; }
    int CalcFieldsSize() const { return calcFieldsSize_; }
    int CalcFieldsStart() const { return calcFieldsStart_; }
    int BookmarkStart() const { return bookmarkStart_; }
    int OutOfRecordStart() const { return oorStart_; }
    int OutOfRecordCount() const { return oorCount_; }

    // Properties.
    std::uint32_t LocaleID() const;
    void SetLocaleID(std::uint32_t id);
    std::uint32_t LanguageID() const { return languageId_; }
    void SetLanguageID(std::uint32_t id) { languageId_ = id; }
    std::uint32_t SubLanguageID() const { return subLanguageId_; }
    void SetSubLanguageID(std::uint32_t id) { subLanguageId_ = id; }
    std::uint32_t SortID() const { return sortId_; }
    void SetSortID(std::uint32_t id) { sortId_ = id; }
    std::int64_t AutoIncMinValue() const { return autoIncMin_; }
    void SetAutoIncMinValue(std::int64_t value);
    std::int64_t AutoIncHighest() const { return autoIncHighest_; }
    void SetAutoIncHighest(std::int64_t value) { autoIncHighest_ = value; }
    TzebPerformance Performance() const { return performance_; }
    void SetPerformance(TzebPerformance performance) { performance_ = performance; }
    int AttachMaxCount() const { return attachMaxCount_; }
    void SetAttachMaxCount(int count);
    bool Standalone() const { return standalone_; }
    void SetStandalone(bool standalone);
    bool EnableVersioning() const { return enableVersioning_; }
    void SetEnableVersioning(bool enable) { enableVersioning_ = enable; }
    TzebVersioningMode VersioningMode() const { return versioningMode_; }
    void SetVersioningMode(TzebVersioningMode mode) { versioningMode_ = mode; }
    int TransactionLevel() const { return transactionLevel_; }
    void StartTransaction() { ++transactionLevel_; }
    void EndTransaction() { if (transactionLevel_ > 0) --transactionLevel_; }
    bool DataModified() const { return dataModified_; }
    void SetDataModified(bool modified) { dataModified_ = modified; }
    int DeletedCount() const { return deletedCount_; }
    void IncrementDeletedCount() { ++deletedCount_; }
    void DecrementDeletedCount() { if (deletedCount_ > 0) --deletedCount_; }
    bool BulkUpdate() const { return bulkUpdate_; }
    void SetBulkUpdate(bool on) { bulkUpdate_ = on; }

    // Tables sharing the store, by attach index (AttachMaxCount entries, free ones null); the
    // owner is the first (attach index 0).
    const std::vector<TzebCustomMemTable*>& AttachedTables() const { return attached_; }
    int AttachedCount() const;
    bool AnyTableOpen() const;
    // Raises "Die Tabelle muss für diesen Vorgang geschlossen sein" while a table of the store is open.
    void CheckAllClosed() const;
    // The attach index a joining table would get: the first free entry, else (with every table
    // closed) a new one at the end; -1 when the list is full and a table is open.
    int FreeAttachEntry() const;
    // Gives the table that entry; fails as FreeAttachEntry says.
    int Attach(TzebCustomMemTable* table);
    // Empties the table's entry.
    void Detach(TzebCustomMemTable* table);

private:
    std::int32_t DrawGeneration();

    TzebCustomMemTable* owner_;
    std::recursive_mutex mutex_;
    int lockDepth_ = 0;
    bool standalone_ = false;
    std::vector<TzebRecord*> records_;
    int fieldCount_ = 0;
    std::array<int, ZEB_MAX_FIELDS> offsets_{};
    std::array<std::uint8_t, ZEB_MAX_FIELDS> flags_{};
    std::array<int, ZEB_MAX_FIELDS> oorSlots_{};
    std::uint32_t languageId_ = 0;
    std::uint32_t subLanguageId_ = 1;
    std::uint32_t sortId_ = 0;
    std::int32_t generation_ = 0;
    int dataSize_ = 0;
    int recordSize_ = 0;
    int dataAreaSize_ = 0;
    int calcFieldsSize_ = 0;
    int calcFieldsStart_ = 0;
    int bookmarkStart_ = 0;
    int oorStart_ = 0;
    int oorCount_ = 0;
    bool dataModified_ = false;
    std::int64_t autoIncMin_ = 0;
    std::int64_t autoIncHighest_ = -1;
    int deletedCount_ = 0;
    std::int32_t nextUnique_ = 0;
    std::int32_t nextSlot_ = 0;
    TzebPerformance performance_ = mtpfFast;
    int attachMaxCount_ = 1;
    std::vector<TzebCustomMemTable*> attached_;
    std::vector<std::int32_t> freeSlots_;
    TzebVersioningMode versioningMode_ = mtvm1SinceCheckPoint;
    bool enableVersioning_ = false;
    int transactionLevel_ = 0;
    bool bulkUpdate_ = false;
    std::mt19937 random_;
};

}  // namespace velmoran
