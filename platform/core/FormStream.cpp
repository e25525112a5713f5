// The typed values of a stored form; see FormStream.h.
#include "platform/core/FormStream.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <algorithm>
#include <limits>

namespace velmoran {

namespace {
// Lists nest only a few levels in a real form; deeper nesting is a damaged stream.
constexpr int kMaxSkipDepth = 64;
}  // namespace

const char* ValueTypeName(TValueType type)
{
    switch (type) {
    case TValueType::vaNull: return "Listenende";
    case TValueType::vaList: return "Liste";
    case TValueType::vaInt8: return "Int8";
    case TValueType::vaInt16: return "Int16";
    case TValueType::vaInt32: return "Int32";
    case TValueType::vaString: return "Text";
    case TValueType::vaBinary: return "Binär";
    case TValueType::vaFalse: return "Falsch";
    case TValueType::vaTrue: return "Wahr";
    case TValueType::vaIdent: return "Name";
    }
    return "?";
}

// --- writing ---

void TFormWriter::WriteType(TValueType type)
{
    const auto byte = static_cast<std::uint8_t>(type);
    stream_.WriteBuffer(&byte, 1);
}

void TFormWriter::WriteListBegin() { WriteType(TValueType::vaList); }
void TFormWriter::WriteListEnd() { WriteType(TValueType::vaNull); }

void TFormWriter::WriteInteger(std::int32_t value)
{
    if (value >= std::numeric_limits<std::int8_t>::min() && value <= std::numeric_limits<std::int8_t>::max()) {
        WriteType(TValueType::vaInt8);
        const auto v = static_cast<std::int8_t>(value);
        stream_.WriteBuffer(&v, 1);
    } else if (value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max()) {
        WriteType(TValueType::vaInt16);
        const auto v = static_cast<std::uint16_t>(value);
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
        stream_.WriteBuffer(bytes, 2);
    } else {
        WriteType(TValueType::vaInt32);
        const auto v = static_cast<std::uint32_t>(value);
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                       static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        stream_.WriteBuffer(bytes, 4);
    }
}

namespace {
void WriteLength(TStream& stream, std::size_t size)
{
    const auto v = static_cast<std::uint32_t>(std::min<std::size_t>(size, std::numeric_limits<std::int32_t>::max()));
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    stream.WriteBuffer(bytes, 4);
}
}  // namespace

void TFormWriter::WriteString(std::string_view text)
{
    WriteType(TValueType::vaString);
    WriteLength(stream_, text.size());
    stream_.WriteString(text);
}

void TFormWriter::WriteBinary(std::string_view bytes)
{
    WriteType(TValueType::vaBinary);
    WriteLength(stream_, bytes.size());
    stream_.WriteString(bytes);
}

void TFormWriter::WriteBoolean(bool value) { WriteType(value ? TValueType::vaTrue : TValueType::vaFalse); }

void TFormWriter::WritePropName(std::string_view name)
{
    name = name.substr(0, 255);
    WriteType(TValueType::vaIdent);
    const auto length = static_cast<std::uint8_t>(name.size());
    stream_.WriteBuffer(&length, 1);
    stream_.WriteString(name);
}

// --- reading ---

TValueType TFormReader::NextValue()
{
    const TValueType type = ReadType();
    stream_.Seek(-1, SeekOrigin::Current);
    return type;
}

TValueType TFormReader::ReadType()
{
    std::uint8_t byte = 0;
    stream_.ReadBuffer(&byte, 1);
    if (byte > static_cast<std::uint8_t>(TValueType::vaIdent))
        throw EReadError();
    return static_cast<TValueType>(byte);
}

std::uint32_t TFormReader::ReadLength()
{
    std::uint8_t bytes[4];
    stream_.ReadBuffer(bytes, 4);
    const std::uint32_t length = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    if (length > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
        throw EReadError();
    return length;
}

std::string TFormReader::ReadBytes(std::uint32_t count)
{
    // A length beyond the stream's end is a damaged stream, not a reason to allocate.
    if (static_cast<std::int64_t>(count) > stream_.Size() - stream_.Position())
        throw EReadError();
    std::string bytes(count, '\0');
    stream_.ReadBuffer(bytes.data(), count);
    return bytes;
}

void TFormReader::ReadListBegin()
{
    if (ReadType() != TValueType::vaList)
        throw EReadError();
}

void TFormReader::ReadListEnd()
{
    if (ReadType() != TValueType::vaNull)
        throw EReadError();
}

std::int32_t TFormReader::ReadInteger()
{
    switch (ReadType()) {
    case TValueType::vaInt8: {
        std::int8_t v = 0;
        stream_.ReadBuffer(&v, 1);
        return v;
    }
    case TValueType::vaInt16: {
        std::uint8_t b[2];
        stream_.ReadBuffer(b, 2);
        return static_cast<std::int16_t>(b[0] | (b[1] << 8));
    }
    case TValueType::vaInt32: {
        std::uint8_t b[4];
        stream_.ReadBuffer(b, 4);
        return static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
    }
    default:
        throw EReadError();
    }
}

std::string TFormReader::ReadString()
{
    if (ReadType() != TValueType::vaString)
        throw EReadError();
    return ReadBytes(ReadLength());
}

std::string TFormReader::ReadBinary()
{
    if (ReadType() != TValueType::vaBinary)
        throw EReadError();
    return ReadBytes(ReadLength());
}

bool TFormReader::ReadBoolean()
{
    switch (ReadType()) {
    case TValueType::vaFalse: return false;
    case TValueType::vaTrue: return true;
    default: throw EReadError();
    }
}

std::string TFormReader::ReadPropName()
{
    if (ReadType() != TValueType::vaIdent)
        throw EReadError();
    std::uint8_t length = 0;
    stream_.ReadBuffer(&length, 1);
    return ReadBytes(length);
}

void TFormReader::SkipValue()
{
    // Iterative, with the open lists counted, so that a deep or endless nesting cannot overflow.
    int depth = 0;
    do {
        switch (ReadType()) {
        case TValueType::vaNull:
            if (depth == 0)
                throw EReadError();  // a list end where a value was expected
            --depth;
            break;
        case TValueType::vaList:
            if (++depth > kMaxSkipDepth)
                throw EReadError();
            break;
        case TValueType::vaInt8: stream_.Seek(1, SeekOrigin::Current); break;
        case TValueType::vaInt16: stream_.Seek(2, SeekOrigin::Current); break;
        case TValueType::vaInt32: stream_.Seek(4, SeekOrigin::Current); break;
        case TValueType::vaString:
        case TValueType::vaBinary: ReadBytes(ReadLength()); break;
        case TValueType::vaFalse:
        case TValueType::vaTrue: break;
        case TValueType::vaIdent: {
            std::uint8_t length = 0;
            stream_.ReadBuffer(&length, 1);
            ReadBytes(length);
            break;
        }
        }
        if (stream_.Position() > stream_.Size())
            throw EReadError();
    } while (depth > 0);
}

void TFormReader::ReadProperties(const std::function<bool(const std::string&, TFormReader&)>& handler)
{
    ReadListBegin();
    while (!EndOfList()) {
        const std::string name = ReadPropName();
        if (!handler(name, *this))
            SkipValue();
    }
    ReadListEnd();
}

}  // namespace velmoran
