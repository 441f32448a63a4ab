// Correctly rounded scaling of a double by a power of ten, shared by the
// number readers and the fixed-point number text, so that both give the same
// double on every platform and compiler.
#pragma once

#include <cstdint>

// 10^k for 0 <= k <= 22, all exact in a double: one multiplication or
// division by them rounds once, which is the correct rounding.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr std::int64_t kMaxExactPowerOfTen = 22;

// Returns the double nearest to v * 10^exponent, ties to even, for any finite
// v and any exponent: an infinity (with v's sign) beyond the double range, a
// subnormal or a zero (with v's sign) below it. A NaN or an infinity v comes
// back unchanged.
double ScaleByPowerOfTen(double v, std::int64_t exponent);
