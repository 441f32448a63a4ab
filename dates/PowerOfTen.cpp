#include "dates/PowerOfTen.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace {

constexpr std::int64_t kMaxExactPower = kMaxExactPowerOfTen;
// A finite non-zero |v| lies between 2^-1074 and 2^1024: from this exponent on
// the product is surely beyond the double range, or below half the smallest
// subnormal.
constexpr std::int64_t kSurelyOutOfRange = 632;
constexpr int kDoubleBits = 53;
constexpr int kLowestBitExponent = -1074;  // the last bit of the smallest subnormal

// A whole number of arbitrary size, 32 bits a limb, lowest limb first, with
// no zero limbs on top.
using TLimbs = std::vector<std::uint32_t>;

constexpr int kLimbBits = 32;
// 5^13, the largest power of five below 2^32.
constexpr int kFivesPerStep = 13;
constexpr std::uint32_t kFivesStep = 1220703125;

std::uint32_t PowerOfFive(int k) {
    std::uint32_t p = 1;
    while (k-- > 0) p *= 5;
    return p;
}

void DropZeroLimbs(TLimbs& n) {
    while (!n.empty() && n.back() == 0) n.pop_back();
}

void MultiplySmall(TLimbs& n, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : n) {
        const std::uint64_t t = std::uint64_t{limb} * factor + carry;
        limb = static_cast<std::uint32_t>(t);
        carry = t >> kLimbBits;
    }
    if (carry != 0) n.push_back(static_cast<std::uint32_t>(carry));
}

// n = n / divisor, truncated; true iff the remainder was not zero.
bool DivideSmall(TLimbs& n, std::uint32_t divisor) {
    std::uint64_t rest = 0;
    for (std::size_t i = n.size(); i-- > 0;) {
        const std::uint64_t t = (rest << kLimbBits) | n[i];
        n[i] = static_cast<std::uint32_t>(t / divisor);
        rest = t % divisor;
    }
    DropZeroLimbs(n);
    return rest != 0;
}

void MultiplyByPowerOfFive(TLimbs& n, int k) {
    for (; k >= kFivesPerStep; k -= kFivesPerStep) MultiplySmall(n, kFivesStep);
    if (k > 0) MultiplySmall(n, PowerOfFive(k));
}

// Step by step, since floor(floor(n / a) / b) = floor(n / (a * b)), and the
// whole remainder is zero iff every step's remainder is. True iff inexact.
bool DivideByPowerOfFive(TLimbs& n, int k) {
    bool inexact = false;
    for (; k >= kFivesPerStep; k -= kFivesPerStep) inexact |= DivideSmall(n, kFivesStep);
    if (k > 0) inexact |= DivideSmall(n, PowerOfFive(k));
    return inexact;
}

// m * 2^shift.
TLimbs ShiftedLeft(std::uint64_t m, int shift) {
    TLimbs n(static_cast<std::size_t>(shift / kLimbBits), 0);
    n.push_back(static_cast<std::uint32_t>(m));
    n.push_back(static_cast<std::uint32_t>(m >> kLimbBits));
    MultiplySmall(n, std::uint32_t{1} << (shift % kLimbBits));
    DropZeroLimbs(n);
    return n;
}

int BitLength(const TLimbs& n) {
    if (n.empty()) return 0;
    return static_cast<int>(n.size() - 1) * kLimbBits + static_cast<int>(std::bit_width(n.back()));
}

bool Bit(const TLimbs& n, int i) {
    const auto limb = static_cast<std::size_t>(i / kLimbBits);
    return limb < n.size() && ((n[limb] >> (i % kLimbBits)) & 1) != 0;
}

bool AnyBitBelow(const TLimbs& n, int end) {
    const auto whole = std::min(static_cast<std::size_t>(end / kLimbBits), n.size());
    if (std::any_of(n.begin(), n.begin() + static_cast<std::ptrdiff_t>(whole), [](std::uint32_t l) { return l != 0; }))
        return true;
    const int part = end % kLimbBits;
    return whole < n.size() && part > 0 && (n[whole] & ((std::uint32_t{1} << part) - 1)) != 0;
}

// The bits of n from bit `from` on; they must fit 64 bits.
std::uint64_t BitsFrom(const TLimbs& n, int from) {
    std::uint64_t out = 0;
    for (int i = BitLength(n) - 1; i >= from; --i) out = (out << 1) | (Bit(n, i) ? 1u : 0u);
    return out;
}

// The double nearest to (n + a fraction when inexact) * 2^exp2, ties to even,
// with the precision that subnormal results have. n holds at least two bits
// more than are kept whenever inexact is set.
double RoundToDouble(const TLimbs& n, bool inexact, int exp2) {
    const int lastBit = std::max(exp2 + BitLength(n) - kDoubleBits, kLowestBitExponent);
    const int dropped = lastBit - exp2;
    if (dropped <= 0) return std::ldexp(static_cast<double>(BitsFrom(n, 0)), exp2);  // exact
    std::uint64_t kept = BitsFrom(n, dropped);
    const bool half = Bit(n, dropped - 1);
    const bool aboveHalf = inexact || AnyBitBelow(n, dropped - 1);
    if (half && (aboveHalf || (kept & 1) != 0)) ++kept;  // 2^53 stays exact
    return std::ldexp(static_cast<double>(kept), lastBit);
}

// a * 10^exponent for a finite a > 0, in exact integer arithmetic on
// a = mantissa * 2^exp2 and 10^k = 5^k * 2^k.
double ScaleExactly(double a, int exponent) {
    int exp2 = 0;
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(std::frexp(a, &exp2), kDoubleBits));
    exp2 -= kDoubleBits;
    if (exponent >= 0) {
        TLimbs n = ShiftedLeft(mantissa, 0);
        MultiplyByPowerOfFive(n, exponent);
        return RoundToDouble(n, false, exp2 + exponent);
    }
    // 5^k has fewer than 2.33k + 1 bits: after a shift by 3k + 2 the quotient
    // of the 53-bit mantissa keeps more than 55 bits, so the remainder only
    // tells an exact half from a little more.
    const int fives = -exponent;
    const int shift = 3 * fives + 2;
    TLimbs n = ShiftedLeft(mantissa, shift);
    const bool inexact = DivideByPowerOfFive(n, fives);
    return RoundToDouble(n, inexact, exp2 - shift - fives);
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
