// The style-sheet reader; see StyleSheetParser.h.
#include "html/style/StyleSheetParser.h"

#include "html/base/StyleText.h"
#include "html/base/Urls.h"
#include "html/base/WideText.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <cctype>
#include <cstdlib>
#include <utility>
#include <vector>

namespace velmoran {

namespace {

const char* const kShorthands[] = {"margin", "padding", "border-width", "border", "border-top", "border-right",
                                   "border-bottom", "border-left", "font", "background", "list-style",
                                   "border-color", "border-style"};
const char* const kFontWords[] = {"italic", "oblique", "normal", "bolder", "lighter", "bold", "small-caps", "larger",
                                  "smaller", "xx-small", "x-small", "small", "medium", "large", "x-large", "xx-large"};
const char* const kBorderStyles[] = {"none", "solid", "dashed", "dotted", "double", "groove", "inset", "outset", "ridge"};

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsNameChar(char c) { return c == '-' || IsDigit(c) || IsLetter(c); }

int ShorthandIndex(const std::string& name)
{
    for (int i = 0; i < 13; ++i)
        if (name == kShorthands[i])
            return i;
    return -1;
}

// 1-based position in the font keyword table, 0 when absent.
int FontWord(const std::string& s)
{
    for (int i = 0; i < 16; ++i)
        if (s == kFontWords[i])
            return i + 1;
    return 0;
}

bool IsBorderStyleWord(const std::string& s)
{
    for (const char* w : kBorderStyles)
        if (s == w)
            return true;
    return false;
}

// Lower-cases a value but keeps the address inside "url(...)" as written (file names keep their case).
std::string LowerOutsideUrls(const std::string& s)
{
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto p = LowerCase(s.substr(i)).find("url(");
        if (p == std::string::npos) {
            out += LowerCase(s.substr(i));
            break;
        }
        out += LowerCase(s.substr(i, p + 4));
        i += p + 4;
        const auto close = s.find(')', i);
        const std::size_t end = close == std::string::npos ? s.size() : close;
        out += s.substr(i, end - i);
        i = end;
    }
    return out;
}

std::string StripQuotes(std::string v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

// Takes the "url(...)" and "rgb(...)" groups out of a value.
std::vector<std::string> TakeGroups(std::string& value, int max)
{
    std::vector<std::string> groups;
    for (const char* opener : {"rgb(", "url("}) {
        for (;;) {
            const auto p = LowerCase(value).find(opener);
            if (p == std::string::npos)
                break;
            const auto close = value.find(')', p);
            if (close == std::string::npos)
                break;
            if (static_cast<int>(groups.size()) < max)
                groups.push_back(value.substr(p, close - p + 1));
            value.erase(p, close - p + 1);
        }
    }
    return groups;
}

std::vector<std::string> SplitParts(std::string value, int max)
{
    value = Trim(value);
    for (auto p = value.find("  "); p != std::string::npos; p = value.find("  "))
        value.erase(p, 1);
    for (auto p = value.find(", "); p != std::string::npos; p = value.find(", "))
        value.erase(p + 1, 1);
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < value.size()) {
        while (i < value.size() && value[i] == ' ')
            ++i;
        if (i >= value.size())
            break;
        std::size_t end;
        if (value[i] == '"' || value[i] == '\'') {
            const auto close = value.find(value[i], i + 1);
            end = close == std::string::npos ? value.size() : close + 1;
            // The part goes on to the next blank after the quotation: "'Times New Roman',serif" (its
            // comma's blank gone above) stays one family list, not a stray ",serif" part.
            while (end < value.size() && value[end] != ' ')
                ++end;
        } else {
            end = value.find(' ', i);
            if (end == std::string::npos)
                end = value.size();
        }
        std::string part = value.substr(i, end - i);
        const auto slash = part.find('/');
        if (slash != std::string::npos && slash >= 1) {
            parts.push_back(part.substr(0, slash));
            parts.push_back(part.substr(slash));
        } else {
            parts.push_back(part);
        }
        i = end;
    }
    if (static_cast<int>(parts.size()) > max)
        parts.resize(static_cast<std::size_t>(max));
    return parts;
}

bool IsColorPart(const std::string& part)
{
    TColor c = 0;
    return ParseColor(part, true, c);
}

using Store = std::function<void(const std::string& name, const std::string& value)>;

class Reader {
public:
    Reader(TStyleList* list, CharSource source, std::string linkPath, CharSource peek = {})
        : list_(list), source_(std::move(source)), linkPath_(std::move(linkPath)), peek_(std::move(peek))
    {
    }

