#include "dates/DateConventions.h"

#include <cstdlib>
#include <string>

#include "dates/LocaleInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(DateConventionsFromPattern, OrderAndDisplayPatternFollowTheLocale) {
    struct Row {
        std::wstring pattern;
        wchar_t separator;
        std::array<std::int32_t, 3> order;
        std::wstring display;
    };
    const Row rows[] = {
        {L"yyyy/MM/dd", L'/', {3, 2, 1}, L"yyyy/mm/dd"},
        {L"M/d/yyyy", L'/', {2, 1, 3}, L"mm/dd/yyyy"},
        {L"dd/MM/yyyy", L'/', {1, 2, 3}, L"dd/mm/yyyy"},
        {L"dd.MM.yyyy", L'.', {1, 2, 3}, L"dd.mm.yyyy"},
        {L"yyyy-MM-dd", L'-', {3, 2, 1}, L"yyyy-mm-dd"},
        {L"d. M. yyyy", L'.', {1, 2, 3}, L"dd.mm.yyyy"},
        {L"dd.MM.yyyy", L'/', {1, 2, 3}, L"dd/mm/yyyy"},  // the point finds the elements
        {L"yyyyMMdd", L'/', {3, 3, 3}, L"yyyy/yyyy/yyyy"},
        {L"'Day' d/M/yy", L'/', {0, 2, 3}, L"/mm/yyyy"},  // an element of another kind shows nothing
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.pattern));
        const DateConventions c = DateConventionsFromPattern(r.pattern, r.separator);
        EXPECT_EQ(c.DateOrder, r.order);
        EXPECT_EQ(c.DisplayDateFormat, r.display);
        EXPECT_EQ(c.LocaleDateSeparator, r.separator);
        EXPECT_EQ(c.UsDateSeparator, L'/');
    }
}

#ifndef _WIN32
TEST(PatternFromDateFormat, TurnsLibraryDateFormatsIntoShortDatePatterns) {
    struct Row {
        std::string format;
        std::wstring pattern;
    };
    const Row rows[] = {
        {"%m/%d/%y", L"MM/dd/yy"},  // the C locale
        {"%d.%m.%Y", L"dd.MM.yyyy"},
        {"%Y-%m-%d", L"yyyy-MM-dd"},
        {"%D", L"MM/dd/yy"},
        {"%F", L"yyyy-MM-dd"},
        {"%e/%m/%Ey", L"d/MM/yy"},                                      // E and O modifiers are read past
        {"%d. %m. %Y", L"dd.MM.yyyy"},                                  // blanks around the separator go
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", L"yyyy/MM/dd"},  // "%Y年%m月%d日": no one separator
        {"%Y-%m/%d", L"yyyy/MM/dd"},                                    // two different ones
        {"%A %d.%m.%Y%", L"dd.MM.yyyy"},                                // other conversions and a lone % go
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.format);
        EXPECT_EQ(PatternFromDateFormat(r.format), r.pattern);
    }
}

TEST(SetupDateConventions, ReadsTheOrderOfTheLocaleInTheEnvironment) {
    const char* saved = std::getenv("LC_ALL");
    const std::string restore = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    const DateConventions c = SetupDateConventions();
    if (saved) setenv("LC_ALL", restore.c_str(), 1);
    else unsetenv("LC_ALL");
    EXPECT_EQ(c.DateOrder, (std::array<std::int32_t, 3>{2, 1, 3}));
    EXPECT_EQ(c.DisplayDateFormat, L"mm/dd/yyyy");
    EXPECT_EQ(c.LocaleDateSeparator, L'/');
}
#endif

}  // namespace
