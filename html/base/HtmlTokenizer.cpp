// The HTML tokenizer; see HtmlTokenizer.h.
#include "html/base/HtmlTokenizer.h"

#include "html/base/WideText.h"
#include "platform/core/CodePage.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <utility>

namespace velmoran {

namespace {

constexpr unsigned char CR = 13;
constexpr unsigned char LF = 10;
constexpr unsigned char TAB = 9;
constexpr unsigned char ESC = 27;

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(unsigned char c) { return HexDigitValue(c) >= 0; }
bool IsAlnum(unsigned char c) { return IsLetter(c) || IsDigit(c); }
unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }
int HexValue(unsigned char c) { return HexDigitValue(c); }

struct Entity {
    const char* Name;
    int Code;
};

// The character entities of HTML 4.01, plus "apos" (read as the right single quotation mark).
const Entity kEntities[] = {
    {"nbsp", 160}, {"iexcl", 161}, {"cent", 162}, {"pound", 163}, {"curren", 164}, {"yen", 165},
    {"brvbar", 166}, {"sect", 167}, {"uml", 168}, {"copy", 169}, {"ordf", 170}, {"laquo", 171}, {"not", 172},
    {"shy", 173}, {"reg", 174}, {"macr", 175}, {"deg", 176}, {"plusmn", 177}, {"sup2", 178}, {"sup3", 179},
    {"acute", 180}, {"micro", 181}, {"para", 182}, {"middot", 183}, {"cedil", 184}, {"sup1", 185},
    {"ordm", 186}, {"raquo", 187}, {"frac14", 188}, {"frac12", 189}, {"frac34", 190}, {"iquest", 191},
    {"Agrave", 192}, {"Aacute", 193}, {"Acirc", 194}, {"Atilde", 195}, {"Auml", 196}, {"Aring", 197},
    {"AElig", 198}, {"Ccedil", 199}, {"Egrave", 200}, {"Eacute", 201}, {"Ecirc", 202}, {"Euml", 203},
    {"Igrave", 204}, {"Iacute", 205}, {"Icirc", 206}, {"Iuml", 207}, {"ETH", 208}, {"Ntilde", 209},
    {"Ograve", 210}, {"Oacute", 211}, {"Ocirc", 212}, {"Otilde", 213}, {"Ouml", 214}, {"times", 215},
    {"Oslash", 216}, {"Ugrave", 217}, {"Uacute", 218}, {"Ucirc", 219}, {"Uuml", 220}, {"Yacute", 221},
    {"THORN", 222}, {"szlig", 223}, {"agrave", 224}, {"aacute", 225}, {"acirc", 226}, {"atilde", 227},
    {"auml", 228}, {"aring", 229}, {"aelig", 230}, {"ccedil", 231}, {"egrave", 232}, {"eacute", 233},
    {"ecirc", 234}, {"euml", 235}, {"igrave", 236}, {"iacute", 237}, {"icirc", 238}, {"iuml", 239},
    {"eth", 240}, {"ntilde", 241}, {"ograve", 242}, {"oacute", 243}, {"ocirc", 244}, {"otilde", 245},
    {"ouml", 246}, {"divide", 247}, {"oslash", 248}, {"ugrave", 249}, {"uacute", 250}, {"ucirc", 251},
    {"uuml", 252}, {"yacute", 253}, {"thorn", 254}, {"yuml", 255}, {"fnof", 402},
    {"Alpha", 913}, {"Beta", 914}, {"Gamma", 915}, {"Delta", 916}, {"Epsilon", 917}, {"Zeta", 918},
    {"Eta", 919}, {"Theta", 920}, {"Iota", 921}, {"Kappa", 922}, {"Lambda", 923}, {"Mu", 924}, {"Nu", 925},
    {"Xi", 926}, {"Omicron", 927}, {"Pi", 928}, {"Rho", 929}, {"Sigma", 931}, {"Tau", 932}, {"Upsilon", 933},
    {"Phi", 934}, {"Chi", 935}, {"Psi", 936}, {"Omega", 937},
    {"alpha", 945}, {"beta", 946}, {"gamma", 947}, {"delta", 948}, {"epsilon", 949}, {"zeta", 950},
    {"eta", 951}, {"theta", 952}, {"iota", 953}, {"kappa", 954}, {"lambda", 955}, {"mu", 956}, {"nu", 957},
    {"xi", 958}, {"omicron", 959}, {"pi", 960}, {"rho", 961}, {"sigmaf", 962}, {"sigma", 963}, {"tau", 964},
    {"upsilon", 965}, {"phi", 966}, {"chi", 967}, {"psi", 968}, {"omega", 969}, {"thetasym", 977},
    {"upsih", 978}, {"piv", 982}, {"apos", 8217}, {"bull", 8226}, {"hellip", 8230}, {"prime", 8242},
    {"Prime", 8243}, {"oline", 8254}, {"frasl", 8260}, {"weierp", 8472}, {"image", 8465}, {"real", 8476},
    {"trade", 8482}, {"alefsym", 8501}, {"larr", 8592}, {"uarr", 8593}, {"rarr", 8594}, {"darr", 8595},
    {"harr", 8596}, {"crarr", 8629}, {"lArr", 8656}, {"uArr", 8657}, {"rArr", 8658}, {"dArr", 8659},
    {"hArr", 8660}, {"forall", 8704}, {"part", 8706}, {"exist", 8707}, {"empty", 8709}, {"nabla", 8711},
    {"isin", 8712}, {"notin", 8713}, {"ni", 8715}, {"prod", 8719}, {"sum", 8721}, {"minus", 8722},
    {"lowast", 8727}, {"radic", 8730}, {"prop", 8733}, {"infin", 8734}, {"ang", 8736}, {"and", 8743},
    {"or", 8744}, {"cap", 8745}, {"cup", 8746}, {"int", 8747}, {"there4", 8756}, {"sim", 8764},
    {"cong", 8773}, {"asymp", 8776}, {"ne", 8800}, {"equiv", 8801}, {"le", 8804}, {"ge", 8805},
    {"sub", 8834}, {"sup", 8835}, {"nsub", 8836}, {"sube", 8838}, {"supe", 8839}, {"oplus", 8853},
    {"otimes", 8855}, {"perp", 8869}, {"sdot", 8901}, {"lceil", 8968}, {"rceil", 8969}, {"lfloor", 8970},
    {"rfloor", 8971}, {"lang", 9001}, {"rang", 9002}, {"loz", 9674}, {"spades", 9824}, {"clubs", 9827},
    {"hearts", 9829}, {"diams", 9830}, {"quot", 34}, {"amp", 38}, {"lt", 60}, {"gt", 62}, {"OElig", 338},
    {"oelig", 339}, {"Scaron", 352}, {"scaron", 353}, {"Yuml", 376}, {"circ", 710}, {"tilde", 732},
    {"ensp", 8194}, {"emsp", 8195}, {"thinsp", 8201}, {"zwnj", 8204}, {"zwj", 8205}, {"lrm", 8206},
    {"rlm", 8207}, {"ndash", 8211}, {"mdash", 8212}, {"lsquo", 8216}, {"rsquo", 8217}, {"sbquo", 8218},
    {"ldquo", 8220}, {"rdquo", 8221}, {"bdquo", 8222}, {"dagger", 8224}, {"Dagger", 8225}, {"permil", 8240},
    {"lsaquo", 8249}, {"rsaquo", 8250}, {"euro", 8364}};
constexpr int kEntityCount = sizeof(kEntities) / sizeof(kEntities[0]);
static_assert(kEntityCount == 253);

// The entity names sorted case-sensitively, for a bisection search.
const std::vector<std::pair<std::string_view, int>>& SortedEntities()
{
    static const std::vector<std::pair<std::string_view, int>> sorted = [] {
        std::vector<std::pair<std::string_view, int>> v;
        for (const Entity& e : kEntities)
            v.emplace_back(e.Name, e.Code);
        std::sort(v.begin(), v.end());
        return v;
    }();
    return sorted;
}

struct CharsetRow {
    const char* Key;
    int Charset;
};

const CharsetRow kCharsets[] = {
    {"1252", 0}, {"8859-1", 0}, {"1253", 161}, {"8859-7", 161}, {"1250", 238}, {"8859-2", 31}, {"1251", 204},
    {"8859-5", 204}, {"koi", 204}, {"866", 204}, {"1254", 162}, {"8859-3", 162}, {"8859-9", 162},
    {"1257", 186}, {"8859-4", 186}, {"932", 128}, {"949", 129}, {"936", 134}, {"950", 136}, {"1255", 177},
    {"1256", 178}, {"1258", 163}, {"874", 222}, {"ansi", 0}, {"default", 1}, {"symbol", 2}, {"shiftjis", 128},
    {"shift_jis", 128}, {"x-sjis", 128}, {"hangeul", 129}, {"gb2312", 134}, {"big5", 136}, {"oem", 255},
    {"johab", 130}, {"hebrew", 177}, {"arabic", 178}, {"greek", 161}, {"turkish", 162}, {"vietnamese", 163},
    {"thai", 222}, {"easteurope", 238}, {"russian", 204}, {"euc-kr", 129}, {"5601", 129}, {"euc-jp", 30},
    {"8859-15", 0}, {"tis-620", 222}};
static_assert(sizeof(kCharsets) / sizeof(kCharsets[0]) == 47);

// One JIS X 0208 character (row and cell bytes 0x21-0x7E) as its two Shift-JIS bytes.
void JisToSjis(unsigned char j1, unsigned char j2, std::string& out)
{
    // Rows from 0x5F on take lead bytes from 0xE0, as the standard maps them (0xA0 leads nothing).
    const int s1 = (j1 + 1) / 2 + (j1 < 0x5F ? 112 : 176);
    int s2;
    if (j1 & 1)
        s2 = j2 + 31 + (j2 > 95 ? 1 : 0);
    else
        s2 = j2 + 126;
    out += static_cast<char>(s1 & 0xFF);
    out += static_cast<char>(s2 & 0xFF);
}

// A numeric reference's digits; values beyond Unicode stop growing.
std::uint32_t Accumulate(std::uint32_t value, int digit, int base)
{
    if (value >= 0x110000)
        return value;
    return value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
}

// Numeric value of an attribute text: the rounded decimal number it starts with, so that a size
// written with its unit ("60px") reads as its number; 0 when it starts with none.
int RoundedNumber(std::string_view text)
{
    std::string s(text);
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    if (!s.empty() && s[0] == '.')
        s = "0" + s;
    double d = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), d);
    if (res.ec != std::errc() || !std::isfinite(d))
        return 0;
    if (d > 2147483647.0)
        return 2147483647;
    if (d < -2147483647.0)
        return -2147483647;  // kept symmetric, so that its absolute value is a number too
    return static_cast<int>(std::nearbyint(d));
}

}  // namespace

