#include "dates/FormatFixed.h"

#include "dates/PowerOfTen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr int kSignificantDigits = 18;

struct FixedFormat {
    bool LeftAlign = false;
    int Width = 0;
    int Precision = 2;
};

// "%" ["-"] [width] ["." precision] letter; false when no letter stands where it should.
bool ReadFormat(std::wstring_view format, FixedFormat& out, std::size_t& percent) {
    percent = format.find(L'%');
    if (percent == std::wstring_view::npos) return false;
    std::size_t i = percent + 1;
    const auto digit = [&](std::size_t k) { return k < format.size() && format[k] >= L'0' && format[k] <= L'9'; };
    if (i < format.size() && format[i] == L'-') {
        out.LeftAlign = true;
        ++i;
    }
    for (; digit(i); ++i) out.Width = std::min(out.Width * 10 + static_cast<int>(format[i] - L'0'), 100000);
    if (i < format.size() && format[i] == L'.') {
        ++i;
        if (digit(i)) {
            int precision = 0;
            for (; digit(i); ++i) precision = std::min(precision * 10 + static_cast<int>(format[i] - L'0'), 1000);
            out.Precision = precision > 18 ? 2 : precision;
        }
    }
    if (i >= format.size()) return false;
    const wchar_t letter = format[i];
    return (letter >= L'a' && letter <= L'z') || (letter >= L'A' && letter <= L'Z');
}

// Digits of |x| (finite, non-zero, below 1e17) as 18 digits and the count before the point.
void Decimals(double a, char (&digits)[kSignificantDigits + 1], int& exponent) {
    int e2 = 0;
    std::frexp(a, &e2);
    e2 -= 1;  // a = f * 2^e2 with 1 <= f < 2
    exponent = ((e2 * 19728) >> 16) + 1;
    // Rounded once: a product rounded to a wider type first could land on a
    // half-way point between two doubles and then round to the wrong one.
    const double y = ScaleByPowerOfTen(a, kSignificantDigits - exponent);
    double n = std::nearbyint(y);
    if (n >= 1e18) {
        n = std::nearbyint(n / 10.0);
        ++exponent;
    }
    auto value = static_cast<std::uint64_t>(n);
    for (int i = kSignificantDigits - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    digits[kSignificantDigits] = 0;
}

std::wstring FixedText(double x, int precision) {
    const double a = std::fabs(x);
    if (a == 0.0) return L"0" + (precision > 0 ? L"." + std::wstring(static_cast<std::size_t>(precision), L'0') : L"");
    char s[kSignificantDigits + 1];
    int e = 0;
    Decimals(a, s, e);
    std::string kept;
    int cut = e + precision;
    if (cut >= 0) {
        cut = std::min(cut, 17);
        kept.assign(s, static_cast<std::size_t>(cut));
        if (s[cut] >= '5') {
            int i = cut - 1;
            for (; i >= 0 && kept[static_cast<std::size_t>(i)] == '9'; --i) kept[static_cast<std::size_t>(i)] = '0';
            if (i >= 0) {
                ++kept[static_cast<std::size_t>(i)];
            } else {
                kept.assign(1, '1');
                ++e;
            }
        }
        while (!kept.empty() && kept.back() == '0') kept.pop_back();
    }
    std::wstring out;
    if (kept.empty()) {
        out = L"0";
        if (precision > 0) out += L"." + std::wstring(static_cast<std::size_t>(precision), L'0');
        return out;
    }
    if (x < 0) out += L'-';
    const auto digitAt = [&](int i) {
        return i >= 0 && i < static_cast<int>(kept.size()) ? static_cast<wchar_t>(kept[static_cast<std::size_t>(i)])
                                                           : L'0';
    };
    if (e <= 0) out += L'0';
    for (int i = 0; i < e; ++i) out += digitAt(i);
    if (precision > 0) {
        out += L'.';
        for (int i = 0; i < precision; ++i) out += digitAt(e + i);
    }
    return out;
}

// Values of 1e17 and more only come from nonsense fields: "-1.2345678901234568E+17".
std::wstring ExponentText(double x) {
    char s[kSignificantDigits + 1];
    int e = 0;
    Decimals(std::fabs(x), s, e);
    std::wstring out = x < 0 ? L"-" : L"";
    out += static_cast<wchar_t>(s[0]);
    out += L'.';
    for (int i = 1; i < 17; ++i) out += static_cast<wchar_t>(s[i]);
    out += L"E+";
    out += std::to_wstring(e - 1);
    return out;
}

}  // namespace

std::wstring FormatFixed(std::wstring_view format, double value) {
    FixedFormat f;
    std::size_t percent = 0;
    if (!ReadFormat(format, f, percent)) {
        return std::wstring(format.substr(0, percent == std::wstring_view::npos ? format.size() : percent));
    }
    std::wstring text;
    if (std::isnan(value)) text = L"NAN";
    else if (std::isinf(value)) text = value < 0 ? L"-INF" : L"INF";
    else if (std::fabs(value) >= 1e17) text = ExponentText(value);
    else text = FixedText(value, f.Precision);
    const std::size_t width = static_cast<std::size_t>(f.Width);
    if (text.size() < width) {
        const std::wstring pad(width - text.size(), L' ');
        text = f.LeftAlign ? text + pad : pad + text;
    }
    return std::wstring(format.substr(0, percent)) + text;
}
