// The settings as the earlier builds wrote them; see LegacySettings.h.
#include "platform/core/LegacySettings.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Text.h"

namespace velmoran {

namespace {

std::optional<unsigned> HexDigit(char16_t c)
{
    const int value = HexDigitValue(c);
    return value < 0 ? std::nullopt : std::optional<unsigned>(static_cast<unsigned>(value));
}

void AppendUtf16(std::u16string& out, std::string_view utf8)
{
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = DecodeUtf8(utf8, pos);
        if (c > 0xFFFF) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
}

std::string Utf8Of(std::u16string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        AppendUtf8(out, c);
    }
    return out;
}

// The value up to a ";" outside quotes: the rest of the line is a comment.
std::string_view WithoutComment(std::string_view raw)
{
    bool quoted = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\')
            ++i;
        else if (raw[i] == '"')
            quoted = !quoted;
        else if (raw[i] == ';' && !quoted)
            return raw.substr(0, i);
    }
    return raw;
}

// The escapes of a value and its quotes undone, in UTF-16 as the form works; nothing for a list.
std::optional<std::u16string> Unescaped(std::string_view str)
{
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'},  {'n', '\n'},
                                           {'r', '\r'}, {'t', '\t'}, {'v', '\v'},  {'"', '"'},
                                           {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    std::u16string result;
    bool inQuotes = false;
    bool quoted = false;
    std::size_t i = 0;
    // Blanks before this length belong to the value: escaped or quoted ones.
    std::size_t chopLimit = 0;
    const auto skipBlanks = [&] {
        while (i < str.size() && (str[i] == ' ' || str[i] == '\t'))
            ++i;
        chopLimit = result.size();
    };
    // Digits of a "\x" or "\0" escape; the character is cut to 16 bits as the form does.
    const auto number = [&](unsigned value, unsigned base) {
        while (i < str.size()) {
            const auto digit = HexDigit(static_cast<unsigned char>(str[i]));
            if (!digit || *digit >= base)
                break;
            value = value * base + *digit;
            ++i;
        }
        result += static_cast<char16_t>(value & 0xFFFF);
        chopLimit = result.size();
    };
    skipBlanks();
    while (i < str.size()) {
        const char c = str[i];
        if (c == '\\') {
            if (++i >= str.size())
                return result;
            const char escaped = str[i++];
            bool known = false;
            for (const auto& [code, meaning] : kEscapes)
                if (escaped == code) {
                    result += static_cast<char16_t>(meaning);
                    known = true;
                }
            if (!known && escaped == 'x' && i < str.size() && HexDigit(static_cast<unsigned char>(str[i])))
                number(0, 16);
            else if (!known && escaped >= '0' && escaped <= '7')
                number(static_cast<unsigned>(escaped - '0'), 8);
            // Any other escaped character is dropped.
            chopLimit = result.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (c == ',' && !inQuotes) {
            return std::nullopt;
        } else {
            std::size_t end = i + 1;
            while (end < str.size() && str[end] != '\\' && str[end] != '"' && str[end] != ',')
                ++end;
            AppendUtf16(result, str.substr(i, end - i));
            i = end;
        }
    }
    if (!quoted)
        while (result.size() > chopLimit && (result.back() == ' ' || result.back() == '\t'))
            result.pop_back();
    return result;
}

}  // namespace

std::string UnescapeLegacyKey(std::string_view key)
{
    std::u16string text;
    AppendUtf16(text, key);
    std::u16string result;
    for (std::size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c == '\\') {
            result += u'/';
            ++i;
            continue;
        }
        const std::size_t first = i + 1 < text.size() && text[i + 1] == 'U' ? i + 2 : i + 1;
        const std::size_t digits = first == i + 2 ? 4 : 2;
        unsigned value = 0;
        bool escape = c == '%' && i + 1 < text.size() && first + digits <= text.size();
        for (std::size_t d = 0; escape && d < digits; ++d) {
            const auto digit = HexDigit(text[first + d]);
            escape = digit.has_value();
            value = value * 16 + digit.value_or(0);
        }
        if (!escape) {
            result += c;
            ++i;
            continue;
        }
        result += static_cast<char16_t>(value);
        i = first + digits;
    }
    return Utf8Of(result);
}

std::optional<LegacyValue> DecodeLegacyValue(std::string_view raw)
{
    const std::optional<std::u16string> text = Unescaped(WithoutComment(raw));
    if (!text)
        return std::nullopt;
    const std::u16string_view value(*text);
    if (value.starts_with(u"@") && value.ends_with(u")")) {
        if (value.starts_with(u"@ByteArray(")) {
            LegacyValue bytes{true, {}};
            for (const char16_t c : value.substr(11, value.size() - 12))
                bytes.Data += c <= 0xFF ? static_cast<char>(c) : '?';
            return bytes;
        }
        if (value.starts_with(u"@String("))
            return LegacyValue{false, Utf8Of(value.substr(8, value.size() - 9))};
        for (const std::u16string_view typed : {u"@Variant(", u"@DateTime(", u"@Rect(", u"@Size(", u"@Point("})
            if (value.starts_with(typed))
                return std::nullopt;
        if (value == u"@Invalid()")
            return std::nullopt;
    }
    if (value.starts_with(u"@@"))
        return LegacyValue{false, Utf8Of(value.substr(1))};
    return LegacyValue{false, Utf8Of(value)};
}

}  // namespace velmoran