int LookupEntity(std::string_view name)
{
    const auto& v = SortedEntities();
    auto it = std::lower_bound(v.begin(), v.end(), name,
                               [](const std::pair<std::string_view, int>& e, std::string_view n) { return e.first < n; });
    if (it != v.end() && it->first == name)
        return it->second;
    return -1;
}

int EntityCount() { return kEntityCount; }

bool LookupCharset(std::string_view name, int& charset)
{
    const std::string lower = LowerCase(name);
    for (const CharsetRow& row : kCharsets)
        if (lower.find(row.Key) != std::string::npos) {
            charset = row.Charset;
            return true;
        }
    return false;
}

std::string Iso2022JpToShiftJis(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool dbcs = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == ESC && i + 2 < text.size()) {
            const char a = text[i + 1], b = text[i + 2];
            if (a == '(' && (b == 'B' || b == 'J')) {
                dbcs = false;
                i += 3;
                continue;
            }
            if (a == '$' && (b == '@' || b == 'B')) {
                dbcs = true;
                i += 3;
                continue;
            }
        }
        if (dbcs && i + 1 < text.size()) {
            JisToSjis(c, static_cast<unsigned char>(text[i + 1]), out);
            i += 2;
        } else {
            out += static_cast<char>(c & 0x7F);
            ++i;
        }
    }
    return out;
}

