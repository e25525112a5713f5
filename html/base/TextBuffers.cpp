// The parser's text buffers; see TextBuffers.h.
#include "html/base/TextBuffers.h"

#include "platform/core/CodePage.h"
#include "platform/core/Cp1252.h"

namespace velmoran {

namespace {
constexpr std::size_t kInitialRoom = 300;
}

TCharCollection::TCharCollection()
{
    chars_.reserve(kInitialRoom);
    indexes_.reserve(kInitialRoom);
}

void TCharCollection::Add(char ch, int index)
{
    chars_ += ch;
    indexes_.push_back(index);
}

void TCharCollection::Concat(const TCharCollection& other)
{
    chars_ += other.chars_;
    indexes_.insert(indexes_.end(), other.indexes_.begin(), other.indexes_.end());
}

void TCharCollection::Clear()
{
    chars_.clear();
    indexes_.clear();
}

TokenObj::TokenObj()
{
    chars_.reserve(kInitialRoom);
    indexes_.reserve(kInitialRoom);
}

void TokenObj::AddUnicodeChar(char16_t ch, int index)
{
    chars_ += ch;
    indexes_.push_back(index);
}

void TokenObj::AddString(const TCharCollection& chars, int codePage)
{
    const std::string& bytes = chars.Chars();
    const auto& idx = chars.Indexes();
    // Windows-1252, the pages' default, has one character per byte: no per-character look-up of
    // lengths or conversion buffers.
    if (codePage == 0 || codePage == kAnsiCodePage) {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            AddUnicodeChar(static_cast<char16_t>(Cp1252ToUnicode(static_cast<unsigned char>(bytes[i]))), idx[i]);
        return;
    }
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        int len = CharLengthInCodePage(codePage, bytes, pos);
        if (len <= 0)
            len = 1;
        if (pos + static_cast<std::size_t>(len) > bytes.size())
            len = static_cast<int>(bytes.size() - pos);
        const std::u16string wide = MultibyteToWide(codePage, std::string_view(bytes).substr(pos, static_cast<std::size_t>(len)));
        for (char16_t c : wide)
            AddUnicodeChar(c, idx[pos]);
        pos += static_cast<std::size_t>(len);
    }
}

void TokenObj::Concat(const TokenObj& other)
{
    chars_ += other.chars_;
    indexes_.insert(indexes_.end(), other.indexes_.begin(), other.indexes_.end());
}

void TokenObj::Clear()
{
    chars_.clear();
    indexes_.clear();
}

}  // namespace velmoran
