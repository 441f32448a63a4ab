// Any double through any format, and any bytes as a pattern. Every finite
// value below 1e17 is also written with each precision from 0 to 18 and
// checked against a reference worked out from the double's exact decimal
// value, so that a product rounded twice cannot come back.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "dates/DateTime.h"
#include "dates/FormatFixed.h"

namespace {

__extension__ typedef unsigned __int128 TUInt128;

// The exact decimal digits of m * 5^q, most significant first.
std::string DigitsOfTimesPowerOfFive(std::uint64_t m, int q) {
    std::string digits = std::to_string(m);
    for (; q > 0; q -= 13) {
        std::uint64_t factor = 1;
        for (int i = 0; i < std::min(q, 13); ++i) factor *= 5;  // below 2^32
        std::uint64_t carry = 0;
        for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
            const std::uint64_t t = static_cast<std::uint64_t>(*it - '0') * factor + carry;
            *it = static_cast<char>('0' + t % 10);
            carry = t / 10;
        }
        for (; carry != 0; carry /= 10) digits.insert(digits.begin(), static_cast<char>('0' + carry % 10));
    }
    return digits;
}

// a * 10^k (a finite, positive) as its whole part and whether a fraction is
// left: a = m * 2^e2 is exactly m * 5^-e2 / 10^-e2 when e2 is negative.
std::uint64_t WholePartOfScaled(double a, int k, bool& fraction) {
    int e2 = 0;
    const auto m = static_cast<std::uint64_t>(std::ldexp(std::frexp(a, &e2), 53));
    e2 -= 53;
    const int q = e2 < 0 ? -e2 : 0;
    const std::string digits = e2 < 0 ? DigitsOfTimesPowerOfFive(m, q) : std::to_string(static_cast<std::uint64_t>(a));
    const auto whole = static_cast<std::ptrdiff_t>(digits.size()) + k - q;
    std::uint64_t n = 0;
    for (std::ptrdiff_t i = 0; i < whole; ++i) {
        n = n * 10 + static_cast<std::uint64_t>(i < static_cast<std::ptrdiff_t>(digits.size())
                                                    ? digits[static_cast<std::size_t>(i)] - '0'
                                                    : 0);
    }
    fraction = whole < 0 || digits.find_first_not_of(
                                '0', static_cast<std::size_t>(std::max<std::ptrdiff_t>(whole, 0))) != std::string::npos;
    return n;
}

// The double nearest to n + (a fraction when inexact), n of 54 to 63 bits.
std::uint64_t NearestDouble(std::uint64_t n, bool inexact) {
    const std::uint64_t unit = std::uint64_t{1} << (static_cast<int>(std::bit_width(n)) - 53);
    const std::uint64_t below = n & ~(unit - 1), rest = n - below;
    const bool up = rest > unit / 2 || (rest == unit / 2 && (inexact || (below / unit) % 2 == 1));
    return below + (up ? unit : 0);
}

std::wstring Text(TUInt128 n) {
    std::wstring text;
    do {
        text.insert(text.begin(), static_cast<wchar_t>(L'0' + static_cast<int>(n % 10)));
        n /= 10;
    } while (n != 0);
    return text;
}

// The 18 digits of the double nearest to a * 10^(18 - e) for a finite a > 0,
// with e the count of digits before the point. Below 10^-19 no precision
// shows a digit, so the digits are not worked out.
struct TDigits {
    std::uint64_t N = 0;
    int E = 0;
};

TDigits EighteenDigits(double a) {
    int e2 = 0;
    std::frexp(a, &e2);
    TDigits d;
    d.E = (((e2 - 1) * 19728) >> 16) + 1;
    if (d.E + 18 + 1 < 0) return d;
    bool fraction = false;
    const std::uint64_t whole = WholePartOfScaled(a, 18 - d.E, fraction);
    d.N = NearestDouble(whole, fraction);
    if (d.N >= 1000000000000000000u) {
        d.N = static_cast<std::uint64_t>(std::nearbyint(static_cast<double>(d.N) / 10.0));
        ++d.E;
    }
    return d;
}

// What "%.Pf" must give for x: its digits cut to E + P of them (at most 17),
// rounding half up; zero when x is.
std::wstring ExpectedFixed(double x, const TDigits& d, int precision) {
    TUInt128 count = 0;  // of units of 10^-precision
    const int cut = d.E + precision;
    if (x != 0.0 && cut >= 0) {
        const int kept = std::min(cut, 17);
        TUInt128 scale = 1;
        for (int i = kept; i < 18; ++i) scale *= 10;
        count = d.N / scale + (d.N % scale >= scale / 2 ? 1 : 0);
        for (int i = kept; i < cut; ++i) count *= 10;
    }
    std::wstring digits = Text(count);
    if (digits.size() <= static_cast<std::size_t>(precision))
        digits.insert(0, static_cast<std::size_t>(precision) + 1 - digits.size(), L'0');
    if (precision > 0) digits.insert(digits.size() - static_cast<std::size_t>(precision), 1, L'.');
    return (x < 0 && count != 0 ? L"-" : L"") + digits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(double)) return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const std::wstring format(reinterpret_cast<const char*>(data) + sizeof value,
                              reinterpret_cast<const char*>(data) + size);
    (void)FormatFixed(format, value);
    (void)FormatFixed(L"%10.8f", value);
    (void)FormatTimeDecimals(value, format, static_cast<std::int32_t>(size % 5) - 1);
    if (!std::isfinite(value) || std::fabs(value) >= 1e17) return 0;
    const TDigits digits = value != 0.0 ? EighteenDigits(std::fabs(value)) : TDigits{};
    for (int precision = 0; precision <= 18; ++precision) {
        if (FormatFixed(L"%." + std::to_wstring(precision) + L"f", value) != ExpectedFixed(value, digits, precision)) {
            __builtin_trap();
        }
    }
    return 0;
}
