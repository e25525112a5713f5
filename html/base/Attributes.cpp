// Tag attributes and link records; see Attributes.h.
#include "html/base/Attributes.h"

#include "html/base/StyleText.h"
#include "html/base/WideText.h"

#include "platform/core/CodePage.h"

#include <algorithm>

namespace velmoran {

std::string TAttribute::FileName() const
{
    return MultibyteToUtf8(CodePage, Name);
}

std::string TAttribute::Address() const
{
    const std::size_t hash = std::min(Name.find('#'), Name.size());
    return MultibyteToUtf8(CodePage, std::string_view(Name).substr(0, hash)) + Name.substr(hash);
}

TAttribute* TAttributeList::Find(std::uint8_t sym) const
{
    for (const auto& a : *this)
        if (a->Which == sym)
            return a.get();
    return nullptr;
}

TAttribute* TAttributeList::FindName(const std::string& name) const
{
    for (const auto& a : *this)
        if (SameText(a->WhichName, name))
            return a.get();
    return nullptr;
}

std::vector<std::string> TAttributeList::CreateStringList() const
{
    std::vector<std::string> lines;
    for (const auto& a : *this)
        lines.push_back(a->WhichName + "=" + a->Name);
    return lines;
}

const std::string& TAttributeList::GetID()
{
    if (id_.empty())
        if (const TAttribute* a = FindName("id"))
            id_ = LowerCase(a->Name);
    return id_;
}

std::string TAttributeList::GetClass() const
{
    const TAttribute* a = FindName("class");
    if (!a)
        return {};
    const std::string value = LowerCase(Trim(a->Name));
    if (value.find(' ') == std::string::npos)
        return value;
    std::string joined;
    std::string word;
    for (char c : value + " ") {
        if (c == ' ') {
            if (!word.empty())
                joined += "." + word;
            word.clear();
        } else {
            word += c;
        }
    }
    std::string canonical = CanonicalSimpleSelector(joined);
    if (!canonical.empty() && canonical[0] == '.')
        canonical.erase(0, 1);
    return canonical;
}

void TAttributeList::Clear()
{
    TFreeList<TAttribute>::Clear();
    id_.clear();
}

int TUrlTarget::NextLinkID()
{
    static int counter = 10;
    return counter++;
}

void TUrlTarget::Assign(const std::string& url, const std::string& target, const TAttributeList* attributes,
                        int start)
{
    URL = url;
    Target = target;
    ID = NextLinkID();
    utText.Start = start;
    Attr.clear();
    if (attributes)
        for (const auto& line : attributes->CreateStringList())
            Attr += line + "\r\n";
}

void TUrlTarget::Copy(const TUrlTarget& other)
{
    URL = other.URL;
    Target = other.Target;
    ID = other.ID;
    TabIndex = other.TabIndex;
    Attr = other.Attr;
    utText = other.utText;
}

void TUrlTarget::Clear()
{
    URL.clear();
    Target.clear();
    Attr.clear();
    ID = 0;
    TabIndex = 0;
    utText = TextRange{};
}

}  // namespace velmoran
