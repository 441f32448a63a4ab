// The bignum scaling against std::from_chars on the exact decimal text of the
// same product, bit for bit, over edge and random values.
#include "dates/PowerOfTen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kMostDigits = 767;   // significant digits of the longest exact double

// Significant digits that hold a exactly: a = m * 2^q with m odd below 2^53 is
// a whole number below 2^(53+q) for q >= 0, and m * 5^-q / 10^-q for q < 0.
int ExactDigits(double a) {
    int exp2 = 0;
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(std::frexp(a, &exp2), 53));
    exp2 += std::countr_zero(mantissa) - 53;
    const int bound = exp2 >= 0 ? 17 + (exp2 * 30103 + 99999) / 100000 : 17 + (-exp2 * 69898 + 99999) / 100000;
    return std::min(bound, kMostDigits);
}

// a * 10^exponent for a finite a > 0: a's exact digits with the exponent
// moved, read back by from_chars.
double FromDecimalText(double a, int exponent, int digits) {
    char text[kMostDigits + 32];
    const auto written = std::to_chars(text, text + sizeof text, a, std::chars_format::scientific, digits - 1);
    char* e = std::find(text, written.ptr, 'e');
    int decimal = 0;
    std::from_chars(e + 2, written.ptr, decimal);
    decimal = (e[1] == '-' ? -decimal : decimal) + exponent;
    const char* end = std::to_chars(e + 1, text + sizeof text, decimal).ptr;
    double result = 0.0;
    if (std::from_chars(text, end, result, std::chars_format::scientific).ec == std::errc::result_out_of_range)
        return decimal < 0 ? 0.0 : kInf;
    return result;
}

double FromChars(double v, std::int64_t exponent, bool allDigits) {
    if (v == 0.0 || !std::isfinite(v)) return v;
    if (exponent >= 0 && exponent <= kMaxExactPowerOfTen) return v * kExactPowersOfTen[exponent];
    if (exponent < 0 && exponent >= -kMaxExactPowerOfTen) return v / kExactPowersOfTen[-exponent];
    const double a = std::fabs(v);
    return std::copysign(FromDecimalText(a, static_cast<int>(exponent), allDigits ? kMostDigits : ExactDigits(a)), v);
}

class TComparison {
public:
    void Check(double v, std::int64_t e) {
        const auto want = std::bit_cast<std::uint64_t>(ScaleByPowerOfTen(v, e));
        ++FCompared;
        if (want == std::bit_cast<std::uint64_t>(FromChars(v, e, false)) &&
            want == std::bit_cast<std::uint64_t>(FromChars(v, e, true)))
            return;
        if (++FDiffering <= 20) ADD_FAILURE() << std::hexfloat << v << " * 10^" << e << ": bignum "
                                              << ScaleByPowerOfTen(v, e) << ", from_chars " << FromChars(v, e, false);
    }
    ~TComparison() {
        std::printf("compared %lld, %lld differ\n", FCompared, FDiffering);
        EXPECT_EQ(FDiffering, 0);
    }

private:
    long long FCompared = 0, FDiffering = 0;
};

double FromBits(std::uint64_t b) { return std::bit_cast<double>(b); }

TEST(PowerOfTenComparison, EdgeValuesAtEveryExponent) {
    const double maxD = std::numeric_limits<double>::max(), minN = std::numeric_limits<double>::min();
    const double minS = std::numeric_limits<double>::denorm_min();
    std::vector<double> edges = {1, 2, 3, 5, 7, 9, 10, 11, 25, 125, 0.1, 0.5, 1.0 / 3, 2.0 / 3, 0.3, 1.5, 123456789,
                                 4294967295.0, 4294967296.0, 9007199254740991.0, 9007199254740992.0,
                                 9007199254740994.0, 18446744073709551616.0, 1e15, 1e16, 1e17, 1e22, 1e23, 1e-22,
                                 maxD, minN, minS, 2 * minS, 3 * minS, minN - minS, std::nextafter(minN, 0.0),
                                 std::nextafter(1.0, 0.0), std::nextafter(1.0, 2.0), 1.7976931348623157,
                                 2.2250738585072014, 4.9406564584124654, 2.4703282292062327, 123456789012345.0,
                                 22250738585072011.0, 17976931348623157.0, 17976931348623158.0, 0.0, -0.0,
                                 kInf, std::numeric_limits<double>::quiet_NaN()};
    for (int k = 0; k <= 63; ++k) edges.push_back(std::ldexp(1.0, k));
    for (int k = 1; k <= 1074; k += 37) edges.push_back(std::ldexp(1.0, -k));
    for (int d = 1; d <= 99; ++d) edges.push_back(d);
    TComparison c;
    for (const double v : edges)
        for (std::int64_t e = -700; e <= 699; ++e) {
            c.Check(v, e);
            c.Check(-v, e);
        }
}

