// The checked arithmetic helpers.
#include "platform/core/CheckedMath.h"

#include "platform/core/Exceptions.h"

#include <climits>
#include <cmath>

namespace velmoran {

namespace {
void RequireOperand(double x)
{
    if (std::isnan(x))
        throw EInvalidOp();
}
}  // namespace

double Checked(double result)
{
    if (std::isnan(result))
        throw EInvalidOp();
    if (std::isinf(result))
        throw EOverflow();
    return result;
}

double CheckedAdd(double a, double b)
{
    RequireOperand(a);
    RequireOperand(b);
    return Checked(a + b);
}

double CheckedSub(double a, double b)
{
    RequireOperand(a);
    RequireOperand(b);
    return Checked(a - b);
}

double CheckedMul(double a, double b)
{
    RequireOperand(a);
    RequireOperand(b);
    return Checked(a * b);
}

double CheckedDiv(double a, double b)
{
    RequireOperand(a);
    RequireOperand(b);
    if (b == 0.0) {
        if (a == 0.0)
            throw EInvalidOp();
        throw EZeroDivide();
    }
    return Checked(a / b);
}

double CheckedPower(double base, double exponent)
{
    RequireOperand(base);
    RequireOperand(exponent);
    if (exponent == 0.0)
        return 1.0;
    if (base == 0.0) {
        if (exponent < 0.0)
            throw EZeroDivide();
        return 0.0;
    }
    if (std::trunc(exponent) == exponent && std::fabs(exponent) <= INT_MAX) {
        // Square and multiply: every step is checked, so an overflow is reported where it happens.
        long long n = static_cast<long long>(std::fabs(exponent));
        double result = 1.0;
        double factor = base;
        while (n != 0) {
            if (n & 1)
                result = CheckedMul(result, factor);
            n >>= 1;
            if (n != 0)
                factor = CheckedMul(factor, factor);
        }
        return exponent < 0.0 ? CheckedDiv(1.0, result) : result;
    }
    // ln raises the invalid operation for a negative base.
    return CheckedExp(CheckedMul(exponent, CheckedLn(base)));
}

double CheckedLn(double x)
{
    RequireOperand(x);
    if (x == 0.0)
        throw EZeroDivide();
    if (x < 0.0)
        throw EInvalidOp();
    return Checked(std::log(x));
}

double CheckedLog10(double x)
{
    RequireOperand(x);
    if (x == 0.0)
        throw EZeroDivide();
    if (x < 0.0)
        throw EInvalidOp();
    return Checked(std::log10(x));
}

double CheckedExp(double x)
{
    RequireOperand(x);
    return Checked(std::exp(x));
}

double CheckedSqrt(double x)
{
    RequireOperand(x);
    if (x < 0.0)
        throw EInvalidOp();
    return Checked(std::sqrt(x));
}

}  // namespace velmoran