    // ----- characters -----
    char Raw()
    {
        if (hasPushback_) {
            hasPushback_ = false;
            return pushback_;
        }
        char c = source_ ? source_() : kEofChar;
        return c == '\r' ? ' ' : c;
    }
    void Push(char c)
    {
        pushback_ = c;
        hasPushback_ = true;
    }
    // The next character, comments skipped. A comment runs to "*/"; one never closed ends at the
    // end of input, or in a STYLE element at its end tag: the "<" of "</" is not consumed, so that
    // the end tag stays readable. Any other "<" ("/* Spalten < 3 */") is text of the comment.
    void GetCh()
    {
        char c = Raw();
        while (c == '/') {
            const char next = Raw();
            if (next != '*') {
                Push(next);
                break;
            }
            c = Raw();
            for (;;) {
                if (c == kEofChar || EndTagStarts(c))
                    break;
                if (c == '*') {
                    c = Raw();
                    if (c == '/') {
                        c = Raw();
                        break;
                    }
                    continue;
                }
                c = Raw();
            }
            if (c == kEofChar || EndTagStarts(c))
                break;
        }
        ch = c;
    }
    // Whether c, just read inside a comment, is the "<" of an end tag of the element the sheet
    // stands in (only a STYLE element's reader can look ahead).
    bool EndTagStarts(char c) const { return c == '<' && peek_ && peek_() == '/'; }
    void SkipWhite()
    {
        while (ch == ' ')
            GetCh();
    }

    // ----- sheets -----
    void Sheet(bool fromLink)
    {
        if (ch == '\r')
            ch = ' ';
        Push(ch);
        ch = ' ';
        while (ch == ' ' || ch == '!' || ch == '-' || ch == '<' || ch == '>')
            GetCh();
        for (;;) {
            if (ch == kEofChar)
                break;
            if (ch == '@') {
                AtRule();
            } else if (ch == '<') {
                if (!fromLink)
                    break;
                while (ch != ' ' && ch != kEofChar)
                    GetCh();
                SkipWhite();
            } else {
                Rule();
            }
            while (ch == ' ' || ch == '-' || ch == '>')
                GetCh();
        }
    }

    void Rule()
    {
        selectors_.clear();
        Selectors();
        Declarations();
    }

    void AtRule()
    {
        std::string text;
        GetCh();
        while (ch != ';' && ch != '<' && ch != '{' && ch != kEofChar) {
            text += ch;
            GetCh();
        }
        if (ch == '{') {
            GetCh();
            if (Contains(LowerCase(text), "screen")) {
                SkipWhite();
                while (ch != kEofChar && ch != '<' && ch != '}') {
                    Rule();
                    SkipWhite();
                }
            } else {
                int depth = 1;
                while (ch != kEofChar && ch != '<') {
                    if (ch == '{')
                        ++depth;
                    else if (ch == '}' && --depth == 0)
                        break;
                    GetCh();
                }
            }
            if (ch == '}')
                GetCh();
        } else if (ch == ';') {
            GetCh();
        }
    }

    void Selectors()
    {
        for (;;) {
            std::string text;
            while (ch == ' ' || ch == '#' || ch == '*' || ch == '-' || ch == '.' || ch == ':' || ch == '>' || ch == '_' ||
                   IsDigit(ch) || IsLetter(ch)) {
                text += ch == '*' ? ' ' : ch;
                GetCh();
            }
            AddSelector(text);
            if (ch != ',')
                break;
            GetCh();
        }
        while (ch != '{' && ch != '<' && ch != kEofChar)
            GetCh();
    }

    void AddSelector(const std::string& raw)
    {
        std::string s = LowerCase(Trim(raw));
        while (!s.empty() && s.front() == '>')
            s = Trim(s.substr(1));
        while (!s.empty() && s.back() == '>')
            s = Trim(s.substr(0, s.size() - 1));
        // Child combinators: "ul > li" and "ul>li" both become "ul> li".
        std::string t;
        for (char c : s) {
            if (c == '>') {
                while (!t.empty() && t.back() == ' ')
                    t.pop_back();
                t += "> ";
            } else if (c == ' ' && !t.empty() && t.back() == ' ') {
                continue;
            } else {
                t += c;
            }
        }
        std::vector<std::string> parts;
        std::string word;
        for (char c : t + " ") {
            if (c == ' ') {
                if (!word.empty())
                    parts.push_back(CanonicalSimpleSelector(word));
                word.clear();
            } else {
                word += c;
            }
        }
        if (parts.empty())
            return;
        if (parts.size() == 1) {
            selectors_.push_back(parts[0]);
            return;
        }
        std::string key = parts.back() + " " + std::to_string(parts.size() - 1) + list_->NextSeqNumberText();
        for (std::size_t k = parts.size() - 1; k-- > 0;)
            key += parts[k] + " ";
        selectors_.push_back(key);
    }

