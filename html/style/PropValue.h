// One style property value: empty, an integer, a real number or a text.
// A text is shared between copies: property sets are copied from parent to child for every element,
// and the texts (font families, lengths, keywords) never change once stored. The count of its
// holders is a plain integer: documents and their style values live on one thread, and a copy
// costs no more than the sixteen bytes it moves.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace velmoran {

class PropValue {
public:
    PropValue() noexcept = default;
    PropValue(int v) noexcept : kind_(Kind::Int), bits_(static_cast<std::uint32_t>(v)) {}
    PropValue(std::uint32_t v) noexcept : kind_(Kind::Int), bits_(v) {}
    PropValue(double v) noexcept : kind_(Kind::Real), bits_(std::bit_cast<std::uint64_t>(v)) {}
    PropValue(std::string v) : kind_(Kind::Text), bits_(reinterpret_cast<std::uintptr_t>(new SharedText{std::move(v), 1})) {}
    PropValue(const char* v) : PropValue(std::string(v)) {}

    PropValue(const PropValue& other) noexcept : kind_(other.kind_), bits_(other.bits_)
    {
        if (kind_ == Kind::Text)
            ++Shared()->Holders;
    }
    PropValue(PropValue&& other) noexcept : kind_(other.kind_), bits_(other.bits_)
    {
        other.kind_ = Kind::Empty;
        other.bits_ = 0;
    }
    PropValue& operator=(const PropValue& other) noexcept
    {
        if (other.kind_ == Kind::Text)
            ++other.Shared()->Holders;
        Release();
        kind_ = other.kind_;
        bits_ = other.bits_;
        return *this;
    }
    PropValue& operator=(PropValue&& other) noexcept
    {
        if (this != &other) {
            Release();
            kind_ = other.kind_;
            bits_ = other.bits_;
            other.kind_ = Kind::Empty;
            other.bits_ = 0;
        }
        return *this;
    }
    ~PropValue() { Release(); }

    bool IsEmpty() const { return kind_ == Kind::Empty; }
    bool IsInt() const { return kind_ == Kind::Int; }
    bool IsReal() const { return kind_ == Kind::Real; }
    bool IsText() const { return kind_ == Kind::Text; }
    bool IsNumber() const { return IsInt() || IsReal(); }

    int Int() const { return static_cast<int>(static_cast<std::uint32_t>(bits_)); }
    double Real() const { return std::bit_cast<double>(bits_); }
    const std::string& Text() const { return Shared()->Text; }
    std::uint32_t Color() const { return static_cast<std::uint32_t>(Int()); }
    // Integer or real as a number (0 for anything else).
    double AsNumber() const { return IsInt() ? Int() : IsReal() ? Real() : 0.0; }
    // The value as text, as a person reads it (empty for an empty value).
    std::string ToString() const;

    // Texts compare by their characters, not by where they are kept.
    bool operator==(const PropValue& other) const
    {
        if (kind_ != other.kind_)
            return false;
        if (kind_ == Kind::Real)
            return Real() == other.Real();
        if (bits_ == other.bits_)
            return true;
        return kind_ == Kind::Text && Text() == other.Text();
    }
    // Whether two runs of values are the same values holding the same texts: a comparison of
    // their bytes. Equal values with texts kept apart count as different.
    static bool Identical(const PropValue* a, const PropValue* b, std::size_t count)
    {
        return std::memcmp(static_cast<const void*>(a), static_cast<const void*>(b), count * sizeof(PropValue)) == 0;
    }

    // Copies a run of values that holds no text over a run of empty or number values.
    static void CopyNumbers(PropValue* to, const PropValue* from, std::size_t count)
    {
        std::memcpy(static_cast<void*>(to), static_cast<const void*>(from), count * sizeof(PropValue));
    }

private:
    struct SharedText {
        std::string Text;
        int Holders;
    };
    enum class Kind : std::uint32_t { Empty, Int, Real, Text };

    SharedText* Shared() const { return reinterpret_cast<SharedText*>(static_cast<std::uintptr_t>(bits_)); }
    void Release() noexcept
    {
        if (kind_ == Kind::Text && --Shared()->Holders == 0)
            delete Shared();
    }

    // Every byte is a member and always set, so that runs of values compare by their bytes.
    Kind kind_ = Kind::Empty;
    std::uint32_t spare_ = 0;
    std::uint64_t bits_ = 0;  // the integer, the real's bits or the text's address
};

static_assert(sizeof(PropValue) == 16);

}  // namespace velmoran
