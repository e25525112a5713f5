// Reading and writing fixed-size records as files and stream images. A record is always moved
// whole: a read that cannot deliver every byte leaves the target record untouched, files are
// opened for reading only when they are loaded, and a save replaces the file atomically, so a
// failed save leaves the old file as it was.
#pragma once

#include "framework/CommonRecord.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Stream.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmoran {

// Reads the first target.size() bytes of an existing file into target. Returns false, and leaves
// target as it was, when the file is missing, cannot be opened or read, or is shorter; bytes beyond
// the record are ignored.
bool ReadRecordFile(const std::string& fileName, std::span<std::uint8_t> target);
// Replaces the file with exactly these bytes.
SaveResult WriteRecordFile(const std::string& fileName, std::span<const std::uint8_t> bytes);
// A record's bytes as the atomic writer takes them (for records saved together).
std::string_view RecordBytes(std::span<const std::uint8_t> bytes);

// The common record as a calculation file (".vda") or the defaults file ("common.vdt").
bool LoadRecordFromFile(TCommonRecord& record, const std::string& fileName);
SaveResult SaveRecordToFile(const TCommonRecord& record, const std::string& fileName);

// The common record as a stream image: 6784 bytes from stream position 0. Writing leaves bytes
// beyond the record in a longer stream as they were. Reading returns false, and leaves the record
// as it was, when the stream holds fewer bytes.
void SaveRecordToStream(const TCommonRecord& record, TStream& stream);
bool LoadRecordFromStream(TCommonRecord& record, TStream& stream);

}  // namespace velmoran