std::string EucJpToShiftJis(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        // SS2 and 0xA1-0xDF is a half-width katakana, in Shift-JIS that byte alone (the standard).
        if (c == 0x8E && next >= 0xA1 && next <= 0xDF) {
            out += static_cast<char>(next);
            i += 2;
            continue;
        }
        if (c >= 161 && i + 1 < text.size()) {
            JisToSjis(c & 0x7F, next & 0x7F, out);
            i += 2;
        } else {
            out += static_cast<char>(c);
            ++i;
        }
    }
    return out;
}

THtmlTokenizer::THtmlTokenizer() = default;

std::string AttributeFileName(std::string_view written, int codePage)
{
    THtmlTokenizer tokenizer;
    const char quote = written.find('"') == std::string_view::npos ? '"' : '\'';
    tokenizer.SetSource(std::string("<img src=") + quote + std::string(written) + quote + ">");
    tokenizer.CodePage = tokenizer.PropCodePage = codePage;
    tokenizer.GetCh();
    tokenizer.NextToken();
    const TAttribute* src = tokenizer.Attributes.Find(SrcSy);
    return src ? src->FileName() : std::string(written);
}

THtmlTokenizer::SourceInfo THtmlTokenizer::SetSource(std::string text)
{
    SourceInfo info;
    int nuls = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\0') {
            if (nuls == 100) {
                text.resize(i);
                break;
            }
            text[i] = ' ';
            ++nuls;
        }
    startIndex_ = -1;
    if (text.size() > kUtf8Signature.size() && text.starts_with(kUtf8Signature)) {
        text.erase(0, kUtf8Signature.size());
        info.Utf8Signature = true;
        startIndex_ = 2;
    } else if (text.find("\x1b(B") != std::string::npos) {
        text = Iso2022JpToShiftJis(text);
        info.Iso2022Jp = true;
    }
    doc_ = std::move(text);
    eucConverted_ = false;
    includedBytes_ = 0;
    Restart();
    return info;
}

