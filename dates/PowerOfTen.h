// Correctly rounded scaling of a double by a power of ten, shared by the
// number readers and the fixed-point number text, so that both give the same
// double on every platform and compiler.
#pragma once

#include <cstdint>

// Returns the double nearest to v * 10^exponent, ties to even, for any finite
// v and any exponent: an infinity (with v's sign) beyond the double range, a
// subnormal or a zero (with v's sign) below it. A NaN or an infinity v comes
// back unchanged.
double ScaleByPowerOfTen(double v, std::int64_t exponent);
