// The checked arithmetic helpers raise the three runtime texts instead of yielding NaN or infinity.
#include "platform/core/CheckedMath.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace velmoran;

namespace {

std::string ErrorOf(const std::function<double()>& f)
{
    try {
        f();
    } catch (const EMathError& e) {
        return e.Message();
    }
    return "";
}

const std::string kZeroDivide = "Gleitkommadivision durch Null";
const std::string kInvalid = "Ungültige Gleitkommaoperation";
const std::string kOverflow = "Gleitkommaüberlauf";

}  // namespace

TEST(CheckedMath, Division)
{
    EXPECT_DOUBLE_EQ(CheckedDiv(1, 4), 0.25);
    EXPECT_EQ(ErrorOf([] { return CheckedDiv(1, 0); }), kZeroDivide);
    EXPECT_EQ(ErrorOf([] { return CheckedDiv(-1, -0.0); }), kZeroDivide);
    EXPECT_EQ(ErrorOf([] { return CheckedDiv(0, 0); }), kInvalid);
    EXPECT_EQ(ErrorOf([] { return CheckedDiv(1e300, 1e-300); }), kOverflow);
    EXPECT_EQ(CheckedDiv(1e-300, 1e300), 0.0);  // underflow is silent
}

// The power function of the design calculation. Expected values are exact or worked out to 40
// digits apart from the code; `tolerance` is absolute (a few units in the last place).
struct PowerCase {
    double base, exponent, expected, tolerance;
    const char* error;
    const char* why;
};
constexpr PowerCase kPowerCases[] = {
    {2, 10, 1024, 0, "", "integral exponent"},
    {-2, 3, -8, 0, "", "a negative base with an integral exponent is multiplied out"},
    {2, -2, 0.25, 0, "", "a negative integral exponent is the reciprocal"},
    {1.103, -3, 0.7452010577678913576, 1e-15, "", "temperature factor below 15 degrees"},
    {50, -0.235, 0.3987879702274354275, 1e-15, "", "fractional exponent: exp(y ln x)"},
    {0, 0, 1, 0, "", "0^0 is 1"},
    {-3, 0, 1, 0, "", "any base to the power 0 is 1"},
    {0, 2, 0, 0, "", "zero base, positive exponent"},
    {0, 2.5, 0, 0, "", "zero base, positive fractional exponent"},
    {0, -1, 0, 0, "Gleitkommadivision durch Null", "zero base, negative exponent"},
    {0, -0.235, 0, 0, "Gleitkommadivision durch Null", "zero base, negative fractional exponent"},
    {-8, 1.0 / 3.0, 0, 0, "Ungültige Gleitkommaoperation", "negative base, fractional exponent"},
    {-2, 0.5, 0, 0, "Ungültige Gleitkommaoperation", "square root of a negative number"},
    {10, 400, 0, 0, "Gleitkommaüberlauf", "the multiplied-out power overflows"},
};

TEST(CheckedMath, Power)
{
    for (const PowerCase& c : kPowerCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ErrorOf([&] { return CheckedPower(c.base, c.exponent); }), c.error);
        if (*c.error == '\0') {
            EXPECT_NEAR(CheckedPower(c.base, c.exponent), c.expected, c.tolerance);
        }
    }
}

TEST(CheckedMath, LogarithmExponentialAndRoot)
{
    EXPECT_DOUBLE_EQ(CheckedLn(std::exp(2.0)), 2.0);
    EXPECT_EQ(ErrorOf([] { return CheckedLn(0); }), kZeroDivide);
    EXPECT_EQ(ErrorOf([] { return CheckedLn(-1); }), kInvalid);
    EXPECT_EQ(ErrorOf([] { return CheckedLog10(-1); }), kInvalid);
    EXPECT_EQ(ErrorOf([] { return CheckedExp(1000); }), kOverflow);
    EXPECT_EQ(CheckedExp(-1000), 0.0);
    EXPECT_EQ(ErrorOf([] { return CheckedSqrt(-1e-9); }), kInvalid);
    EXPECT_DOUBLE_EQ(CheckedSqrt(0), 0);
}

TEST(CheckedMath, NaNOperandsAndResults)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ErrorOf([&] { return CheckedAdd(nan, 1); }), kInvalid);
    EXPECT_EQ(ErrorOf([&] { return CheckedSub(inf, inf); }), kInvalid);
    EXPECT_EQ(ErrorOf([&] { return CheckedMul(1e200, 1e200); }), kOverflow);
    EXPECT_EQ(ErrorOf([&] { return Checked(nan); }), kInvalid);
    EXPECT_EQ(ErrorOf([&] { return Checked(-inf); }), kOverflow);
}
