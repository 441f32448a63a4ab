// What the user's locale says about dates, fetched by the platform half.
#pragma once

#include <string>
#include <string_view>

struct UserDateFormat {
    // The short date pattern (letters d, M, y, g, quoted text); on Windows
    // already rewritten for era calendars.
    std::wstring ShortDatePattern;
    wchar_t Separator = L'/';
};

UserDateFormat ReadUserDateFormat();

#ifndef _WIN32
// A C library date format (nl_langinfo's D_FMT, e.g. "%d.%m.%Y") as a short
// date pattern ("dd.MM.yyyy"); conversions other than dates are dropped.
std::wstring PatternFromDateFormat(std::string_view format);
#endif

// Linguistic lower case of the user's locale.
std::wstring LowerCaseText(std::wstring_view text);