    void Declarations()
    {
        if (ch != '{')
            return;
        GetCh();
        for (;;) {
            SkipWhite();
            std::string name;
            while (IsNameChar(ch)) {
                name += ch;
                GetCh();
            }
            name = LowerCase(Trim(name));
            SkipWhite();
            if (ch == ':' || ch == '=') {
                GetCh();
                std::string value;
                while (ch != ';' && ch != '<' && ch != '}' && ch != kEofChar) {
                    value += ch;
                    GetCh();
                }
                value = StripQuotes(Trim(LowerOutsideUrls(value)));
                if (!name.empty())
                    Declaration(name, value, [this](const std::string& n, const std::string& v) {
                        for (const auto& sel : selectors_)
                            list_->SetSelectorProperty(sel, n, v);
                    });
            }
            SkipWhite();
            if (ch == ';')
                GetCh();
            while (!IsNameChar(ch) && ch != '<' && ch != '}' && ch != kEofChar)
                GetCh();
            if (ch == '}' || ch == '<' || ch == kEofChar)
                break;
        }
        if (ch == '}')
            GetCh();
    }

    // ----- values -----
    // A "url(...)" value names a file as the file system has it: "Bild\xE4.png" of a Windows-1252
    // sheet is "Bildä.png". A linked sheet's names lie beside it.
    std::string ExpandUrl(const std::string& value) const
    {
        if (!Contains(LowerCase(value), "url("))
            return value;
        if (linkPath_.empty())
            return MultibyteToUtf8(CodePage, value);
        std::string addr = value.substr(LowerCase(value).find("url(") + 4);
        const auto close = addr.find(')');
        if (close != std::string::npos)
            addr = addr.substr(0, close);
        addr = MultibyteToUtf8(CodePage, StripQuotes(Trim(addr)));
        if (Contains(linkPath_, "://")) {
            // A sheet read from a file names with one "/" what its page would: a name below the
            // viewer's root, not below the first folder of the sheet's path.
            const bool fromRoot = GetProtocol(linkPath_) == "file" && StartsWith(addr, "/") && !StartsWith(addr, "//");
            if (!IsFullUrl(addr) && !fromRoot)
                addr = CombineUrl(linkPath_, addr);
        } else {
            addr = UrlToDosPath(addr);
            const bool absolute = (addr.size() > 1 && addr[1] == ':') || StartsWith(addr, "//") || StartsWith(addr, "/");
            if (!absolute)
                addr = linkPath_ + addr;
        }
        return "url(" + addr + ")";
    }

    void Declaration(const std::string& name, const std::string& value, const Store& store) const
    {
        const int sh = ShorthandIndex(name);
        if (sh < 0) {
            store(name, ExpandUrl(value));
            return;
        }
        static const char* const sides[] = {"top", "right", "bottom", "left"};
        switch (sh) {
        case 0:   // margin
        case 1:   // padding
        case 2:   // border-width
        case 11:  // border-color
        case 12:  // border-style
        {
            const std::vector<std::string> p = SplitParts(value, 4);
            if (p.empty())
                return;
            const std::string v[4] = {p[0], p.size() > 1 ? p[1] : p[0], p.size() > 2 ? p[2] : p[0],
                                      p.size() > 3 ? p[3] : (p.size() > 1 ? p[1] : p[0])};
            for (int k = 0; k < 4; ++k) {
                std::string longName;
                if (sh == 0 || sh == 1)
                    longName = name + "-" + sides[k];
                else
                    longName = std::string("border-") + sides[k] + name.substr(6);  // -width, -color, -style
                store(longName, v[k]);
            }
            break;
        }
        case 3: case 4: case 5: case 6: case 7: {  // border, border-<side>
            std::string rest = value;
            for (const auto& g : TakeGroups(rest, 7))
                if (StartsWith(LowerCase(g), "rgb("))
                    store(name + "-color", g);
            for (const auto& part : SplitParts(rest, 7)) {
                if (IsColorPart(part))
                    store(name + "-color", part);
                else if (IsBorderStyleWord(part))
                    store(name + "-style", part);
                else if (sh == 3)
                    for (const char* side : sides)
                        store(std::string("border-") + side + "-width", part);
                else
                    store(name + "-width", part);
            }
            break;
        }
        case 8: {  // font
            for (const auto& part : SplitParts(value, 7)) {
                if (part.empty())
                    continue;
                const int w = FontWord(part);
                if (part[0] == '/')
                    store("line-height", part.substr(1));
                else if (w == 1 || w == 2)
                    store("font-style", part);
                else if (w >= 3 && w <= 6)
                    store("font-weight", part);
                else if (w == 7)
                    store("font-variant", part);
                else if (w >= 8)
                    store("font-size", part);
                else if (!IsDigit(part[0]))
                    store("font-family", part);
                else {
                    const bool plainInteger = part.find_first_not_of("0123456789") == std::string::npos;
                    if (!plainInteger || std::atoi(part.c_str()) < 100)
                        store("font-size", part);
                }
            }
            break;
        }
        case 9: {  // background
            std::string rest = value;
            for (const auto& g : TakeGroups(rest, 7)) {
                if (StartsWith(LowerCase(g), "rgb("))
                    store("background-color", g);
                else
                    store("background-image", ExpandUrl(g));
            }
            std::vector<std::string> position;
            for (const auto& part : SplitParts(rest, 7)) {
                if (part.empty())
                    continue;
                if (IsColorPart(part))
                    store("background-color", part);
                else if (part == "none")
                    store("background-image", part);
                else if (Contains(part, "repeat"))
                    store("background-repeat", part);
                else if (part == "fixed" || part == "scroll")
                    store("background-attachment", part);
                else
                    position.push_back(part);
            }
            if (!position.empty()) {
                std::string pos;
                for (std::size_t k = position.size() > 2 ? position.size() - 2 : 0; k < position.size(); ++k)
                    pos += position[k] + " ";
                store("background-position", pos);
            }
            break;
        }
        case 10: {  // list-style
            for (const auto& part : SplitParts(value, 7)) {
                if (Contains(LowerCase(part), "url("))
                    store("list-style-image", ExpandUrl(part));
                else
                    store("list-style-type", part);
            }
            break;
        }
        default:
            break;
        }
    }

