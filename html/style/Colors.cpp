// Colour parsing and the table of colour names; see Colors.h.
#include "html/style/Colors.h"

#include "html/base/WideText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

namespace velmoran {

namespace {

constexpr TColor Hex(std::uint32_t rrggbb)
{
    return RGBColor(static_cast<int>((rrggbb >> 16) & 0xFF), static_cast<int>((rrggbb >> 8) & 0xFF),
                    static_cast<int>(rrggbb & 0xFF));
}

struct NamedColor {
    const char* Name;
    TColor Color;
};

// The 16 basic colours, the 124 further names of the CSS colour keywords, the seven "grey"
// spellings, "transparent" and 28 system colours: 176 names.
const NamedColor kColorNames[] = {
    {"transparent", NoColor},
    // basic colours
    {"black", Hex(0x000000)}, {"maroon", Hex(0x800000)}, {"green", Hex(0x008000)}, {"olive", Hex(0x808000)},
    {"navy", Hex(0x000080)}, {"purple", Hex(0x800080)}, {"teal", Hex(0x008080)}, {"gray", Hex(0x808080)},
    {"silver", Hex(0xC0C0C0)}, {"red", Hex(0xFF0000)}, {"lime", Hex(0x00FF00)}, {"yellow", Hex(0xFFFF00)},
    {"blue", Hex(0x0000FF)}, {"fuchsia", Hex(0xFF00FF)}, {"aqua", Hex(0x00FFFF)}, {"white", Hex(0xFFFFFF)},
    // extended colour keywords
    {"aliceblue", Hex(0xF0F8FF)}, {"antiquewhite", Hex(0xFAEBD7)}, {"aquamarine", Hex(0x7FFFD4)},
    {"azure", Hex(0xF0FFFF)}, {"beige", Hex(0xF5F5DC)}, {"bisque", Hex(0xFFE4C4)},
    {"blanchedalmond", Hex(0xFFEBCD)}, {"blueviolet", Hex(0x8A2BE2)}, {"brown", Hex(0xA52A2A)},
    {"burlywood", Hex(0xDEB887)}, {"cadetblue", Hex(0x5F9EA0)}, {"chartreuse", Hex(0x7FFF00)},
    {"chocolate", Hex(0xD2691E)}, {"coral", Hex(0xFF7F50)}, {"cornflowerblue", Hex(0x6495ED)},
    {"cornsilk", Hex(0xFFF8DC)}, {"crimson", Hex(0xDC143C)}, {"cyan", Hex(0x00FFFF)},
    {"darkblue", Hex(0x00008B)}, {"darkcyan", Hex(0x008B8B)}, {"darkgoldenrod", Hex(0xB8860B)},
    {"darkgray", Hex(0xA9A9A9)}, {"darkgreen", Hex(0x006400)}, {"darkkhaki", Hex(0xBDB76B)},
    {"darkmagenta", Hex(0x8B008B)}, {"darkolivegreen", Hex(0x556B2F)}, {"darkorange", Hex(0xFF8C00)},
    {"darkorchid", Hex(0x9932CC)}, {"darkred", Hex(0x8B0000)}, {"darksalmon", Hex(0xE9967A)},
    {"darkseagreen", Hex(0x8FBC8F)}, {"darkslateblue", Hex(0x483D8B)}, {"darkslategray", Hex(0x2F4F4F)},
    {"darkturquoise", Hex(0x00CED1)}, {"darkviolet", Hex(0x9400D3)}, {"deeppink", Hex(0xFF1493)},
    {"deepskyblue", Hex(0x00BFFF)}, {"dimgray", Hex(0x696969)}, {"dodgerblue", Hex(0x1E90FF)},
    {"firebrick", Hex(0xB22222)}, {"floralwhite", Hex(0xFFFAF0)}, {"forestgreen", Hex(0x228B22)},
    {"gainsboro", Hex(0xDCDCDC)}, {"ghostwhite", Hex(0xF8F8FF)}, {"gold", Hex(0xFFD700)},
    {"goldenrod", Hex(0xDAA520)}, {"greenyellow", Hex(0xADFF2F)}, {"honeydew", Hex(0xF0FFF0)},
    {"hotpink", Hex(0xFF69B4)}, {"indianred", Hex(0xCD5C5C)}, {"indigo", Hex(0x4B0082)},
    {"ivory", Hex(0xFFFFF0)}, {"khaki", Hex(0xF0E68C)}, {"lavender", Hex(0xE6E6FA)},
    {"lavenderblush", Hex(0xFFF0F5)}, {"lawngreen", Hex(0x7CFC00)}, {"lemonchiffon", Hex(0xFFFACD)},
    {"lightblue", Hex(0xADD8E6)}, {"lightcoral", Hex(0xF08080)}, {"lightcyan", Hex(0xE0FFFF)},
    {"lightgoldenrodyellow", Hex(0xFAFAD2)}, {"lightgray", Hex(0xD3D3D3)}, {"lightgreen", Hex(0x90EE90)},
    {"lightpink", Hex(0xFFB6C1)}, {"lightsalmon", Hex(0xFFA07A)}, {"lightseagreen", Hex(0x20B2AA)},
    {"lightskyblue", Hex(0x87CEFA)}, {"lightslategray", Hex(0x778899)}, {"lightsteelblue", Hex(0xB0C4DE)},
    {"lightyellow", Hex(0xFFFFE0)}, {"limegreen", Hex(0x32CD32)}, {"linen", Hex(0xFAF0E6)},
    {"magenta", Hex(0xFF00FF)}, {"mediumaquamarine", Hex(0x66CDAA)}, {"mediumblue", Hex(0x0000CD)},
    {"mediumorchid", Hex(0xBA55D3)}, {"mediumpurple", Hex(0x9370DB)}, {"mediumseagreen", Hex(0x3CB371)},
    {"mediumslateblue", Hex(0x7B68EE)}, {"mediumspringgreen", Hex(0x00FA9A)},
    {"mediumturquoise", Hex(0x48D1CC)}, {"mediumvioletred", Hex(0xC71585)}, {"midnightblue", Hex(0x191970)},
    {"mintcream", Hex(0xF5FFFA)}, {"mistyrose", Hex(0xFFE4E1)}, {"moccasin", Hex(0xFFE4B5)},
    {"navajowhite", Hex(0xFFDEAD)}, {"oldlace", Hex(0xFDF5E6)}, {"olivedrab", Hex(0x6B8E23)},
    {"orange", Hex(0xFFA500)}, {"orangered", Hex(0xFF4500)}, {"orchid", Hex(0xDA70D6)},
    {"palegoldenrod", Hex(0xEEE8AA)}, {"palegreen", Hex(0x98FB98)}, {"paleturquoise", Hex(0xAFEEEE)},
    {"palevioletred", Hex(0xDB7093)}, {"papayawhip", Hex(0xFFEFD5)}, {"peachpuff", Hex(0xFFDAB9)},
    {"peru", Hex(0xCD853F)}, {"pink", Hex(0xFFC0CB)}, {"plum", Hex(0xDDA0DD)},
    {"powderblue", Hex(0xB0E0E6)}, {"rosybrown", Hex(0xBC8F8F)}, {"royalblue", Hex(0x4169E1)},
    {"saddlebrown", Hex(0x8B4513)}, {"salmon", Hex(0xFA8072)}, {"sandybrown", Hex(0xF4A460)},
    {"seagreen", Hex(0x2E8B57)}, {"seashell", Hex(0xFFF5EE)}, {"sienna", Hex(0xA0522D)},
    {"skyblue", Hex(0x87CEEB)}, {"slateblue", Hex(0x6A5ACD)}, {"slategray", Hex(0x708090)},
    {"snow", Hex(0xFFFAFA)}, {"springgreen", Hex(0x00FF7F)}, {"steelblue", Hex(0x4682B4)},
    {"tan", Hex(0xD2B48C)}, {"thistle", Hex(0xD8BFD8)}, {"tomato", Hex(0xFF6347)},
    {"turquoise", Hex(0x40E0D0)}, {"violet", Hex(0xEE82EE)}, {"wheat", Hex(0xF5DEB3)},
    {"whitesmoke", Hex(0xF5F5F5)}, {"yellowgreen", Hex(0x9ACD32)},
    // the "grey" spellings
    {"grey", Hex(0x808080)}, {"darkgrey", Hex(0xA9A9A9)}, {"darkslategrey", Hex(0x2F4F4F)},
    {"dimgrey", Hex(0x696969)}, {"lightgrey", Hex(0xD3D3D3)}, {"lightslategrey", Hex(0x778899)},
    {"slategrey", Hex(0x708090)},
    // system colours by their Windows index ("hightlighttext" is spelt so on purpose)
    {"background", kSystemColorBase + 1}, {"activecaption", kSystemColorBase + 2},
    {"inactivecaption", kSystemColorBase + 3}, {"menu", kSystemColorBase + 4}, {"window", kSystemColorBase + 5},
    {"windowframe", kSystemColorBase + 6}, {"menutext", kSystemColorBase + 7},
    {"windowtext", kSystemColorBase + 8}, {"captiontext", kSystemColorBase + 9},
    {"activeborder", kSystemColorBase + 10}, {"inactiveborder", kSystemColorBase + 11},
    {"appworkspace", kSystemColorBase + 12}, {"highlight", kSystemColorBase + 13},
    {"hightlighttext", kSystemColorBase + 14}, {"buttonface", kSystemColorBase + 15},
    {"buttonshadow", kSystemColorBase + 16}, {"graytext", kSystemColorBase + 17},
    {"buttontext", kSystemColorBase + 18}, {"inactivecaptiontext", kSystemColorBase + 19},
    {"buttonhighlight", kSystemColorBase + 20}, {"threeddarkshadow", kSystemColorBase + 21},
    {"threedlightshadow", kSystemColorBase + 22}, {"infotext", kSystemColorBase + 23},
    {"infobackground", kSystemColorBase + 24}, {"scrollbar", kSystemColorBase + 0},
    {"threedface", kSystemColorBase + 15}, {"threedhighlight", kSystemColorBase + 20},
    {"threedshadow", kSystemColorBase + 16},
};

const std::map<std::string, TColor>& ColorTable()
{
    static const std::map<std::string, TColor> table = [] {
        std::map<std::string, TColor> t;
        for (const auto& c : kColorNames)
            t.emplace(c.Name, c.Color);
        return t;
    }();
    return table;
}

// One component of rgb(): a number or a percentage, clamped to 0..255.
bool ParseComponent(std::string_view part, int& value)
{
    const std::string s = Trim(part);
    if (s.empty())
        return false;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str())
        return false;
    const std::string rest = Trim(end);
    double result = v;
    if (rest == "%")
        result = v * 255 / 100;  // 2.55 per percent, without its binary rounding error
    else if (!rest.empty())
        return false;
    value = std::clamp(RoundLength(result), 0, 255);
    return true;
}

bool ParseRgb(const std::string& s, TColor& color)
{
    const std::string_view rest = std::string_view(s).substr(s.find("rgb") + 3);
    const auto open = rest.find('(');
    const auto close = rest.find(')', open == std::string_view::npos ? 0 : open);
    if (open == std::string_view::npos || close == std::string_view::npos)
        return false;
    const std::string_view inner = rest.substr(open + 1, close - open - 1);
    const auto c1 = inner.find(',');
    const auto c2 = c1 == std::string_view::npos ? c1 : inner.find(',', c1 + 1);
    if (c2 == std::string_view::npos)
        return false;
    int r = 0, g = 0, b = 0;
    if (!ParseComponent(inner.substr(0, c1), r) || !ParseComponent(inner.substr(c1 + 1, c2 - c1 - 1), g) ||
        !ParseComponent(inner.substr(c2 + 1), b))
        return false;
    color = RGBColor(r, g, b) + kPaletteRelative;
    return true;
}

bool ParseHex(const std::string& s, bool requireHash, TColor& color)
{
    std::string digits;
    for (char c : s)
        if (c != '#')
            digits += c;
    if (digits.size() == s.size() && requireHash)
        return false;
    if (digits.empty() || digits.size() > 6)
        return false;
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    if (digits.size() <= 3) {
        std::string doubled;
        for (char c : digits)
            doubled += std::string(2, c);
        digits = doubled;
    }
    const auto rgb = static_cast<std::uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
    color = Hex(rgb) + kPaletteRelative;
    return true;
}

bool ParseUncached(const std::string& s, bool requireHash, TColor& color)
{
    if (!s.empty() && s[0] != '#' && !Contains(s, "rgb(")) {
        const auto& table = ColorTable();
        const auto it = table.find(s);
        if (it != table.end()) {
            color = it->second;
            return true;
        }
    }
    if (Contains(s, "rgb"))
        return ParseRgb(s, color);
    return ParseHex(s, requireHash, color);
}

}  // namespace

int ColorNameCount()
{
    return static_cast<int>(ColorTable().size());
}

bool ParseColor(std::string_view text, bool requireHash, TColor& color)
{
    // The same colour text recurs often in one document: the last text, its hash requirement and
    // its result are kept.
    struct Last {
        std::string Text;
        bool RequireHash = false;
        bool Ok = false;
        TColor Color = 0;
        bool Valid = false;
    };
    static Last last;
    const std::string s = LowerCase(Trim(text));
    if (!(last.Valid && last.Text == s && last.RequireHash == requireHash)) {
        last.Text = s;
        last.RequireHash = requireHash;
        last.Color = 0;
        last.Ok = ParseUncached(s, requireHash, last.Color);
        last.Valid = true;
    }
    if (last.Ok)
        color = last.Color;
    return last.Ok;
}

}  // namespace velmoran