// 2^p * 10^23 lies exactly between two doubles (5^23 has 54 bits), for every
// power of two; beside it the doubles on either side, just off halfway.
TEST(PowerOfTenComparison, HalfwayAndPowersOfTwo) {
    TComparison c;
    for (int p = -1074; p <= 1023; ++p) {
        const double v = std::ldexp(1.0, p);
        for (const double w : {v, std::nextafter(v, 0.0), std::nextafter(v, kInf)}) c.Check(w, 23);
        for (std::int64_t e = 23; e <= 40; ++e) c.Check(v, e);
        for (std::int64_t e = -40; e <= -23; ++e) c.Check(v, e);
    }
    for (int j = 1; j < 2000; j += 2)
        for (std::int64_t e = 23; e <= 30; ++e) {
            c.Check(j, e);
            c.Check(std::ldexp(j, -60), e);
        }
}

// Subnormal results, results that round to zero, overflow and the smallest
// normal: whole numbers near the edges, and the doubles around max / 10^e
// and min / 10^e for every exponent of the slow path.
TEST(PowerOfTenComparison, SubnormalsUnderflowAndOverflow) {
    const double maxD = std::numeric_limits<double>::max(), minN = std::numeric_limits<double>::min();
    const double minS = std::numeric_limits<double>::denorm_min();
    TComparison c;
    for (std::int64_t e = -345; e <= -290; ++e)
        for (const double v : {1.0, 2.0, 3.0, 5.0, 9.0, 49.0, 247.0, 2470328229206232.0, 2470328229206233.0,
                               4940656458412465.0, 22250738585072011.0, 9007199254740991.0, 123456789.0, 1e15, 1e16})
            c.Check(v, e);
    for (std::uint64_t k = 1; k < 5000; k += 7)
        for (std::int64_t e = 23; e <= 340; e += 3) c.Check(FromBits(k), e);
    for (std::uint64_t i = 0; i < 100000; ++i)
        c.Check(FromBits(i * 450359962737ULL % 4503599627370496ULL + 1), 300 + static_cast<std::int64_t>(i % 33));
    for (std::int64_t e = 23; e <= 340; ++e) {
        double v = ScaleByPowerOfTen(maxD, -e);
        for (int s = 0; s < 8; ++s) v = std::nextafter(v, 0.0);
        for (int s = 0; s < 16; ++s, v = std::nextafter(v, kInf)) c.Check(v, e);
    }
    for (std::int64_t e = -340; e <= -23; ++e)
        for (const double target : {minN, minS, 1.5 * minS}) {
            double v = ScaleByPowerOfTen(target, -e);
            if (!(v > 0) || std::isinf(v)) continue;
            for (int s = 0; s < 8; ++s) v = std::nextafter(v, 0.0);
            for (int s = 0; s < 16; ++s, v = std::nextafter(v, kInf)) c.Check(v, e);
        }
}

// Any finite double with any exponent; whole numbers as the number readers
// make them; values scaled to near 1, where results are normal.
TEST(PowerOfTenComparison, RandomValues) {
    std::mt19937_64 rng(20240501);
    std::uniform_int_distribution<std::int64_t> exponents(-700, 699);
    TComparison c;
    for (int i = 0; i < 500000; ++i) {
        double v;
        do v = FromBits(rng()); while (!std::isfinite(v));
        c.Check(v, exponents(rng));
        c.Check(static_cast<double>(rng() >> (rng() % 64)), exponents(rng));
        c.Check(v, -static_cast<std::int64_t>(std::floor(std::log10(std::fabs(v) + 1e-320))) + exponents(rng) % 40);
    }
}

// The bounded text is the full exact text cut where only zeros follow.
TEST(PowerOfTenComparison, BoundedDigitsAreExact) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 100000; ++i) {
        double a;
        do a = std::fabs(FromBits(i < 3000 ? static_cast<std::uint64_t>(i + 1) : rng())); while (!std::isfinite(a));
        char full[800], cut[800];
        const auto f = std::to_chars(full, full + sizeof full, a, std::chars_format::scientific, kMostDigits - 1);
        const auto k = std::to_chars(cut, cut + sizeof cut, a, std::chars_format::scientific, ExactDigits(a) - 1);
        const std::string F(full, f.ptr), K(cut, k.ptr);
        const std::size_t fe = F.find('e'), ke = K.find('e');
        ASSERT_EQ(F.substr(fe), K.substr(ke)) << std::hexfloat << a;
        ASSERT_EQ(F.compare(0, ke, K, 0, ke), 0) << std::hexfloat << a;
        ASSERT_EQ(F.find_first_not_of('0', ke), fe) << std::hexfloat << a;
    }
}

}  // namespace
