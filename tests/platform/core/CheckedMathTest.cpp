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

TEST(CheckedMath, Power)
{
    EXPECT_DOUBLE_EQ(CheckedPower(2, 10), 1024);
    EXPECT_DOUBLE_EQ(CheckedPower(-2, 3), -8);
    EXPECT_DOUBLE_EQ(CheckedPower(0, 0), 1);
    EXPECT_DOUBLE_EQ(CheckedPower(0, 2), 0);
    EXPECT_EQ(ErrorOf([] { return CheckedPower(0, -1); }), kZeroDivide);
    EXPECT_EQ(ErrorOf([] { return CheckedPower(-8, 1.0 / 3.0); }), kInvalid);
    EXPECT_EQ(ErrorOf([] { return CheckedPower(10, 400); }), kOverflow);
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
