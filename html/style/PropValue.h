// One style property value: empty, an integer, a real number or a text.
// A text is shared between copies: property sets are copied from parent to child for every element,
// and the texts (font families, lengths, keywords) never change once stored.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

namespace velmoran {

class PropValue {
public:
    PropValue() = default;
    PropValue(int v) : v_(v) {}
    PropValue(std::uint32_t v) : v_(static_cast<int>(v)) {}
    PropValue(double v) : v_(v) {}
    PropValue(std::string v) : v_(std::make_shared<const std::string>(std::move(v))) {}
    PropValue(const char* v) : v_(std::make_shared<const std::string>(v)) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(v_); }
    bool IsInt() const { return std::holds_alternative<int>(v_); }
    bool IsReal() const { return std::holds_alternative<double>(v_); }
    bool IsText() const { return std::holds_alternative<TextPtr>(v_); }
    bool IsNumber() const { return IsInt() || IsReal(); }

    int Int() const { return std::get<int>(v_); }
    double Real() const { return std::get<double>(v_); }
    const std::string& Text() const { return *std::get<TextPtr>(v_); }
    std::uint32_t Color() const { return static_cast<std::uint32_t>(Int()); }
    // Integer or real as a number (0 for anything else).
    double AsNumber() const { return IsInt() ? Int() : IsReal() ? Real() : 0.0; }
    // The value as text, as a person reads it (empty for an empty value).
    std::string ToString() const;

    // Texts compare by their characters, not by where they are kept.
    bool operator==(const PropValue& other) const
    {
        if (IsText() && other.IsText())
            return Text() == other.Text();
        return v_ == other.v_;
    }

private:
    using TextPtr = std::shared_ptr<const std::string>;
    std::variant<std::monostate, int, double, TextPtr> v_;
};

}  // namespace velmoran
