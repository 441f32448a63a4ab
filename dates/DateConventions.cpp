#include "dates/DateConventions.h"

#include "dates/AsciiText.h"
#include "dates/LocaleInfo.h"

namespace {

constexpr std::wstring_view kElements = L"dmy";

// The locale's pattern as the conventions record keeps it: its separator
// (outside quotes) written "/", all lower case.
std::wstring ConventionsPattern(std::wstring_view pattern, wchar_t separator) {
    std::wstring out;
    bool quoted = false;
    for (wchar_t c : pattern) {
        if (c == L'\'') quoted = !quoted;
        out += !quoted && c == separator ? L'/' : c;
    }
    return LowerCaseText(out);
}

// Lower case, "yyyy" as "yy", no blanks, "/" as the locale's separator.
std::wstring OrderPattern(std::wstring_view pattern, wchar_t separator) {
    std::wstring lower;
    for (wchar_t c : pattern) lower += LowerAscii(c);
    std::wstring out;
    for (std::size_t i = 0; i < lower.size(); ++i) {
        if (lower.compare(i, 4, L"yyyy") == 0) {
            out += L"yy";
            i += 3;
        } else if (lower[i] != L' ') {
            out += lower[i] == L'/' ? separator : lower[i];
        }
    }
    return out;
}

}  // namespace

DateConventions DateConventionsFromPattern(std::wstring_view shortDatePattern, wchar_t separator) {
    DateConventions c;
    c.LocaleDateSeparator = separator;
    std::wstring p = OrderPattern(ConventionsPattern(shortDatePattern, separator), separator);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto element = p.empty() ? std::wstring_view::npos : kElements.find(p[0]);
        c.DateOrder[i] = element == std::wstring_view::npos ? 0 : static_cast<std::int32_t>(element + 1);
        auto cut = p.find(separator);
        if (cut == std::wstring::npos) cut = p.find(L'.');
        if (cut != std::wstring::npos) p.erase(0, cut + 1);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0) c.DisplayDateFormat += separator;
        switch (c.DateOrder[i]) {
            case 1: c.DisplayDateFormat += L"dd"; break;
            case 2: c.DisplayDateFormat += L"mm"; break;
            case 3: c.DisplayDateFormat += L"yyyy"; break;
            default: break;  // an element of another kind shows nothing
        }
    }
    return c;
}

DateConventions SetupDateConventions() {
    const UserDateFormat user = ReadUserDateFormat();
    return DateConventionsFromPattern(user.ShortDatePattern, user.Separator);
}