void THtmlTokenizer::Restart()
{
    docPos_ = 0;
    SIndex = startIndex_;
    inc_.clear();
    incPos_ = 0;
    incMarks_.clear();
    inputMode_ = 1;
    savedMode_ = 1;
    lineEnd_ = 0;
    InComment = false;
    Ch = LCh = 0;
    Sy = EofSy;
    Token.Clear();
    Attributes.Clear();
}

unsigned char THtmlTokenizer::ReadRaw()
{
    for (;;) {
        if (inputMode_ == 1) {
            if (docPos_ >= doc_.size())
                return 0;
            if ((docPos_ & 0xFFF) == 0 && !PreScan && OnProgress && !doc_.empty()) {
                // An empty document never gets here, so the division is safe.
                const long long pct = static_cast<long long>(docPos_) * ProgressScale / static_cast<long long>(doc_.size());
                OnProgress(static_cast<int>(pct));
            }
            ++SIndex;
            return static_cast<unsigned char>(doc_[docPos_++]);
        }
        if (inputMode_ == 2) {
            if (incPos_ >= inc_.size()) {
                inc_.clear();
                incPos_ = 0;
                incMarks_.clear();
                inputMode_ = savedMode_;
                continue;
            }
            const auto c = static_cast<unsigned char>(inc_[incPos_++]);
            while (!incMarks_.empty() && incPos_ > incMarks_.back())
                incMarks_.pop_back();
            return c;
        }
        return 0;
    }
}

