// The names of an exported page's pictures and style sheets; see ExportNames.h. The scan knows
// no more HTML than it needs: tags with their attributes, comments, and the text of STYLE and
// SCRIPT elements.
#include "shell/ExportNames.h"

#include "platform/core/Text.h"

namespace velmoran {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsTagNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// An attribute value in double quotes.
std::string AttributeValue(const std::string& value)
{
    std::string out = "\"";
    for (const char c : value)
        out += c == '"' ? std::string("&quot;") : std::string(1, c);
    return out + '"';
}

class ExportScanner {
public:
    ExportScanner(std::string_view page, const TExportName& rename) : page_(page), rename_(rename) {}

    std::string Run()
    {
        std::size_t at = 0;
        while ((at = page_.find('<', at)) != std::string_view::npos) {
            if (page_.substr(at, 4) == "<!--") {
                const std::size_t end = page_.find("-->", at + 4);
                at = end == std::string_view::npos ? page_.size() : end + 3;
            } else if (at + 1 < page_.size() && IsTagNameChar(page_[at + 1])) {
                at = Tag(at + 1);
            } else {
                ++at;
            }
        }
        out_.append(page_.substr(copied_));
        return std::move(out_);
    }

private:
    struct Attribute {
        std::string Name;
        std::size_t Begin = 0, End = 0;  // the value, without quotes
        std::size_t Whole = 0;           // the value's first character, its quote included
        std::size_t After = 0;           // after the value and its closing quote
    };

    std::size_t SkipBlanks(std::size_t at) const
    {
        while (at < page_.size() && IsBlank(page_[at]))
            ++at;
        return at;
    }

    // The tag whose name starts at `at`; the position after its ">" (and after the text of a STYLE
    // or SCRIPT element).
    std::size_t Tag(std::size_t at)
    {
        const std::size_t nameStart = at;
        while (at < page_.size() && IsTagNameChar(page_[at]))
            ++at;
        const std::string tag = LowerCase(page_.substr(nameStart, at - nameStart));
        for (;;) {
            at = SkipBlanks(at);
            while (at < page_.size() && page_[at] == '/')
                at = SkipBlanks(at + 1);
            if (at >= page_.size())
                return at;
            if (page_[at] == '>')
                break;
            Attribute attribute;
            if (!ReadAttribute(at, attribute))
                continue;
            Rename(tag, attribute);
            at = attribute.After;
        }
        ++at;
        if (tag == "style" || tag == "script") {
            std::size_t end = FindText(page_, "</" + tag, at);
            if (end == std::string_view::npos)
                end = page_.size();
            if (tag == "style")
                RenameUrls(at, end);
            return end;
        }
        return at;
    }

    // The attribute at `at`; false (with `at` after its name) for one without a value.
    bool ReadAttribute(std::size_t& at, Attribute& attribute) const
    {
        const std::size_t nameStart = at;
        while (at < page_.size() && !IsBlank(page_[at]) && page_[at] != '=' && page_[at] != '>')
            ++at;
        attribute.Name = LowerCase(page_.substr(nameStart, at - nameStart));
        const std::size_t equals = SkipBlanks(at);
        if (equals >= page_.size() || page_[equals] != '=')
            return false;
        at = SkipBlanks(equals + 1);
        attribute.Whole = at;
        if (at < page_.size() && (page_[at] == '"' || page_[at] == '\'')) {
            attribute.Begin = at + 1;
            attribute.End = std::min(page_.find(page_[at], attribute.Begin), page_.size());
            attribute.After = std::min(attribute.End + 1, page_.size());
        } else {
            attribute.Begin = at;
            while (at < page_.size() && !IsBlank(page_[at]) && page_[at] != '>')
                ++at;
            attribute.End = attribute.After = at;
        }
        return true;
    }

    void Rename(const std::string& tag, const Attribute& attribute)
    {
        const std::string& name = attribute.Name;
        const bool picture = (name == "src" && (tag == "img" || tag == "input")) || name == "background";
        if (picture || (name == "href" && tag == "link")) {
            const std::string written = Trim(page_.substr(attribute.Begin, attribute.End - attribute.Begin));
            if (const std::optional<std::string> renamed = rename_(written))
                Replace(attribute.Whole, attribute.After, AttributeValue(*renamed));
        } else if (name == "style") {
            RenameUrls(attribute.Begin, attribute.End);
        }
    }

    // Each url(...) of style text between the two positions; its quotes stay as written.
    void RenameUrls(std::size_t at, std::size_t end)
    {
        while ((at = FindText(page_.substr(0, end), "url(", at)) != std::string_view::npos) {
            std::size_t begin = SkipBlanks(at + 4);
            std::size_t close = 0;
            if (begin < end && (page_[begin] == '"' || page_[begin] == '\'')) {
                close = page_.find(page_[begin], begin + 1);
                ++begin;
            } else {
                close = page_.find(')', begin);
            }
            if (close == std::string_view::npos || close > end)
                return;
            const std::string written = Trim(page_.substr(begin, close - begin));
            if (const std::optional<std::string> renamed = rename_(written))
                Replace(begin, close, *renamed);
            at = close;
        }
    }

    void Replace(std::size_t begin, std::size_t end, const std::string& text)
    {
        out_.append(page_.substr(copied_, begin - copied_));
        out_ += text;
        copied_ = end;
    }

    std::string_view page_;
    const TExportName& rename_;
    std::string out_;
    std::size_t copied_ = 0;  // the page up to here is in out_
};

}  // namespace

std::string WithExportNames(std::string_view page, const TExportName& rename)
{
    return ExportScanner(page, rename).Run();
}

}  // namespace velmoran
