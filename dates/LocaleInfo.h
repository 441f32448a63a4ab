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

// Linguistic lower case of the user's locale.
std::wstring LowerCaseText(std::wstring_view text);
