// Character rules that do not depend on any locale: only A to Z change case,
// only 0-9, a-f and A-F are hexadecimal digits.
#pragma once

#include <string>
#include <string_view>

inline constexpr wchar_t LowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

inline std::wstring LowerAscii(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = LowerAscii(c);
    return out;
}

// The value of a hexadecimal digit in either case; -1 for any other character.
inline constexpr int HexDigitValue(char32_t c) {
    if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a' + 10);
    if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A' + 10);
    return -1;
}
