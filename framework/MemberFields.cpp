// Field declarations from a list, and the transfer of values between record members and fields.
#include "framework/MemberFields.h"

#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace velmoran {

namespace {

bool IsIntegerType(TFieldType type)
{
    return type == ftInteger || type == ftSmallint || type == ftWord;
}

// The member's value as a whole number (bytes, words and bits).
long long WholeValue(TConstView record, const MemberInfo& m)
{
    switch (m.Type) {
    case MemberType::Byte:
        return record.ByteAt(m.Offset);
    case MemberType::Word:
        return record.Word(m.Offset);
    case MemberType::Bits:
        return record.Bits(m.Offset, m.BitShift, m.BitCount);
    default:
        return 0;
    }
}

}  // namespace

void DeclareFields(TDataSet& table, std::string_view fields)
{
    std::size_t pos = 0;
    while (pos < fields.size()) {
        const std::size_t start = fields.find_first_not_of(" \n", pos);
        if (start == std::string_view::npos)
            break;
        std::size_t end = fields.find_first_of(" \n", start);
        if (end == std::string_view::npos)
            end = fields.size();
        const std::string_view entry = fields.substr(start, end - start);
        pos = end;

        const std::size_t colon = entry.find(':');
        const std::string name(entry.substr(0, colon));
        const std::string_view kind = colon == std::string_view::npos ? std::string_view() : entry.substr(colon + 1);
        if (kind.empty())
            table.AddField<TFloatField>(name);
        else if (kind == "I")
            table.AddField<TIntegerField>(name);
        else if (kind == "Sm")
            table.AddField<TSmallintField>(name);
        else if (kind == "W")
            table.AddField<TWordField>(name);
        else if (kind == "D")
            table.AddField<TDateField>(name);
        else if (kind.front() == 'S')
            table.AddField<TStringField>(name, StrToInt(kind.substr(1)));
        else
            throw Exception("Unbekannte Feldart '" + std::string(entry) + "'");
    }
}

const MemberInfo* FindMemberIn(std::span<const MemberInfo> members, std::string_view name,
                               std::initializer_list<MemberArea> areas)
{
    for (const MemberInfo& m : members)
        if (m.Name == name && std::find(areas.begin(), areas.end(), m.Area) != areas.end())
            return &m;
    return nullptr;
}

void FillFieldFromMember(TField& field, TConstView record, const MemberInfo& m)
{
    const TFieldType type = field.DataType();
    try {
        switch (m.Type) {
        case MemberType::Double:
            if (type == ftFloat)
                field.SetAsFloat(record.Double(m.Offset));
            else if (IsIntegerType(type))
                field.SetAsFloat(record.Double(m.Offset));  // rounds half to even
            break;
        case MemberType::DateTime:
            // A date field of 0 holds no date: shown empty rather than as 30.12.1899, which
            // nobody entered. Its member keeps the 0 on the way back, since an empty field writes nothing.
            if (type == ftDate && record.Double(m.Offset) == 0)
                field.Clear();
            else if (type == ftDate || type == ftFloat)
                field.SetAsDateTime(record.Double(m.Offset));
            break;
        case MemberType::ShortString:
            if (type == ftString)
                field.SetAsString(record.String(m.Offset));
            break;
        case MemberType::Byte:
        case MemberType::Word:
        case MemberType::Bits:
            if (IsIntegerType(type) || type == ftFloat)
                field.SetAsInteger(static_cast<int>(WholeValue(record, m)));
            break;
        }
    } catch (const EConvertError&) {
        field.Clear();
    } catch (const EDatabaseError&) {
        field.Clear();
    }
}

void FillFieldsFromMembers(TDataSet& table, TConstView record, std::span<const MemberInfo> members,
                           std::initializer_list<MemberArea> areas)
{
    for (const auto& field : table.Fields())
        if (const MemberInfo* m = FindMemberIn(members, field->FieldName(), areas))
            FillFieldFromMember(*field, record, *m);
}

bool SameFieldValue(const TField& a, const TField& b)
{
    if (a.DataType() != b.DataType() || a.DataSize() != b.DataSize())
        return false;
    const auto size = static_cast<std::size_t>(a.DataSize());
    std::vector<std::byte> va(size), vb(size);
    const bool hasA = a.GetData(va.data());
    const bool hasB = b.GetData(vb.data());
    if (hasA != hasB)
        return false;
    if (!hasA)
        return true;
    if (a.DataType() == ftString)  // only the text up to its end counts
        return a.AsString() == b.AsString();
    return va == vb;
}

void StoreFieldInMember(const TField& field, TMutableView record, const MemberInfo& m)
{
    if (field.IsNull())
        return;
    const TFieldType type = field.DataType();
    switch (m.Type) {
    case MemberType::Double:
        if (type == ftFloat)
            record.SetDouble(m.Offset, field.AsFloat());
        else if (IsIntegerType(type))
            record.SetDouble(m.Offset, field.AsInteger());
        break;
    case MemberType::DateTime:
        if (type == ftDate || type == ftFloat)
            record.SetDouble(m.Offset, field.AsDateTime());
        break;
    case MemberType::ShortString:
        if (type == ftString)
            record.SetString(m.Offset, field.AsString());
        break;
    case MemberType::Byte:
    case MemberType::Word:
    case MemberType::Bits: {
        if (!IsIntegerType(type))
            break;
        const long long v = field.AsInteger();
        const long long limit = m.Type == MemberType::Byte ? 255 : m.Type == MemberType::Word ? 65535
                                                                                              : (1LL << m.BitCount) - 1;
        if (v < 0 || v > limit)
            break;
        if (m.Type == MemberType::Byte)
            record.SetByte(m.Offset, static_cast<std::uint8_t>(v));
        else if (m.Type == MemberType::Word)
            record.SetWord(m.Offset, static_cast<std::uint16_t>(v));
        else
            record.SetBits(m.Offset, m.BitShift, m.BitCount, static_cast<unsigned>(v));
        break;
    }
    }
}

}  // namespace velmoran
