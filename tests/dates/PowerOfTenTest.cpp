#include "dates/PowerOfTen.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Row {
    double V;
    std::int64_t Exponent;
    double Nearest;
};

// Bit for bit, so that the sign of a zero counts too.
void ExpectScales(const Row& r) {
    const double got = ScaleByPowerOfTen(r.V, r.Exponent);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(r.Nearest))
        << std::hexfloat << r.V << " * 10^" << r.Exponent << " gave " << got << ", not " << r.Nearest;
}

// The nearest doubles were worked out in exact rational arithmetic.
TEST(ScaleByPowerOfTen, RoundsTheExactProductOnce) {
    const Row rows[] = {
        // 10^23 = 5^23 * 2^23, and 5^23 has 54 bits: halfway between two doubles, to even; then just off it
        {1.0, 23, 0x1.52d02c7e14af6p+76},
        {0x1.0000000000001p+0, 23, 0x1.52d02c7e14af8p+76},
        {0x1.fffffffffffffp-1, 23, 0x1.52d02c7e14af6p+76},
        {0x1p-1000, 23, 0x1.52d02c7e14af6p-924},
        // the same with texts of hundreds of digits, which must be read whole
        {0x1p-1074, 23, 0x1.52d02c7e14af6p-998},
        {0x1p-1073, 23, 0x1.52d02c7e14af6p-997},
        {0x1p-202, 23, 0x1.52d02c7e14af6p-126},
        // either side of the powers of ten a double holds exactly
        {3.0, 22, 0x1.969368974c05bp+74},
        {3.0, 23, 0x1.fc3842bd1f072p+77},
        {3.0, -22, 0x1.6aad80c11872cp-72},
        {3.0, -23, 0x1.22246700e05bdp-75},
        // long exact texts: 15 digits read with 31 decimals, 0.1, the largest and the smallest subnormal
        {123456789012345.0, -31, 0x1.c779a3f7ffdcep-57},
        {0x1.999999999999ap-4, -30, 0x1.039d66589688p-103},
        {0x1.ffffffffffffep-1023, 300, 0x1.7e43c8800759ap-26},
        {0x1p-1074, 340, 0x1.5f0e047737e1ep+55},
        // subnormal results; half the smallest subnormal or less is zero
        {1.0, -310, 0x1.2688b70e62bp-1030},
        {5.0, -324, 0x1p-1074},
        {3.0, -324, 0x1p-1074},
        {1.0, -324, 0.0},
        {2470328229206233.0, -339, 0x1p-1074},
        {2470328229206232.0, -339, 0.0},
        // the smallest normal, the largest double and beyond
        {0x1.3c33b72569c64p+54, -324, 0x1p-1022},
        {0x1.3c33b72569c63p+54, -324, 0x1p-1022},
        {0x1.feef63f97d79ap+53, 292, 0x1.ffffffffffffep+1023},
        {0x1.feef63f97d79bp+53, 292, 0x1.fffffffffffffp+1023},
        {0x1.feef63f97d79cp+53, 292, kInf},
        {1.0, 309, kInf},
        // either side of the shortcut from 10^632 on, the far ends, and a sign
        {0x1.fffffffffffffp+1023, -631, 0x1p-1072},
        {0x1.fffffffffffffp+1023, -632, 0.0},
        {0x1p-1074, 631, 0x1.196ddbb256d1dp+1022},
        {0x1p-1074, 632, kInf},
        {-3.0, 699, -kInf},
        {-3.0, -700, -0.0},
        {1.0, std::numeric_limits<std::int64_t>::max(), kInf},
        {1.0, std::numeric_limits<std::int64_t>::min(), 0.0},
        {-0x1.999999999999ap-4, -30, -0x1.039d66589688p-103},
    };
    for (const Row& r : rows) ExpectScales(r);
}

// Drawn once at random (seeded): any double with an exponent that keeps the
// result in range, then whole numbers as the number readers build them.
TEST(ScaleByPowerOfTen, MatchesExactArithmeticOnRandomValues) {
    const Row rows[] = {
        {0x1.235a1e58e1b1cp+516, -143, 0x1.1c3a3898524d7p+41}, {0x1.b90b46762b34fp+434, 107, 0x1.2c78be33e092fp+790},
        {0x1.1072c1e753a93p+647, 44, 0x1.316cd1bba35cfp+793},  {0x1.a5acef0867ff7p-180, 352, 0x1.06f4cb7e1c0ccp+990},
        {0x1.609d7caceb86fp+274, 178, 0x1.b3159f2a8aedfp+865}, {0x1.071a93b4ed972p+929, -355, 0x1.b009bfda17f05p-251},
        {109982109594.0, -310, 0x1.d7631986fe0a6p-994},        {15707095.0, -243, 0x1.991f22db4a7e8p-784},
        {2089681512.0, -224, 0x1.cd09cb911a6e9p-714},          {21853516651.0, 204, 0x1.03a8dba08d2d9p+712},
        {0x1.2285d0e8675c3p+53, -162, 0x1.0568470333ca3p-485}, {1298755629.0, -97, 0x1.088faa6a3281bp-292},
    };
    for (const Row& r : rows) ExpectScales(r);
}

TEST(ScaleByPowerOfTen, ZerosInfinitiesAndNaNComeBackUnchanged) {
    for (const std::int64_t e : {-700, -23, 0, 23, 699}) {
        ExpectScales({0.0, e, 0.0});
        ExpectScales({-0.0, e, -0.0});
        ExpectScales({-kInf, e, -kInf});
        EXPECT_TRUE(std::isnan(ScaleByPowerOfTen(std::numeric_limits<double>::quiet_NaN(), e)));
    }
}

}  // namespace
