// Whole-record file and stream transfers.
#include "framework/RecordFiles.h"

#include "platform/core/DocumentFile.h"
#include "platform/core/Exceptions.h"

#include <algorithm>
#include <vector>

namespace velmoran {

namespace {

// Reads up to count bytes, returning how many arrived.
std::int64_t ReadUpTo(TStream& stream, std::uint8_t* buffer, std::int64_t count)
{
    std::int64_t total = 0;
    while (total < count) {
        const std::int64_t n = stream.Read(buffer + total, count - total);
        if (n <= 0)
            break;
        total += n;
    }
    return total;
}

}  // namespace

bool ReadRecordFile(const std::string& fileName, std::span<std::uint8_t> target)
{
    try {
        if (!FileExists(fileName))
            return false;
        // A longer file gives its first record.
        const std::string bytes = ReadDocumentFile(fileName, target.size(), LongerFile::Cut);
        if (bytes.size() != target.size())
            return false;
        std::copy(bytes.begin(), bytes.end(), target.begin());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

std::string_view RecordBytes(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

SaveResult WriteRecordFile(const std::string& fileName, std::span<const std::uint8_t> bytes)
{
    return WriteFileAtomically(fileName, RecordBytes(bytes));
}

bool LoadRecordFromFile(TCommonRecord& record, const std::string& fileName)
{
    return ReadRecordFile(fileName, record.Raw());
}

SaveResult SaveRecordToFile(const TCommonRecord& record, const std::string& fileName)
{
    return WriteRecordFile(fileName, record.Raw());
}

void SaveRecordToStream(const TCommonRecord& record, TStream& stream)
{
    stream.SetPosition(0);
    stream.WriteBuffer(record.Data(), TCommonRecord::kSize);
}

bool LoadRecordFromStream(TCommonRecord& record, TStream& stream)
{
    stream.SetPosition(0);
    TCommonRecord::Bytes scratch{};
    if (ReadUpTo(stream, scratch.data(), TCommonRecord::kSize) != static_cast<std::int64_t>(TCommonRecord::kSize))
        return false;
    record.Raw() = scratch;
    return true;
}

}  // namespace velmoran
