// Reading "Name;Wert" lines into records.
#include "framework/RecordText.h"

#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/Text.h"

#include <functional>
#include <string>

namespace velmoran {

namespace {

unsigned WholeNumber(std::string_view value, unsigned max)
{
    const int n = StrToInt(value);
    if (n < 0 || static_cast<unsigned>(n) > max)
        throw EConvertError("\"" + std::string(value) + "\" liegt nicht zwischen 0 und " + std::to_string(max));
    return static_cast<unsigned>(n);
}

struct Line {
    std::string_view name;
    int index = -1;  // load case given with "#k", or -1
    std::string_view value;
};

// Runs `apply` for every line that carries a value; wraps conversion errors with the line number.
void ForEachLine(std::string_view text, const std::function<void(const Line&)>& apply)
{
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        const std::string_view trimmed = TrimView(raw);
        const std::size_t semicolon = trimmed.find(';');
        if (trimmed.starts_with("//") || semicolon == std::string_view::npos)
            continue;
        Line line;
        line.name = TrimView(trimmed.substr(0, semicolon));
        line.value = TrimView(trimmed.substr(semicolon + 1));
        try {
            if (const std::size_t hash = line.name.find('#'); hash != std::string_view::npos) {
                line.index = static_cast<int>(WholeNumber(line.name.substr(hash + 1), common::kBlockCount - 1));
                line.name = line.name.substr(0, hash);
            }
            apply(line);
        } catch (const EConvertError& e) {
            throw EConvertError("Zeile " + std::to_string(number) + ": " + e.Message());
        }
    }
}

}  // namespace

void SetMemberFromText(TMutableView view, const MemberInfo& m, std::string_view value)
{
    const FormatSettings german = FormatSettings::German();
    switch (m.Type) {
    case MemberType::Double:
        view.SetDouble(m.Offset, StrToFloat(value, german));
        break;
    case MemberType::DateTime:
        view.SetDouble(m.Offset, StrToDate(value, german));
        break;
    case MemberType::Byte:
        view.SetByte(m.Offset, static_cast<std::uint8_t>(WholeNumber(value, 255)));
        break;
    case MemberType::Word:
        view.SetWord(m.Offset, static_cast<std::uint16_t>(WholeNumber(value, 65535)));
        break;
    case MemberType::Bits:
        view.SetBits(m.Offset, m.BitShift, m.BitCount, WholeNumber(value, (1u << m.BitCount) - 1u));
        break;
    case MemberType::ShortString:
        view.SetString(m.Offset, value);
        break;
    }
}

void ApplyRecordText(std::string_view text, TCommonRecord& record)
{
    ForEachLine(text, [&](const Line& line) {
        const MemberInfo* m = FindMember(CommonRecordMembers(), line.name);
        if (!m)
            throw EConvertError("unbekannter Name \"" + std::string(line.name) + "\"");
        if (m->Area == MemberArea::LoadCase)
            SetMemberFromText(record.Block(line.index < 0 ? 0 : static_cast<std::size_t>(line.index)), *m, line.value);
        else if (line.index >= 0)
            throw EConvertError("\"" + std::string(line.name) + "\" gehört zu keinem Lastfall");
        else
            SetMemberFromText(record.View(), *m, line.value);
    });
}

void ApplyRecordText(std::string_view text, TMutableView record, std::span<const MemberInfo> members)
{
    ForEachLine(text, [&](const Line& line) {
        const MemberInfo* m = FindMember(members, line.name);
        if (!m)
            throw EConvertError("unbekannter Name \"" + std::string(line.name) + "\"");
        if (line.index >= 0)
            throw EConvertError("\"" + std::string(line.name) + "\" gehört zu keinem Lastfall");
        SetMemberFromText(record, *m, line.value);
    });
}

}  // namespace velmoran
