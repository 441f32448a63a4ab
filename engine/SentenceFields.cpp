#include "engine/SentenceFields.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "dates/AsciiText.h"
#include "dates/PowerOfTen.h"

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

// The double nearest to v * 10^scale, v being a whole number; nullopt when it
// lies beyond the double range.
std::optional<double> Scale(double v, std::int64_t scale) {
    const double result = ScaleByPowerOfTen(v, scale);
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
        for (++i; i < size && IsDigit(Unit(text[i])); ++i, ++fraction) mantissa = mantissa * 10 + (Unit(text[i]) - '0');
    }
    digits += fraction;
    if (i != size || digits == 0 || digits > kMaxPlainDigits) return std::nullopt;
    return static_cast<double>(mantissa) / kExactPowersOfTen[fraction];
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
        const int digit = HexDigitValue(static_cast<unsigned char>(c));
        if (digit < 0) return 0;
        value = value * 16 + static_cast<unsigned>(digit);
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
            const int d = HexDigitValue(at(i));
            if (d < 0 || static_cast<std::int32_t>(hex) < 0 || hex >= (1u << 28)) break;
            hex = hex * 16 + static_cast<unsigned>(d);
        }
        value = static_cast<std::int32_t>(hex);
    } else {
        for (; at(i) >= '0' && at(i) <= '9' && value <= 214748364; ++i, ++digits) value = value * 10 + (at(i) - '0');
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
