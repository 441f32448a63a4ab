#include "engine/SentenceFields.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

template <typename Char>
bool IsBlankUnit(Char c) {
    return static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Char>>(c)) <= 0x20;
}

template <typename Char>
std::basic_string_view<Char> Trim(std::basic_string_view<Char> text) {
    while (!text.empty() && IsBlankUnit(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankUnit(text.back())) text.remove_suffix(1);
    return text;
}

template <typename Char>
unsigned Unit(Char c) {
    return static_cast<unsigned>(static_cast<std::make_unsigned_t<Char>>(c));
}

// 10^k for 0 <= k <= 22, all exact in a double.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;
// Up to this scale the result is the correctly rounded product; 5^31 < 2^72
// keeps the work inside 128 bits.
constexpr int kMaxRoundedScale = 31;
constexpr int kDoubleBits = 53;

__extension__ typedef unsigned __int128 TUInt128;

constexpr TUInt128 PowerOfFive(int k) {
    TUInt128 p = 1;
    while (k-- > 0) p *= 5;
    return p;
}

int BitLength(TUInt128 n) {
    const auto high = static_cast<std::uint64_t>(n >> 64);
    const auto low = static_cast<std::uint64_t>(n);
    if (high != 0) return 128 - __builtin_clzll(high);
    return low != 0 ? 64 - __builtin_clzll(low) : 0;
}

// The double nearest to (n + a fraction when inexact) * 2^exp2, ties to even;
// n holds at least 54 bits whenever inexact is set.
double RoundToDouble(TUInt128 n, bool inexact, int exp2) {
    const int extra = BitLength(n) - kDoubleBits;
    if (extra <= 0) return std::ldexp(static_cast<double>(static_cast<std::uint64_t>(n)), exp2);
    auto top = static_cast<std::uint64_t>(n >> extra);
    const TUInt128 rest = n & ((TUInt128(1) << extra) - 1);
    const TUInt128 half = TUInt128(1) << (extra - 1);
    if (rest > half || (rest == half && (inexact || (top & 1) != 0))) ++top;  // 2^53 stays exact
    return std::ldexp(static_cast<double>(top), exp2 + extra);
}

// v * 10^scale for 22 < |scale| <= 31, correctly rounded. v is a whole number.
double ScaleRounded(double v, int scale) {
    int exp2 = 0;
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(std::frexp(v, &exp2), kDoubleBits));
    exp2 -= kDoubleBits;
    if (scale > 0) return RoundToDouble(TUInt128(mantissa) * PowerOfFive(scale), false, exp2 + scale);
    // Divide with the mantissa's top bit at bit 127, so the quotient keeps
    // more than 55 bits and the remainder only decides the rounding.
    const int shift = 128 - BitLength(mantissa);
    const TUInt128 n = TUInt128(mantissa) << shift;
    const TUInt128 five = PowerOfFive(-scale);
    return RoundToDouble(n / five, n % five != 0, exp2 - shift + scale);
}

// v * 10^scale for larger scales, within one unit in the last place: steps of
// powers of ten exact in long double, whose 64-bit mantissa absorbs the few
// roundings on the way.
double ScaleApproximately(double v, std::int64_t scale) {
    // v lies between 1 and 2^1024: beyond these scales the result is surely
    // infinite or zero.
    constexpr std::int64_t kBeyondRange = 330, kBelowRange = -(309 + 330);
    if (scale > kBeyondRange) return std::numeric_limits<double>::infinity();
    if (scale < kBelowRange) return 0.0;
    constexpr long double kStep = 1e27L;  // 5^27 < 2^64: exact
    long double r = v;
    std::int64_t left = scale < 0 ? -scale : scale;
    long double factor = 1.0L;
    for (; left >= 27; left -= 27) factor *= kStep;
    for (; left > 0; --left) factor *= 10.0L;
    r = scale < 0 ? r / factor : r * factor;
    return static_cast<double>(r);
}