unsigned char THtmlTokenizer::Peek()
{
    if (inputMode_ == 2 && incPos_ < inc_.size())
        return static_cast<unsigned char>(inc_[incPos_]);
    const int mode = inputMode_ == 2 ? savedMode_ : inputMode_;
    if (mode == 1 && docPos_ < doc_.size())
        return static_cast<unsigned char>(doc_[docPos_]);
    return 0;
}

void THtmlTokenizer::GetChBasic()
{
    unsigned char c = ReadRaw();
    if ((c == LF && lineEnd_ == 1) || (c == CR && lineEnd_ == 2))
        c = ReadRaw();
    if (c == LF) {
        lineEnd_ = 2;
        c = CR;
    } else if (c == CR) {
        lineEnd_ = 1;
    } else {
        lineEnd_ = 0;
        if (c == TAB)
            c = ' ';
    }
    Ch = c;
    LCh = Upper(c);
    if (c == 0 && InComment)
        throw EParseError(kOpenCommentMessage);
}

void THtmlTokenizer::GetChSlow()
{
    GetChBasic();
    while (!NoComments && !InComment && Ch == '<') {
        const unsigned char next = Peek();
        if (next == '!') {
            GetChBasic();  // the "!"
            InComment = true;
            GetChBasic();
            bool comment = false;
            if (Ch == '-') {
                GetChBasic();
                comment = Ch == '-';
            }
            if (comment) {
                if (OnInclude && Peek() == '#')
                    DoInclude();
                else
                    SkipCommentBody(false);
            } else {
                while (Ch != '>')
                    GetChBasic();
            }
            InComment = false;
            GetChBasic();
        } else if (next == '%') {
            GetChBasic();
            SkipServerBlock();
            GetChBasic();
        } else {
            break;
        }
    }
}

void THtmlTokenizer::SkipCommentBody(bool haveChar)
{
    if (!haveChar)
        GetChBasic();
    for (;;) {
        if (Ch == '-') {
            GetChBasic();
            if (Ch == '-') {
                while (Ch == '-')
                    GetChBasic();
                while (Ch == ' ' || Ch == CR)
                    GetChBasic();
                if (Ch == '!')
                    GetChBasic();
                if (Ch == '>')
                    return;
            }
            continue;  // look at the character after the dash(es)
        }
        GetChBasic();
    }
}

void THtmlTokenizer::SkipServerBlock()
{
    for (;;) {
        GetChBasic();
        if (Ch == 0)
            return;
        if (Ch == '%' && Peek() == '>') {
            GetChBasic();
            return;
        }
    }
}

void THtmlTokenizer::DoInclude()
{
    GetChBasic();  // "#"
    GetChBasic();
    std::string command;
    while (IsAlnum(Ch) || Ch == '_') {
        command += static_cast<char>(Ch);
        GetChBasic();
    }
    std::vector<std::string> params;
    for (;;) {
        while (Ch == ' ' || Ch == CR)
            GetChBasic();
        if (!IsLetter(Ch))
            break;
        std::string name;
        while (IsAlnum(Ch) || Ch == '_') {
            name += static_cast<char>(Ch);
            GetChBasic();
        }
        while (Ch == ' ' || Ch == CR)
            GetChBasic();
        std::string value;
        if (Ch == '=') {
            GetChBasic();
            while (Ch == ' ' || Ch == CR)
                GetChBasic();
            if (Ch == '"' || Ch == '\'') {
                const unsigned char quote = Ch;
                GetChBasic();
                while (Ch != quote && Ch != 0) {
                    if (Ch == '&') {
                        DecodeReference(value, 0);
                        continue;
                    }
                    value += static_cast<char>(Ch == CR ? ' ' : Ch);
                    GetChBasic();
                }
                if (Ch == quote)
                    GetChBasic();
            } else {
                while (Ch != 0 && Ch != TAB && Ch != CR && Ch != ' ' && Ch != '-' && Ch != '>') {
                    if (Ch == '&') {
                        DecodeReference(value, 0);
                        continue;
                    }
                    value += static_cast<char>(Ch);
                    GetChBasic();
                }
            }
        }
        params.push_back(name + "=" + value);
    }
    SkipCommentBody(true);

    std::string text;
    OnInclude(command, params, text);
    if (text.empty())
        return;
    // Self-including text would nest without end: nesting and the amount of included text are capped.
    if (static_cast<int>(incMarks_.size()) >= kMaxIncludeDepth || includedBytes_ + text.size() > kMaxIncludeBytes)
        return;
    includedBytes_ += text.size();
    std::replace(text.begin(), text.end(), '\0', ' ');
    const std::size_t added = text.size();
    if (inputMode_ == 2) {
        const std::size_t consumed = incPos_;
        text.append(inc_, std::min(incPos_, inc_.size()), std::string::npos);
        for (auto& m : incMarks_)
            m = m - consumed + added;
    } else {
        savedMode_ = inputMode_;
        incMarks_.clear();
    }
    incMarks_.push_back(added);
    inc_ = std::move(text);
    incPos_ = 0;
    inputMode_ = 2;
}

