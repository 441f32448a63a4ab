#include "engine/SentenceFields.h"

#include <cmath>
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

// The double nearest to v * 10^scale.
std::optional<double> Scale(double v, int scale) {
    if (v == 0.0) return 0.0;
    double result;
    if (scale >= 0 && scale <= 22) {
        result = v * kExactPowers[scale];
    } else if (scale < 0 && scale >= -22) {
        result = v / kExactPowers[-scale];
    } else {
        // Rare in sentences: long double keeps the error within one ulp.
        long double r = static_cast<long double>(v) * std::pow(10.0L, static_cast<long double>(scale));
        result = static_cast<double>(r);
    }
    if (!std::isfinite(result)) return std::nullopt;
    return result;
}

template <typename Char>
std::optional<double> DecimalText(std::basic_string_view<Char> text) {
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < text.size() ? Unit(text[k]) : 0u; };
    while (at(i) == ' ') ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-') negative = at(i++) == '-';
    double v = 0.0;
    int digits = 0, fraction = 0;
    for (; at(i) >= '0' && at(i) <= '9'; ++i, ++digits) v = (v * 10.0 + at(i)) - 48.0;
    if (at(i) == '.') {
        for (++i; at(i) >= '0' && at(i) <= '9'; ++i, ++digits, ++fraction) v = (v * 10.0 + at(i)) - 48.0;
    }
    int exponent = 0;
    if (at(i) == 'E' || at(i) == 'e') {
        ++i;
        bool negExp = false;
        if (at(i) == '+' || at(i) == '-') negExp = at(i++) == '-';
        if (!(at(i) >= '0' && at(i) <= '9')) return std::nullopt;
        for (; at(i) >= '0' && at(i) <= '9'; ++i) {
            const int next = exponent * 10 + static_cast<int>(at(i) - '0');
            if (next > 1024) break;
            exponent = next;
        }
        if (negExp) exponent = -exponent;
    }
    if (digits == 0) return std::nullopt;
    while (at(i) == ' ') ++i;
    if (i != text.size()) return std::nullopt;
    auto result = Scale(v, exponent - fraction);
    if (!result) return std::nullopt;
    return negative ? -*result : *result;
}

}  // namespace

SentenceFields SplitSentence(std::string_view sentence) {
    SentenceFields fields;
    if (sentence.empty()) return fields;
    while (fields.Count < kFieldCount) {
        const auto comma = sentence.find(',');
        if (comma == std::string_view::npos) break;
        fields.Field[static_cast<std::size_t>(fields.Count - 1)] = sentence.substr(0, comma);
        sentence.remove_prefix(comma + 1);
        ++fields.Count;
    }
    fields.Field[static_cast<std::size_t>(fields.Count - 1)] = sentence.substr(0, sentence.find('*'));
    return fields;
}

bool ChecksumOk(std::string_view sentence) {
    const auto star = sentence.find('*');
    if (star == std::string_view::npos) return false;
    unsigned x = 0;
    for (std::size_t i = 1; i < star; ++i) x ^= static_cast<unsigned char>(sentence[i]);
    const std::string_view written = TrimBytes(sentence.substr(star + 1, 2));
    wchar_t text[3] = {L'$'};
    for (std::size_t i = 0; i < written.size(); ++i) text[i + 1] = static_cast<unsigned char>(written[i]);
    return IntOrZero(std::wstring_view(text, written.size() + 1)) == static_cast<std::int32_t>(x);
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