// The double nearest to v * 10^scale, v being a whole number; nullopt when it
// lies beyond the double range.
std::optional<double> Scale(double v, std::int64_t scale) {
    if (v == 0.0) return 0.0;
    if (!std::isfinite(v)) return std::nullopt;
    double result;
    if (scale >= 0 && scale <= kMaxExactPower) {
        result = v * kExactPowers[scale];
    } else if (scale < 0 && scale >= -kMaxExactPower) {
        result = v / kExactPowers[-scale];
    } else if (scale >= -kMaxRoundedScale && scale <= kMaxRoundedScale) {
        result = ScaleRounded(v, static_cast<int>(scale));
    } else {
        result = ScaleApproximately(v, scale);
    }
    if (!std::isfinite(result)) return std::nullopt;
    return result;
}

// One more decimal digit into the mantissa: (v * 10 + c) - 48 with c the
// digit's character code, each step rounded on its own, so long mantissas
// round the same way wherever this runs. Separate statements keep the
// compiler from fusing the multiply and the add.
double AppendDigit(double v, unsigned c) {
    const double shifted = v * 10.0;
    const double added = shifted + static_cast<double>(c);
    return added - 48.0;
}

bool IsDigit(unsigned c) { return c >= '0' && c <= '9'; }

// The exponent stops taking digits before it would pass this.
constexpr int kMaxExponent = 1024;

// Digits with at most one point and nothing else, fifteen digits at most:
// the text of nearly every number field. The mantissa is then a whole number
// below 2^53, exact both here and digit by digit in DecimalText, and one
// division by an exact power of ten rounds it the same way. nullopt for any
// other text, which DecimalText reads the general way.
template <typename Char>
std::optional<double> PlainDecimalText(std::basic_string_view<Char> text) {
    constexpr std::size_t kMaxPlainDigits = 15;
    const std::size_t size = text.size();
    std::uint64_t mantissa = 0;  // may wrap on long texts, which are refused below
    std::size_t i = 0, fraction = 0;
    for (; i < size && IsDigit(Unit(text[i])); ++i) mantissa = mantissa * 10 + (Unit(text[i]) - '0');
    std::size_t digits = i;
    if (i < size && Unit(text[i]) == '.') {
        for (++i; i < size && IsDigit(Unit(text[i])); ++i, ++fraction)
            mantissa = mantissa * 10 + (Unit(text[i]) - '0');
    }
    digits += fraction;
    if (i != size || digits == 0 || digits > kMaxPlainDigits) return std::nullopt;
    return static_cast<double>(mantissa) / kExactPowers[fraction];
}

// Any other text: kept out of line, so that the plain texts do not pay for
// its set-up.
template <typename Char>
[[gnu::noinline]] std::optional<double> GeneralDecimalText(std::basic_string_view<Char> text) {
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < text.size() ? Unit(text[k]) : 0u; };
    while (at(i) == ' ') ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-') negative = at(i++) == '-';
    double v = 0.0;
    std::int64_t digits = 0, fraction = 0;
    for (; IsDigit(at(i)); ++i, ++digits) v = AppendDigit(v, at(i));
    if (at(i) == '.') {
        for (++i; IsDigit(at(i)); ++i, ++digits, ++fraction) v = AppendDigit(v, at(i));
    }
    int exponent = 0;
    if (at(i) == 'E' || at(i) == 'e') {
        ++i;
        bool negExp = false;
        if (at(i) == '+' || at(i) == '-') negExp = at(i++) == '-';
        if (!IsDigit(at(i))) return std::nullopt;
        for (; IsDigit(at(i)); ++i) {
            const int next = exponent * 10 + static_cast<int>(at(i) - '0');
            if (next > kMaxExponent) break;  // left unread: the end test below fails
            exponent = next;
        }
        if (negExp) exponent = -exponent;
    }
    if (digits == 0) return std::nullopt;
    while (at(i) == ' ') ++i;
    if (i != text.size()) return std::nullopt;
    const auto result = Scale(v, exponent - fraction);
    if (!result) return std::nullopt;
    return negative ? -*result : *result;
}