void THtmlTokenizer::SkipWhiteSpace()
{
    while (Ch == ' ' || Ch == CR || Ch == TAB)
        GetCh();
}

void THtmlTokenizer::FlushPending(TCharCollection& pending)
{
    if (pending.Size() > 0) {
        Token.AddString(pending, PropCodePage);
        pending.Clear();
    }
}

THtmlTokenizer::Reference THtmlTokenizer::ReadReference(bool inAttribute)
{
    // An include directive's parameters are read inside a comment, with the comment's reader.
    auto next = [this] {
        if (InComment)
            GetChBasic();
        else
            GetCh();
    };
    Reference ref;
    next();
    if (Ch == '#') {
        next();
        ref.Literal = "&#";
        const bool hex = LCh == 'X';
        if (hex) {
            ref.Literal += static_cast<char>(Ch);
            next();
            if (!IsHexDigit(Ch))
                return ref;
        } else if (!IsDigit(Ch)) {
            return ref;
        }
        while (hex ? IsHexDigit(Ch) : IsDigit(Ch)) {
            ref.CodePoint = hex ? Accumulate(ref.CodePoint, HexValue(Ch), 16) : Accumulate(ref.CodePoint, Ch - '0', 10);
            next();
        }
        if (Ch == ';')
            next();
        ref.Decoded = ref.Numeric = true;
        return ref;
    }
    std::string name;
    while (IsAlnum(Ch) && name.size() < 11) {
        name += static_cast<char>(Ch);
        next();
    }
    const int cp = LookupEntity(name);
    // In attribute values (URLs with parameters) a name not closed by ";" counts only up to U+00FF.
    if (cp >= 0 && (!inAttribute || Ch == ';' || cp <= 255)) {
        if (Ch == ';')
            next();
        ref.Decoded = true;
        ref.CodePoint = static_cast<std::uint32_t>(cp);
        return ref;
    }
    ref.Literal = "&" + name;
    return ref;
}

std::u16string THtmlTokenizer::Reference::Units() const
{
    std::uint32_t cp = CodePoint;
    if (cp == 9)
        cp = ' ';
    else if (cp < 32 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = '?';
    else if (Numeric && cp >= 127 && cp <= 159)
        // Windows-1252 in every code page: as a lone byte it is no character in UTF-8 or multi-byte pages.
        cp = Cp1252ToUnicode(static_cast<unsigned char>(cp));
    if (cp <= 0xFFFF)
        return std::u16string(1, static_cast<char16_t>(cp));
    cp -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (cp >> 10)), static_cast<char16_t>(0xDC00 + (cp & 0x3FF))};
}

void THtmlTokenizer::DecodeReference(TCharCollection& pending)
{
    const int index = SIndex;
    const Reference ref = ReadReference(false);
    if (!ref.Decoded) {
        for (char c : ref.Literal)
            pending.Add(c, index);
        return;
    }
    FlushPending(pending);
    for (char16_t unit : ref.Units())
        Token.AddUnicodeChar(unit, index);
}

