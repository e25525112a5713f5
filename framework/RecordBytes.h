// Typed access to the members of a fixed-size binary record: little-endian IEEE doubles, bytes,
// 16-bit words, bit fields and length-prefixed Windows-1252 strings, each addressed by its byte
// offset. Records are plain byte arrays; nothing here depends on the host's struct layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace velmoran {

// Raw little-endian reads and writes at a byte address.
double LoadDoubleLE(const std::uint8_t* p);
void StoreDoubleLE(std::uint8_t* p, double value);
std::uint16_t LoadWordLE(const std::uint8_t* p);
void StoreWordLE(std::uint8_t* p, std::uint16_t value);

// Longest text a length-prefixed string of 256 bytes can hold.
constexpr std::size_t kShortStringMax = 255;
constexpr std::size_t kShortStringSize = 256;

// A view of `size` bytes with typed accessors by offset. `Byte` is std::uint8_t for a writable
// view and const std::uint8_t for a read-only one; the setters exist only on writable views.
// Offsets are checked against the view's size in debug builds only; callers use the fixed member
// offsets of the record layouts.
template <class Byte>
class TRecordView {
public:
    static constexpr bool kWritable = !std::is_const_v<Byte>;

    TRecordView(Byte* data, std::size_t size) : data_(data), size_(size) {}
    // A writable view converts to a read-only one.
    operator TRecordView<const std::uint8_t>() const { return {data_, size_}; }

    Byte* Data() const { return data_; }
    std::size_t Size() const { return size_; }

    double Double(std::size_t offset) const { return LoadDoubleLE(data_ + offset); }
    std::uint8_t ByteAt(std::size_t offset) const { return data_[offset]; }
    std::uint16_t Word(std::size_t offset) const { return LoadWordLE(data_ + offset); }
    // `count` bits of the byte at `offset`, starting at bit `shift` (bit 0 least significant).
    unsigned Bits(std::size_t offset, unsigned shift, unsigned count) const
    {
        return (data_[offset] >> shift) & ((1u << count) - 1u);
    }
    // The text of the length-prefixed string at `offset`, converted to UTF-8.
    std::string String(std::size_t offset) const;
    // The raw Windows-1252 characters of that string (length byte excluded).
    std::string_view RawString(std::size_t offset) const
    {
        return {reinterpret_cast<const char*>(data_ + offset + 1), data_[offset]};
    }

    void SetDouble(std::size_t offset, double value) const
        requires kWritable
    {
        StoreDoubleLE(data_ + offset, value);
    }
    void SetByte(std::size_t offset, std::uint8_t value) const
        requires kWritable
    {
        data_[offset] = value;
    }
    void SetWord(std::size_t offset, std::uint16_t value) const
        requires kWritable
    {
        StoreWordLE(data_ + offset, value);
    }
    // Replaces `count` bits from bit `shift` of the byte at `offset`; the other bits stay.
    void SetBits(std::size_t offset, unsigned shift, unsigned count, unsigned value) const
        requires kWritable
    {
        const unsigned mask = ((1u << count) - 1u) << shift;
        data_[offset] = static_cast<std::uint8_t>((data_[offset] & ~mask) | ((value << shift) & mask));
    }
    // Stores a UTF-8 text as Windows-1252 (characters the code page lacks become '?'), cut to 255
    // characters. Only the length byte and the characters are written: the bytes after the new
    // length keep what they held.
    // The two below are defined out of line; their constraint names the template parameter, which
    // every compiler matches with the definition's.
    void SetString(std::size_t offset, std::string_view utf8) const
        requires(!std::is_const_v<Byte>);
    // Stores Windows-1252 characters as they are, cut to 255.
    void SetRawString(std::size_t offset, std::string_view cp1252) const
        requires(!std::is_const_v<Byte>);

private:
    Byte* data_;
    std::size_t size_;
};

using TMutableView = TRecordView<std::uint8_t>;
using TConstView = TRecordView<const std::uint8_t>;

extern template class TRecordView<std::uint8_t>;
// Only the read-only view's own out-of-line member: instantiating the whole class would make some
// compilers instantiate the setters its constraints leave out.
extern template std::string TRecordView<const std::uint8_t>::String(std::size_t offset) const;

}  // namespace velmoran
