// The user's date format on POSIX systems: the C library's LC_TIME date
// format (from LC_ALL, LC_TIME or LANG) turned into the short date pattern
// that the portable date conventions read. There is no linguistic lower case
// here, so only A to Z are lowered.
#include <clocale>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

#include <string_view>

#include "dates/AsciiText.h"
#include "dates/DateTime.h"
#include "dates/LocaleInfo.h"

std::wstring PatternFromDateFormat(std::string_view format) {
    std::wstring out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += static_cast<wchar_t>(static_cast<unsigned char>(format[i]));
            continue;
        }
        char c = format[++i];
        if (c == 'E' || c == 'O' || c == '-' || c == '0' || c == '_') {
            if (i + 1 >= format.size()) break;
            c = format[++i];
        }
        switch (c) {
            case 'd': out += L"dd"; break;
            case 'e': out += L"d"; break;
            case 'm': out += L"MM"; break;
            case 'Y': out += L"yyyy"; break;
            case 'y': out += L"yy"; break;
            case 'D': out += L"MM/dd/yy"; break;
            case 'F': out += L"yyyy-MM-dd"; break;
            case '%': out += L'%'; break;
            default: break;
        }
    }
    return out;
}

UserDateFormat ReadUserDateFormat() {
    UserDateFormat user;
    std::string_view format = "%m/%d/%y";
    locale_t locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (locale != static_cast<locale_t>(nullptr)) {
        const char* d = nl_langinfo_l(D_FMT, locale);
        if (d != nullptr && *d != '\0') format = d;
    }
    user.ShortDatePattern = PatternFromDateFormat(format);
    if (locale != static_cast<locale_t>(nullptr)) freelocale(locale);
    // The separator is the first character that is not part of an element.
    const auto pos = user.ShortDatePattern.find_first_not_of(L"dMy ");
    if (pos != std::wstring::npos) user.Separator = user.ShortDatePattern[pos];
    return user;
}

std::wstring LowerCaseText(std::wstring_view text) { return LowerAscii(text); }

int CurrentLocalYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return 2000;
    return local.tm_year + 1900;
}
