// A directory of the named members of a binary record: name, offset, type and, for members that
// are a part of a byte, their bits. It drives the reading of "Name;Wert" text into records and the
// mapping of records into value tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace velmoran {

enum class MemberType : std::uint8_t {
    Double,
    DateTime,     // a Double counting days since 30 December 1899
    Byte,         // a whole byte
    Word,         // a 16-bit word
    Bits,         // BitCount bits of the byte at Offset, from bit BitShift
    ShortString,  // 256 bytes: length byte and up to 255 Windows-1252 characters
};

enum class MemberArea : std::uint8_t {
    Header,      // offset from the record start
    LoadCase,    // offset from the start of a load-case block
    Tail,        // clarifier and plant data; offset from the record start
    Parameters,  // parameter set; offset from the record start
    Record,      // a record without areas; offset from its start
};

struct MemberInfo {
    std::string_view Name;
    std::size_t Offset;
    MemberType Type;
    MemberArea Area;
    std::uint8_t BitShift = 0;
    std::uint8_t BitCount = 0;
};

// Every named member of the common record, header first, then one load-case block, the tail and
// the parameter set, each in offset order.
std::span<const MemberInfo> CommonRecordMembers();

// The member of that exact name, or nullptr.
const MemberInfo* FindMember(std::span<const MemberInfo> members, std::string_view name);

}  // namespace velmoran
