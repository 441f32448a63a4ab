#include "dates/DateConventions.h"

#include <gtest/gtest.h>

namespace {

TEST(DateConventionsFromPattern, OrderAndDisplayPatternFollowTheLocale) {
    struct Row { std::wstring pattern; wchar_t separator; std::array<std::int32_t, 3> order; std::wstring display; };
    const Row rows[] = {
        {L"yyyy/MM/dd", L'/', {3, 2, 1}, L"yyyy/mm/dd"},
        {L"M/d/yyyy", L'/', {2, 1, 3}, L"mm/dd/yyyy"},
        {L"dd/MM/yyyy", L'/', {1, 2, 3}, L"dd/mm/yyyy"},
        {L"dd.MM.yyyy", L'.', {1, 2, 3}, L"dd.mm.yyyy"},
        {L"yyyy-MM-dd", L'-', {3, 2, 1}, L"yyyy-mm-dd"},
        {L"d. M. yyyy", L'.', {1, 2, 3}, L"dd.mm.yyyy"},
        {L"dd.MM.yyyy", L'/', {1, 2, 3}, L"dd/mm/yyyy"},  // the point finds the elements
        {L"yyyyMMdd", L'/', {3, 3, 3}, L"yyyy/yyyy/yyyy"},
        {L"'Day' d/M/yy", L'/', {0, 2, 3}, L"/mm/yyyy"},    // an element of another kind shows nothing
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

TEST(SetupDateConventions, GivesACompleteOrderFromTheEnvironment) {
    const DateConventions c = SetupDateConventions();
    for (std::int32_t element : c.DateOrder) EXPECT_GE(element, 1);
    EXPECT_EQ(c.DisplayDateFormat.size(), 10u);
}

}  // namespace
