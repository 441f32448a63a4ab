// The user's date format on POSIX systems: the C library's LC_TIME date
// format (from LC_ALL, LC_TIME or LANG) turned into the short date pattern
// that the portable date conventions read. There is no linguistic lower case
// here, so only A to Z are lowered.
#include <langinfo.h>
#include <locale.h>
#include <clocale>
#include <ctime>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "dates/AsciiText.h"
#include "dates/DateTime.h"
#include "dates/LocaleInfo.h"

namespace {

// %D and %F written out, so that every date element is a conversion of its own.
std::string ExpandedDateFormat(std::string_view format) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 'D' || format[i + 1] == 'F')) {
            out += format[++i] == 'D' ? "%m/%d/%y" : "%Y-%m-%d";
        } else {
            out += format[i];
        }
    }
    return out;
}

// The pattern letters of one date conversion; empty for any other.
std::wstring_view ElementLetters(char conversion) {
    switch (conversion) {
        case 'd': return L"dd";
        case 'e': return L"d";
        case 'm': return L"MM";
        case 'Y': return L"yyyy";
        case 'y': return L"yy";
        default: return {};
    }
}

// The text between two elements without its blanks, as the separator it
// stands for: one printable ASCII character, or none.
char SeparatorOf(std::string_view between) {
    std::string text;
    for (char c : between)
        if (c != ' ') text += c;
    return text.size() == 1 && text[0] > ' ' && text[0] < 0x7F ? text[0] : 0;
}

}  // namespace

std::wstring PatternFromDateFormat(std::string_view format) {
    const std::string expanded = ExpandedDateFormat(format);
    std::vector<std::wstring_view> elements;
    std::vector<char> separators;
    std::string between;
    for (std::size_t i = 0; i < expanded.size(); ++i) {
        if (expanded[i] != '%' || i + 1 >= expanded.size()) {
            between += expanded[i];
            continue;
        }
        char c = expanded[++i];
        if ((c == 'E' || c == 'O' || c == '-' || c == '0' || c == '_') && i + 1 < expanded.size()) c = expanded[++i];
        const std::wstring_view letters = ElementLetters(c);
        if (letters.empty()) continue;
        if (!elements.empty()) separators.push_back(SeparatorOf(between));
        between.clear();
        elements.push_back(letters);
    }
    // "%d.%m.%Y" keeps its point; "%Y年%m月%d日" has no one separator and takes "/".
    const bool oneSeparator =
        std::all_of(separators.begin(), separators.end(), [&](char c) { return c != 0 && c == separators.front(); });
    const wchar_t separator = oneSeparator && !separators.empty() ? static_cast<wchar_t>(separators.front()) : L'/';
    std::wstring pattern;
    for (std::size_t k = 0; k < elements.size(); ++k) {
        if (k > 0) pattern += separator;
        pattern += elements[k];
    }
    return pattern;
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
