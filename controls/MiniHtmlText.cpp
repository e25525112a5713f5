// Caption text helpers; see MiniHtmlText.h.
#include "controls/MiniHtmlText.h"

#include "platform/core/Text.h"


namespace velmoran {

namespace {

struct Entity {
    std::string_view Name;
    std::string_view Text;
};

constexpr Entity kCaptionEntities[] = {
    {"&amp;", "&&"},   {"&quot;", "\""},       {"&sect;", "\u00A7"}, {"&permil;", "\u2030"}, {"&reg;", "\u00AE"},
    {"&copy;", "\u00A9"}, {"&para;", "\u00B6"}, {"&trade;", "\u2122"}, {"&euro;", "\u20AC"},
};

constexpr Entity kPieceEntities[] = {{"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}};

template <std::size_t N>
std::string Decode(std::string_view text, const Entity (&table)[N])
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '&') {
            out += "&&";
            i += 2;
            continue;
        }
        bool decoded = false;
        for (const Entity& e : table) {
            if (SameText(text.substr(i, e.Name.size()), e.Name)) {
                out += e.Text;
                i += e.Name.size();
                decoded = true;
                break;
            }
        }
        if (!decoded)
            out += text[i++];
    }
    return out;
}

}  // namespace

std::string DecodeCaptionEntities(std::string_view text)
{
    return text.find('&') == std::string_view::npos ? std::string(text) : Decode(text, kCaptionEntities);
}

std::string DecodePieceEntities(std::string_view piece)
{
    return piece.find('&') == std::string_view::npos ? std::string(piece) : Decode(piece, kPieceEntities);
}

std::string PrepareCaption(std::string_view text)
{
    std::string s = DecodeCaptionEntities(text);
    const std::size_t hash = s.find("<#");
    if (hash != std::string::npos) {
        const std::size_t close = s.find('>', hash);
        if (close != std::string::npos)
            s.erase(close, 1);
        s.erase(hash, 1);
    }
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c == '\r')
            out += "<BR>";
        else if (c != '\n')
            out += c;
    }
    return out;
}

int LeadingNumber(std::string_view text)
{
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min<long long>(kLargestCaptionNumber, value * 10 + (c - '0'));
    }
    return static_cast<int>(value);
}

bool CleanNumber(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<std::string_view> TagAttribute(std::string_view tag, std::string_view upperTag, std::string_view name)
{
    const std::size_t at = upperTag.find(name);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::size_t open = tag.find('"', at + name.size());
    if (open == std::string_view::npos)
        return std::string_view();
    const std::size_t close = tag.find('"', open + 1);
    if (close == std::string_view::npos)
        return std::string_view();
    return tag.substr(open + 1, close - open - 1);
}

std::string_view FirstQuoted(std::string_view tag)
{
    const std::size_t open = tag.find('"');
    if (open == std::string_view::npos)
        return {};
    const std::size_t close = tag.find('"', open + 1);
    return close == std::string_view::npos ? std::string_view() : tag.substr(open + 1, close - open - 1);
}

}  // namespace velmoran
