// The parser's text buffers: raw 8-bit text and wide text, each character with the source index
// it came from.
#pragma once

#include <string>
#include <vector>

namespace velmoran {

class TCharCollection {
public:
    TCharCollection();
    void Add(char ch, int index);
    void Concat(const TCharCollection& other);
    void Clear();
    std::string AsString() const { return chars_; }
    const std::string& Chars() const { return chars_; }
    int Size() const { return static_cast<int>(chars_.size()); }
    const std::vector<int>& Indexes() const { return indexes_; }

private:
    std::string chars_;
    std::vector<int> indexes_;
};

class TokenObj {
public:
    TokenObj();
    void AddUnicodeChar(char16_t ch, int index);
    // Converts the collection from its code page; each resulting character keeps the source index
    // of the first byte of its (multi-byte) sequence.
    void AddString(const TCharCollection& chars, int codePage);
    void Concat(const TokenObj& other);
    void Clear();
    int Leng() const { return static_cast<int>(chars_.size()); }
    const std::u16string& GetString() const { return chars_; }
    const std::u16string& S() const { return chars_; }
    const std::vector<int>& Indexes() const { return indexes_; }

private:
    std::u16string chars_;
    std::vector<int> indexes_;
};

}  // namespace velmoran