void THtmlTokenizer::DecodeReference(std::string& out, int codePage)
{
    const Reference ref = ReadReference(true);
    out += ref.Decoded ? WideToMultibyte(codePage, ref.Units()) : ref.Literal;
}

bool THtmlTokenizer::GetAttribute(Symb& sym, std::string& name, std::string& value, int& numeric, bool& percent)
{
    SkipWhiteSpace();
    if (!IsLetter(Ch))
        return false;
    name.clear();
    std::string upper;
    while (IsAlnum(Ch) || Ch == '-') {
        name += static_cast<char>(Ch);
        upper += static_cast<char>(LCh);
        GetCh();
    }
    sym = LookupAttribute(upper);
    value.clear();
    numeric = sym == BorderSy ? 1 : 0;
    percent = false;
    SkipWhiteSpace();
    if (Ch != '=')
        return true;
    GetCh();
    SkipWhiteSpace();
    if (Ch == '"' || Ch == '\'') {
        const unsigned char quote = Ch;
        // References become characters of the code page the value is read in: a UTF-8 page's
        // "&ouml;" is UTF-8, as its own "ö" is.
        const int cp = (sym == ValueSy && WideFormValues) ? PropCodePage : CodePage;
        const bool keepLineEnds = sym == TitleSy || sym == AltSy;
        GetCh();
        while (Ch != quote && Ch != 0) {
            if (Ch == '&') {
                DecodeReference(value, cp);
                continue;
            }
            if (Ch == CR) {
                if (keepLineEnds)
                    value += "\r\n";
            } else {
                value += static_cast<char>(Ch);
            }
            GetCh();
        }
        if (Ch == quote)
            GetCh();
        std::string t = Trim(value);
        const auto pc = t.find('%');
        if (pc != std::string::npos && pc + 1 == t.size()) {
            t.pop_back();
            percent = true;
        }
        if (!t.empty() && (t[0] == '+' || t[0] == '-' || t[0] == '.' || IsDigit(static_cast<unsigned char>(t[0]))))
            numeric = RoundedNumber(Trim(t));
    } else if (Ch == '+' || Ch == '-' || IsDigit(Ch)) {
        while (Ch != 0 && Ch != TAB && Ch != CR && Ch != ' ' && Ch != '%' && Ch != '>') {
            if (Ch == '&') {
                DecodeReference(value, PropCodePage);
                continue;
            }
            value += static_cast<char>(Ch);
            GetCh();
        }
        SkipWhiteSpace();
        numeric = RoundedNumber(value);
        if (Ch == '%') {
            value += '%';
            percent = true;
            GetCh();
        }
    } else {
        while (Ch != 0 && Ch != TAB && Ch != CR && Ch != ' ' && Ch != '>') {
            if (Ch == '&') {
                DecodeReference(value, PropCodePage);
                continue;
            }
            value += static_cast<char>(Ch);
            GetCh();
        }
    }
    if (sym == IDSy && !value.empty() && !PreScan && OnRegisterID)
        OnRegisterID(value, SIndex);
    return true;
}

