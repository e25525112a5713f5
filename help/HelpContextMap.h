// The context map of a help project: the hash of the context strings that Windows help projects
// use, and a component that reads the [MAP] section of a project file (with #define, #include and
// comments) into sorted records of hash and context number, keeps them with the form ("FileData")
// and answers which context number belongs to a name.
#pragma once

#include "platform/Component.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

class TStream;

// The context-string hash over the name's Windows-1252 bytes (the name is UTF-8).
std::int32_t HashHelpName(std::string_view name);

class THelpContextMap : public Component {
public:
    struct Record {
        std::int32_t Hash;
        std::int32_t Context;
    };

    explicit THelpContextMap(QObject* owner = nullptr) : Component(owner) {}

    const std::string& FileName() const { return fileName_; }
    // Stores the name, then (unless loading) rebuilds the map from the project file. A missing
    // file ("File <name> not found.") or a number that does not convert raises and leaves the
    // previous map as it was.
    void SetFileName(const std::string& fileName);

    // The context number of a name; 0 when unknown.
    int Lookup(std::string_view name) const;
    const std::vector<Record>& Records() const { return records_; }

    // The stored form property "FileData": a 32-bit little-endian byte count N, then N bytes of
    // 8-byte records (hash, context). Reading takes only a present N that is a multiple of 8.
    bool HasFileData() const { return !records_.empty(); }
    void WriteFileData(TStream& stream) const;
    void ReadFileData(TStream& stream);

private:
    std::string fileName_;
    std::vector<Record> records_;
};

// Reads a project's [MAP] into sorted records; a missing include is told through the prompt service
// ("Include file "<name>" not found!") and an include already being read is skipped.
std::vector<THelpContextMap::Record> ReadHelpProjectMap(const std::string& fileName);

}  // namespace velmoran