template <typename Char>
std::optional<double> DecimalText(std::basic_string_view<Char> text) {
    if (const auto plain = PlainDecimalText(text)) return plain;
    return GeneralDecimalText(text);
}

}  // namespace

SentenceFields SplitSentence(std::string_view sentence) {
    SentenceFields fields;
    std::size_t start = 0;
    for (std::size_t i = 0; i < sentence.size() && fields.Count < kFieldCount; ++i) {
        if (sentence[i] != ',') continue;
        fields.Field[static_cast<std::size_t>(fields.Count - 1)] = sentence.substr(start, i - start);
        start = i + 1;
        ++fields.Count;
    }
    // The last field keeps any further commas and ends before its first "*".
    const std::string_view last = sentence.substr(std::min(start, sentence.size()));
    fields.Field[static_cast<std::size_t>(fields.Count - 1)] = last.substr(0, last.find('*'));
    return fields;
}

namespace {

// XOR of all bytes, eight at a time.
unsigned XorOfBytes(std::string_view bytes) {
    std::uint64_t wide = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        wide ^= word;
    }
    for (int shift = 32; shift >= 8; shift /= 2) wide ^= wide >> shift;
    unsigned x = static_cast<unsigned>(wide & 0xFF);
    for (; i < bytes.size(); ++i) x ^= static_cast<unsigned char>(bytes[i]);
    return x;
}

// The checksum characters read as "$" + text would be: one or two hexadecimal
// digits give their value, anything else 0.
unsigned WrittenChecksum(std::string_view text) {
    if (text.empty()) return 0;
    unsigned value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return 0;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

bool ChecksumOk(std::string_view sentence) {
    const auto star = sentence.find('*');
    if (star == std::string_view::npos) return false;
    const unsigned x = star > 1 ? XorOfBytes(sentence.substr(1, star - 1)) : 0;
    return WrittenChecksum(TrimBytes(sentence.substr(star + 1, 2))) == x;
}

std::string_view TrimBytes(std::string_view bytes) { return Trim(bytes); }
std::wstring_view TrimText(std::wstring_view text) { return Trim(text); }

std::optional<double> DecimalTextToDouble(std::string_view text) { return DecimalText(text); }
std::optional<double> DecimalTextToDouble(std::wstring_view text) { return DecimalText(text); }

std::optional<std::int32_t> IntegerTextToInt(std::wstring_view text) {
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < text.size() ? Unit(text[k]) : 0u; };
    while (at(i) == ' ') ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-') negative = at(i++) == '-';
    int digits = 0;
    std::int64_t value = 0;
    if (at(i) == '$' || at(i) == 'x' || at(i) == 'X' || (at(i) == '0' && (at(i + 1) == 'x' || at(i + 1) == 'X'))) {
        i += at(i) == '0' ? 2 : 1;
        std::uint32_t hex = 0;
        for (;; ++i, ++digits) {
            const unsigned c = at(i);
            unsigned d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else break;
            if (static_cast<std::int32_t>(hex) < 0 || hex >= (1u << 28)) break;
            hex = hex * 16 + d;
        }
        value = static_cast<std::int32_t>(hex);
    } else {
        for (; at(i) >= '0' && at(i) <= '9' && value <= 214748364; ++i, ++digits)
            value = value * 10 + (at(i) - '0');
        if (value > (negative ? 2147483648LL : 2147483647LL)) return std::nullopt;
    }
    if (digits == 0 || i != text.size()) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -value : value);
}

double FloatOrNaN(std::string_view text) {
    text = TrimBytes(text);
    if (text.empty()) return 0.0;
    return DecimalTextToDouble(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

double FloatOrNaN(std::wstring_view text) {
    text = TrimText(text);
    if (text.empty()) return 0.0;
    return DecimalTextToDouble(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

double FloatOrZero(std::wstring_view text) {
    text = TrimText(text);
    if (text.empty()) return 0.0;
    return DecimalTextToDouble(text).value_or(0.0);
}

std::int32_t IntOrZero(std::wstring_view text) {
    text = TrimText(text);
    if (text.empty()) return 0;
    return IntegerTextToInt(text).value_or(0);
}
