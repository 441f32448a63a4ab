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
// A C library date format (nl_langinfo's D_FMT) as a short date pattern: its
// day, month and year conversions in their order, joined by the one
// character that stands between them ("%d.%m.%Y" gives "dd.MM.yyyy", blanks
// around it dropped), or by "/" where there is no such one character
// ("%Y年%m月%d日" gives "yyyy/MM/dd"). Other conversions and text are dropped.
std::wstring PatternFromDateFormat(std::string_view format);
#endif

// Linguistic lower case of the user's locale.
std::wstring LowerCaseText(std::wstring_view text);
