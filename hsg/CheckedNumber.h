// A double whose arithmetic goes through the checked helpers, so that a formula of the design
// calculation raises the arithmetic error where the floating-point unit would have trapped
// (division by zero, invalid operation, overflow) instead of carrying NaN or infinity on.
#pragma once

#include "platform/core/CheckedMath.h"

#include <compare>

namespace velmoran {

// Doubles, not 80-bit extended: every step is checked for a trap as a double; results meet the 8-digit references.
class Num {
public:
    constexpr Num(double value = 0.0) : v_(value) {}  // NOLINT: literals mix freely
    constexpr double Value() const { return v_; }

    friend Num operator+(Num a, Num b) { return CheckedAdd(a.v_, b.v_); }
    friend Num operator-(Num a, Num b) { return CheckedSub(a.v_, b.v_); }
    friend Num operator*(Num a, Num b) { return CheckedMul(a.v_, b.v_); }
    friend Num operator/(Num a, Num b) { return CheckedDiv(a.v_, b.v_); }
    friend Num operator-(Num a) { return -a.v_; }
    friend constexpr std::partial_ordering operator<=>(Num a, Num b) { return a.v_ <=> b.v_; }
    friend constexpr bool operator==(Num a, Num b) { return a.v_ == b.v_; }

private:
    double v_;
};

}  // namespace velmoran
