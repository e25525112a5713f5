// Typed values of a stored form in our own binary format: how a component keeps its properties in
// a stream and gets them back. Every value starts with a type byte: list begin and list end,
// integers in the smallest of 8, 16 or 32 bits that holds them, strings, binary blocks, Booleans
// and property names. A component's stored form is a list of named properties; a component writes
// its extra properties after its own, and the reader hands each named property back to the
// component, which reads its value or leaves it to be skipped. Reading past the end of a list or
// of the stream raises EReadError, so a damaged form fails to load and never loops.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace velmoran {

class TStream;

enum class TValueType : std::uint8_t {
    vaNull = 0,  // end of a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 5,  // 32-bit length, then UTF-8 bytes
    vaBinary = 6,  // 32-bit length, then the bytes
    vaFalse = 7,
    vaTrue = 8,
    vaIdent = 9,  // a property name: 8-bit length, then its characters
};

// The text of a value type, as tools print it.
const char* ValueTypeName(TValueType type);

class TFormWriter {
public:
    explicit TFormWriter(TStream& stream) : stream_(stream) {}

    void WriteListBegin();
    void WriteListEnd();
    void WriteInteger(std::int32_t value);
    void WriteString(std::string_view text);
    void WriteBinary(std::string_view bytes);
    void WriteBoolean(bool value);
    // A property name (at most 255 characters; longer names are cut).
    void WritePropName(std::string_view name);

private:
    void WriteType(TValueType type);
    TStream& stream_;
};

class TFormReader {
public:
    explicit TFormReader(TStream& stream) : stream_(stream) {}

    // The type of the next value without consuming it; EReadError at the end of the stream.
    TValueType NextValue();
    // True at the end of a list (the list end is not consumed).
    bool EndOfList() { return NextValue() == TValueType::vaNull; }
    void ReadListBegin();
    void ReadListEnd();
    std::int32_t ReadInteger();
    std::string ReadString();
    std::string ReadBinary();
    bool ReadBoolean();
    std::string ReadPropName();
    // Skips one value of any type, lists with all they hold.
    void SkipValue();

    // Reads a list of named properties, handing each to the handler; a property the handler does
    // not take (returns false) is skipped. The handler must read exactly one value when it takes one.
    void ReadProperties(const std::function<bool(const std::string& name, TFormReader& reader)>& handler);

private:
    TValueType ReadType();
    std::uint32_t ReadLength();
    std::string ReadBytes(std::uint32_t count);
    TStream& stream_;
};

}  // namespace velmoran