    char ch = ' ';
    // The code page the sheet is written in.
    int CodePage = kUtf8CodePage;

private:
    TStyleList* list_;
    CharSource source_;
    std::string linkPath_;
    // The character after the last one read, without reading it; empty for a linked sheet.
    CharSource peek_;
    std::vector<std::string> selectors_;
    char pushback_ = 0;
    bool hasPushback_ = false;
};

}  // namespace

void ParseStyleSheet(TStyleList& list, char& ch, const CharSource& source, const std::string& linkPath, bool fromLink,
                     const CharSource& peek, int codePage)
{
    Reader reader(&list, source, linkPath, peek);
    reader.CodePage = codePage;
    reader.ch = ch;
    reader.Sheet(fromLink);
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(reader.ch)));
}

void ParseLinkedStyleSheet(TStyleList& list, const std::string& text, const std::string& linkPath, int codePage)
{
    // A sheet saved as UTF-8 with its signature (as editors write it): the signature is no part
    // of the first selector, which it made unreadable, and the names are UTF-8.
    const bool signature = text.starts_with(kUtf8Signature);
    std::size_t pos = signature ? kUtf8Signature.size() : 0;
    const CharSource source = [&]() -> char {
        if (pos >= text.size())
            return kEofChar;
        const char c = text[pos++];
        // A line end is a blank as in the STYLE element: "table" and "td {…}" on two lines are two
        // selectors, "5px" and "7px" two values.
        return (c == kEofChar || c == '\t' || c == '\n') ? ' ' : c;
    };
    char ch = source();
    ParseStyleSheet(list, ch, source, linkPath, true, {}, signature ? kUtf8CodePage : codePage);
}

bool LoadLinkedStyleSheet(TStyleList& list, const std::string& fileName, const std::string& linkPath)
{
    std::string text;
    try {
        TMemoryStream stream;
        stream.LoadFromFile(fileName);
        text = stream.ToString();
    } catch (const Exception&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
    ParseLinkedStyleSheet(list, text, linkPath);
    return true;
}

void ParseStyleAttribute(const std::string& textIn, TProperties& props, int codePage)
{
    const std::string text = LowerOutsideUrls(textIn);
    Reader reader(nullptr, nullptr, std::string());
    reader.CodePage = codePage;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
            ++i;
        std::string name;
        while (i < text.size() && IsNameChar(text[i]))
            name += text[i++];
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i < text.size() && (text[i] == ':' || text[i] == '=')) {
            ++i;
            const auto end = text.find(';', i);
            const std::string value = StripQuotes(Trim(text.substr(i, end == std::string::npos ? std::string::npos : end - i)));
            i = end == std::string::npos ? text.size() : end;
            if (!name.empty())
                reader.Declaration(name, value, [&](const std::string& n, const std::string& v) { props.AddPropertyByName(n, v); });
        }
        if (i < text.size() && text[i] == ';')
            ++i;
        if (i == start)
            ++i;  // a character no declaration starts with
    }
}

}  // namespace velmoran
