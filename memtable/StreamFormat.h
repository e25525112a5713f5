// The format component through which an in-memory table saves its records to a stream and loads
// them back. This base class brackets a save or load (locking the store, switching the table's
// filter, range, master link, indexes and persistence off as its options say, compressing or
// decompressing the bytes through its events) and decides which fields take part; the byte
// layout itself is left to a concrete format, which fills the definition and data steps.
#pragma once

#include "memtable/Component.h"
#include "platform/core/Stream.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class TzebCustomMemTable;
struct TBookmark;

// The fifteen option sets of a format, each holding two flags.
enum class TzebFormatOption : std::uint8_t {
    sfoData,               // data fields: save / load them
    sfoCalculated,         // calculated fields: save / load them
    sfoLookup,             // lookup fields: save / load them
    sfoNonVisible,         // fields that are not visible: save / load them
    sfoBlobs,              // blob fields: save / load them
    sfoDefinitions,        // field definitions (for concrete formats)
    sfoIndexDefinitions,   // index definitions (for concrete formats)
    sfoFiltered,           // flag 1: switch the table's filter off while saving
    sfoIgnoreRange,        // flag 1: ignore the table's range while saving
    sfoIgnoreMasterDetail, // flag 1: ignore the master link while saving
    sfoDeltas,             // (for concrete formats)
    sfoDontFilterDeltas,   // (for concrete formats)
    sfoAppend,             // flag 1: save at the end of the stream; flag 2: do not truncate it
    sfoFieldKind,          // (for concrete formats)
    sfoFromStart,          // flag 1: load from position 0 of the stream
};
using enum TzebFormatOption;
constexpr int kZebFormatOptionCount = 15;

struct TzebFormatFlags {
    bool Flag1 = false;
    bool Flag2 = false;
};

class TzebCustomStreamFormat : public TComponent {
public:
    using CompressEvent = std::function<void(TzebCustomMemTable&, TStream& source, TStream& destination)>;

    TzebCustomStreamFormat();
    ~TzebCustomStreamFormat() override;

    TzebFormatFlags& Option(TzebFormatOption option) { return options_[static_cast<std::size_t>(option)]; }
    const TzebFormatFlags& Option(TzebFormatOption option) const { return options_[static_cast<std::size_t>(option)]; }
    // Turns the saved bytes into what the stream receives, and the stream's bytes back.
    CompressEvent OnCompress;
    CompressEvent OnDecompress;

    // The operations, in the order of their slots.
    virtual std::string Version() const { return "1.00"; }
    virtual void DetermineSaveFieldFlags(TzebCustomMemTable& table);
    virtual void BeforeSave(TzebCustomMemTable& table);
    virtual void SaveDefinitions(TzebCustomMemTable&) {}
    virtual void SaveData(TzebCustomMemTable&) {}
    // The definitions, then the data.
    virtual void Save(TzebCustomMemTable& table);
    virtual void AfterSave(TzebCustomMemTable& table);
    // The labels of the fields a save writes.
    virtual void DisplayLabels(TzebCustomMemTable& table, std::vector<std::string>& labels);
    virtual void DetermineLoadFieldFlags(TzebCustomMemTable& table);
    // How many fields a load fills; this class counts the fields its map loads.
    virtual int LoadFieldCount(TzebCustomMemTable& table);
    virtual void BeforeLoad(TzebCustomMemTable& table);
    virtual void LoadDefinitions(TzebCustomMemTable&) {}
    virtual void LoadData(TzebCustomMemTable&) {}
    // The definitions, then (when the field count is above 0, else "Couldnt determine field
    // count for load.") the data.
    virtual void Load(TzebCustomMemTable& table);
    virtual void AfterLoad(TzebCustomMemTable& table);

    // Runs a whole save or load; the after step runs however the others end. Used by the table.
    void RunSave(TzebCustomMemTable& table, TStream& stream);
    void RunLoad(TzebCustomMemTable& table, TStream& stream);

protected:
    // The stream the bytes are written to or read from (a scratch stream while compressing).
    TStream& WorkStream() const { return *work_; }
    // Per field of the table: its own index when it takes part, else -1.
    const std::vector<int>& FieldMap() const { return fieldMap_; }
    // True in the after step of a save or load that failed.
    bool Failed() const { return failed_; }

private:
    void BuildFieldMap(TzebCustomMemTable& table, bool loading);
    // Unlocks the store and enables the controls when the before step did so.
    void Release(TzebCustomMemTable& table);

    std::array<TzebFormatFlags, kZebFormatOptionCount> options_{};
    TStream* stream_ = nullptr;
    TStream* work_ = nullptr;
    std::unique_ptr<TMemoryStream> scratch_;
    std::vector<int> fieldMap_;
    bool failed_ = false;
    // What the before steps switched, so that the after steps undo exactly that.
    bool controlsDisabled_ = false;
    bool locked_ = false;
    bool filterSwitched_ = false;
    bool rangeSwitched_ = false;
    bool masterSwitched_ = false;
    bool loadSwitched_ = false;
    bool persistent_ = false;
    bool enableIndexes_ = true;
    std::unique_ptr<TBookmark> bookmark_;
};

}  // namespace velmoran
