// What the user's locale says about dates, fetched by the platform half.
#pragma once

#include <string>

struct UserDateFormat {
    // The short date pattern (letters d, M, y, g, quoted text); on Windows
    // already rewritten for era calendars.
    std::wstring ShortDatePattern;
    wchar_t Separator = L'/';
};

UserDateFormat ReadUserDateFormat();
