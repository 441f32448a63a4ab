// The user's date format through the Win32 locale functions: the short date
// pattern and date separator of the user's default locale (the thread's locale
// when that one is not installed), era calendars rewritten, linguistic lower
// case, and the local clock's year. The portable side gets plain texts and
// never sees an LCID.
#include <windows.h>

#include <string>

#include "dates/DateTime.h"
#include "dates/LocaleInfo.h"

namespace {

constexpr wchar_t kDefaultShortDate[] = L"m/d/yy";

LCID InstalledOrThreadLocale(LCID locale) { return IsValidLocale(locale, LCID_INSTALLED) ? locale : GetThreadLocale(); }

std::wstring LocaleItem(LCID locale, LCTYPE item, const wchar_t* fallback) {
    wchar_t buffer[256];
    const int length = GetLocaleInfoW(locale, item, buffer, 256);
    return length > 1 ? std::wstring(buffer, static_cast<std::size_t>(length - 1)) : fallback;
}

// The date separator read into three characters: longer items fall back to "/".
wchar_t DateSeparator(LCID locale) {
    wchar_t buffer[3] = {};
    return GetLocaleInfoW(locale, LOCALE_SDATE, buffer, 3) > 0 && buffer[0] != 0 ? buffer[0] : L'/';
}

bool MatchesAt(const std::wstring& text, std::size_t pos, std::wstring_view what) {
    if (pos + what.size() > text.size()) return false;
    for (std::size_t i = 0; i < what.size(); ++i)
        if ((text[pos + i] | 0x20) != what[i]) return false;
    return true;
}

// Japanese, Taiwanese and Korean era calendars write the year as an era year.
std::wstring EraPattern(const std::wstring& pattern) {
    std::wstring out;
    for (std::size_t i = 0; i < pattern.size();) {
        if (MatchesAt(pattern, i, L"gg")) {
            out += L"ggg";
            i += 2;
        } else if (MatchesAt(pattern, i, L"yyyy")) {
            out += L"eeee";
            i += 4;
        } else if (MatchesAt(pattern, i, L"yy")) {
            out += L"ee";
            i += 2;
        } else if (pattern[i] == L'y' || pattern[i] == L'Y') {
            out += L'e';
            ++i;
        } else out += pattern[i++];
    }
    return out;
}

bool StartedWithEastAsianLanguage() {
    const WORD language = PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale()));
    return language == LANG_CHINESE || language == LANG_JAPANESE || language == LANG_KOREAN;
}

std::wstring WithoutEraLetters(const std::wstring& pattern) {
    std::wstring out;
    for (wchar_t c : pattern)
        if (c != L'g' && c != L'G') out += c;
    return out;
}

}  // namespace

UserDateFormat ReadUserDateFormat() {
    const LCID locale = InstalledOrThreadLocale(GetUserDefaultLCID());
    UserDateFormat user;
    user.Separator = DateSeparator(locale);
    user.ShortDatePattern = LocaleItem(locale, LOCALE_SSHORTDATE, kDefaultShortDate);
    const std::wstring calendar = LocaleItem(locale, LOCALE_ICALENDARTYPE, L"1");
    if (calendar == L"3" || calendar == L"4" || calendar == L"5") {
        user.ShortDatePattern = EraPattern(user.ShortDatePattern);
    } else if (StartedWithEastAsianLanguage()) {
        user.ShortDatePattern = WithoutEraLetters(user.ShortDatePattern);
    }
    return user;
}

std::wstring LowerCaseText(std::wstring_view text) {
    if (text.empty()) return {};
    std::wstring out(text.size() * 2 + 8, L'\0');
    const int length = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING, text.data(),
                                    static_cast<int>(text.size()), out.data(), static_cast<int>(out.size()));
    if (length <= 0) return std::wstring(text);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

int CurrentLocalYear() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wYear;
}