void THtmlTokenizer::DoTag()
{
    TagPos = SIndex;
    const unsigned char next = Peek();
    if (next != '/' && next != '?' && !IsLetter(next)) {
        DoText();
        return;
    }
    GetCh();
    bool endTag = false;
    if (Ch == '/') {
        endTag = true;
        GetCh();
    }
    Sy = CommandSy;
    char buffer[255];
    std::size_t length = 0;
    while ((Ch == '/' || IsAlnum(Ch) || Ch == '_') && length < sizeof buffer) {
        if (Ch == '/' && length > 0)
            break;
        buffer[length++] = static_cast<char>(LCh);
        GetCh();
        if (length == 1 && buffer[0] == 'H' && Ch >= '1' && Ch <= '6')
            break;
    }
    const std::string_view name(buffer, length);
    CommandName = name;
    const Symb tag = LookupTag(name);
    if (tag != NoSy) {
        if (!endTag)
            Sy = tag;
        else if (tag < kEndTagCount)
            Sy = EndSymbolOf(tag);
    }
    SkipWhiteSpace();
    HeadingLevel = 0;
    if ((Sy == HeadingSy || Sy == HeadingEndSy) && Ch >= '1' && Ch <= '6') {
        HeadingLevel = Ch - '0';
        GetCh();
    }
    Attributes.Clear();
    Symb sym;
    std::string attrName, value;
    int numeric = 0;
    bool percent = false;
    while (GetAttribute(sym, attrName, value, numeric, percent)) {
        auto a = std::make_unique<TAttribute>();
        a->Which = sym;
        a->WhichName = attrName;
        a->Name = value;
        a->Value = numeric;
        a->Percent = percent;
        a->CodePage = CodePage;
        Attributes.Add(std::move(a));
    }
    while (Ch != '>' && Ch != 0)
        GetCh();
    if (Ch == '>' && Sy != ScriptSy && Sy != StyleSy)
        GetCh();
}

void THtmlTokenizer::DoText()
{
    Sy = TextSy;
    TCharCollection& pending = pending_;
    pending.Clear();
    if (Ch == '<') {  // a "<" that starts no tag is text
        if (!PreScan)
            pending.Add('<', SIndex);
        GetCh();
    }
    if (PreMode) {
        // Characters as they stand; the token ends at a line end.
        while (Ch != '<' && Ch != CR && Ch >= 9) {
            if (Ch == '&') {
                DecodeReference(pending);
                continue;
            }
            pending.Add(static_cast<char>(Ch), SIndex);
            GetCh();
        }
        FlushPending(pending);
        return;
    }
    for (;;) {
        if (Ch == ' ' || Ch == CR || Ch == TAB || Ch == LF) {
            if (!PreScan)
                pending.Add(' ', SIndex);
            while (Ch == ' ' || Ch == CR || Ch == TAB || Ch == LF)
                GetCh();
            continue;
        }
        if (Ch == '&') {
            if (PreScan)
                GetCh();
            else
                DecodeReference(pending);
            continue;
        }
        if (Ch == '<' || Ch < 9)
            break;
        if (!PreScan)
            pending.Add(static_cast<char>(Ch), SIndex);
        GetCh();
    }
    FlushPending(pending);
}

void THtmlTokenizer::NextToken()
{
    Token.Clear();
    CommandName.clear();
    if (Ch == 0) {
        Sy = EofSy;
        return;
    }
    if (Ch == '<') {
        DoTag();
        return;
    }
    if (PreMode && Ch == CR) {
        Sy = EolSy;
        GetCh();
        return;
    }
    if (Ch >= 9) {
        DoText();
        return;
    }
    Ch = LCh = '?';
    Sy = TextSy;
}

bool THtmlTokenizer::LookupDocumentCharset(std::string_view name, int& charset)
{
    if (!LookupCharset(name, charset))
        return false;
    if (charset == 30) {
        if (!eucConverted_) {
            eucConverted_ = true;
            ConvertFromCurrentCharacter(EucJpToShiftJis);
        }
        charset = 128;
    }
    return true;
}

void THtmlTokenizer::ConvertFromCurrentCharacter(std::string (*convert)(std::string_view))
{
    // What was read before stays as it was read: converting it too would move the cursor off the
    // text (a half-width katakana is two bytes in EUC-JP, one in Shift-JIS). The current
    // character was read raw; it is the first of the converted text and is read again.
    const bool fromDocument = inputMode_ == 1 && Ch != 0 && docPos_ > 0;
    const std::size_t from = fromDocument ? docPos_ - 1 : docPos_;
    doc_ = doc_.substr(0, from) + convert(std::string_view(doc_).substr(from));
    if (fromDocument && Ch >= 0x80) {
        Ch = LCh = static_cast<unsigned char>(doc_[from]);
    }
}

}  // namespace velmoran
