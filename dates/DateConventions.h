// The user's date order and separator, taken once from the locale, and the
// date pattern of the report built from them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct DateConventions {
    // What the i-th element of the user's short date pattern is:
    // 1 the day, 2 the month, 3 the year, 0 anything else.
    std::array<std::int32_t, 3> DateOrder{};
    wchar_t LocaleDateSeparator = L'/';
    std::wstring DisplayDateFormat;  // e.g. "yyyy/mm/dd" or "dd.mm.yyyy"
    wchar_t UsDateSeparator = L'/';
};

// Builds the conventions from a short date pattern as the platform gives it
// (letters d, M, y, quoted text) and the locale's date separator.
DateConventions DateConventionsFromPattern(std::wstring_view shortDatePattern, wchar_t separator);

// Reads the user's locale through the platform and builds the conventions.
DateConventions SetupDateConventions();
