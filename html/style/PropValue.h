// One style property value: empty, an integer, a real number or a text.
// A text is shared between copies: property sets are copied from parent to child for every element,
// and the texts (font families, lengths, keywords) never change once stored. The count of its
// holders is a plain integer: documents and their style values live on one thread, and a copy
// costs no more than the sixteen bytes it moves.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace velmoran {

class PropValue {
public:
    PropValue() noexcept { u_.Int = 0; }
    PropValue(int v) noexcept : kind_(Kind::Int) { u_.Int = v; }
    PropValue(std::uint32_t v) noexcept : kind_(Kind::Int) { u_.Int = static_cast<int>(v); }
    PropValue(double v) noexcept : kind_(Kind::Real) { u_.Real = v; }
    PropValue(std::string v) : kind_(Kind::Text) { u_.Text = new SharedText{std::move(v), 1}; }
    PropValue(const char* v) : PropValue(std::string(v)) {}

    PropValue(const PropValue& other) noexcept : kind_(other.kind_), u_(other.u_)
    {
        if (kind_ == Kind::Text)
            ++u_.Text->Holders;
    }
    PropValue(PropValue&& other) noexcept : kind_(other.kind_), u_(other.u_) { other.kind_ = Kind::Empty; }
    PropValue& operator=(const PropValue& other) noexcept
    {
        if (other.kind_ == Kind::Text)
            ++other.u_.Text->Holders;
        Release();
        kind_ = other.kind_;
        u_ = other.u_;
        return *this;
    }
    PropValue& operator=(PropValue&& other) noexcept
    {
        if (this != &other) {
            Release();
            kind_ = other.kind_;
            u_ = other.u_;
            other.kind_ = Kind::Empty;
        }
        return *this;
    }
    ~PropValue() { Release(); }

    bool IsEmpty() const { return kind_ == Kind::Empty; }
    bool IsInt() const { return kind_ == Kind::Int; }
    bool IsReal() const { return kind_ == Kind::Real; }
    bool IsText() const { return kind_ == Kind::Text; }
    bool IsNumber() const { return IsInt() || IsReal(); }

    int Int() const { return u_.Int; }
    double Real() const { return u_.Real; }
    const std::string& Text() const { return u_.Text->Text; }
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
        switch (kind_) {
        case Kind::Empty:
            return true;
        case Kind::Int:
            return u_.Int == other.u_.Int;
        case Kind::Real:
            return u_.Real == other.u_.Real;
        case Kind::Text:
            return u_.Text == other.u_.Text || u_.Text->Text == other.u_.Text->Text;
        }
        return false;
    }

private:
    struct SharedText {
        std::string Text;
        int Holders;
    };
    enum class Kind : std::uint8_t { Empty, Int, Real, Text };

    void Release() noexcept
    {
        if (kind_ == Kind::Text && --u_.Text->Holders == 0)
            delete u_.Text;
    }

    union Storage {
        int Int;
        double Real;
        SharedText* Text;
    };
    Kind kind_ = Kind::Empty;
    Storage u_;  // copied whole, whichever member it holds
};

}  // namespace velmoran
