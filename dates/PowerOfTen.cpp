#include "dates/PowerOfTen.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

constexpr std::int64_t kMaxExactPower = kMaxExactPowerOfTen;
// A finite non-zero |v| lies between 2^-1074 and 2^1024: from this exponent on
// the product is surely beyond the double range, or below half the smallest
// subnormal.
constexpr std::int64_t kSurelyOutOfRange = 632;
constexpr int kDoubleBits = 53;
// Significant digits of the longest exact decimal text of a double.
constexpr int kMostDigits = 767;

// Significant digits that hold a (finite, > 0) exactly, or a few more: a is
// m * 2^q with m odd and below 2^53, so for q >= 0 a whole number below
// 2^(53 + q), and for q < 0 the whole number m * 5^-q over 10^-q.
int ExactDigits(double a) {
    int exp2 = 0;
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(std::frexp(a, &exp2), kDoubleBits));
    exp2 += std::countr_zero(mantissa) - kDoubleBits;
    const int digits = exp2 >= 0 ? 17 + (exp2 * 30103 + 99999) / 100000    // log10(2) = 0.30103
                                 : 17 + (-exp2 * 69898 + 99999) / 100000;  // log10(5) = 0.69897
    return std::min(digits, kMostDigits);
}

// a * 10^exponent for a finite a > 0: a's exact digits in scientific form
// with the exponent moved, read back by from_chars, which rounds the whole
// text once, ties to even.
double ScaleExactly(double a, int exponent) {
    char text[kMostDigits + 16];  // "d." digits "e-" and at most four more digits
    const auto written = std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, ExactDigits(a) - 1);
    char* e = std::find(text, written.ptr, 'e');
    int decimalExponent = 0;
    std::from_chars(e + 2, written.ptr, decimalExponent);  // after "e+" or "e-"
    decimalExponent = (e[1] == '-' ? -decimalExponent : decimalExponent) + exponent;
    const char* end = std::to_chars(e + 1, text + sizeof text, decimalExponent).ptr;
    double result = 0.0;
    // Out of range is either side: the value is then left as it was.
    if (std::from_chars(text, end, result, std::chars_format::scientific).ec == std::errc::result_out_of_range)
        return decimalExponent < 0 ? 0.0 : std::numeric_limits<double>::infinity();
    return result;
}

}  // namespace

double ScaleByPowerOfTen(double v, std::int64_t exponent) {
    if (v == 0.0 || !std::isfinite(v)) return v;
    if (exponent >= 0 && exponent <= kMaxExactPower) return v * kExactPowersOfTen[exponent];
    if (exponent < 0 && exponent >= -kMaxExactPower) return v / kExactPowersOfTen[-exponent];
    if (exponent >= kSurelyOutOfRange) return std::copysign(std::numeric_limits<double>::infinity(), v);
    if (exponent <= -kSurelyOutOfRange) return std::copysign(0.0, v);
    return std::copysign(ScaleExactly(std::fabs(v), static_cast<int>(exponent)), v);
}
