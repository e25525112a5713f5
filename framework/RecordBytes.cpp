// Little-endian member access for the binary records.
#include "framework/RecordBytes.h"

#include "platform/core/Cp1252.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace velmoran {

double LoadDoubleLE(const std::uint8_t* p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | p[i];
    return std::bit_cast<double>(bits);
}

void StoreDoubleLE(std::uint8_t* p, double value)
{
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) {
        p[i] = static_cast<std::uint8_t>(bits & 0xFF);
        bits >>= 8;
    }
}

std::uint16_t LoadWordLE(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void StoreWordLE(std::uint8_t* p, std::uint16_t value)
{
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

template <class Byte>
std::string TRecordView<Byte>::String(std::size_t offset) const
{
    return Cp1252ToUtf8(RawString(offset));
}

template <class Byte>
void TRecordView<Byte>::SetString(std::size_t offset, std::string_view utf8) const
    requires(!std::is_const_v<Byte>)
{
    SetRawString(offset, Utf8ToCp1252(utf8));
}

template <class Byte>
void TRecordView<Byte>::SetRawString(std::size_t offset, std::string_view cp1252) const
    requires(!std::is_const_v<Byte>)
{
    const std::size_t n = std::min(cp1252.size(), kShortStringMax);
    data_[offset] = static_cast<std::uint8_t>(n);
    std::memcpy(data_ + offset + 1, cp1252.data(), n);
}

template class TRecordView<std::uint8_t>;
template std::string TRecordView<const std::uint8_t>::String(std::size_t offset) const;

}  // namespace velmoran
