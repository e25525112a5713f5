// Arithmetic that raises EMathError ("Gleitkommadivision durch Null", "Ungültige
// Gleitkommaoperation", "Gleitkommaüberlauf") where the floating-point unit would have trapped,
// instead of letting NaN or infinity flow on.
#pragma once

namespace velmoran {

// Checks a computed result: NaN is an invalid operation, infinity an overflow.
double Checked(double result);

double CheckedAdd(double a, double b);
double CheckedSub(double a, double b);
double CheckedMul(double a, double b);
// x/0 is a division by zero, 0/0 an invalid operation.
double CheckedDiv(double a, double b);
// The power function of the design calculation: x^0 = 1; 0^y = 0 for y > 0; integral exponents
// are multiplied out; otherwise exp(y ln x). A zero base with a negative exponent is a division by
// zero, a negative base with a fractional exponent an invalid operation. The design calculation's
// stored results depend on these steps to the last bit.
double CheckedPower(double base, double exponent);
// ln(0) is a division by zero, ln of a negative number an invalid operation.
double CheckedLn(double x);
double CheckedLog10(double x);
double CheckedExp(double x);
double CheckedSqrt(double x);

}  // namespace velmoran
