#include "dates/DateTime.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const double kDay = DayNumber(2020, 1, 2);
constexpr double kMs = 1.0 / 86400000.0;

TEST(DayNumber, CountsFromTheLastDaysOf1899) {
    EXPECT_EQ(DayNumber(1899, 12, 30), 0.0);
    EXPECT_EQ(DayNumber(1900, 1, 1), 2.0);
    EXPECT_EQ(DayNumber(2020, 1, 2), 43832.0);
    EXPECT_EQ(DayNumber(1994, 3, 23), 34416.0);
    EXPECT_EQ(DayNumber(2000, 3, 1) - DayNumber(2000, 2, 28), 2.0);  // 2000 is a leap year
    EXPECT_EQ(DayNumber(1900, 3, 1) - DayNumber(1900, 2, 28), 1.0);  // 1900 is not
}

TEST(FormatTimeDecimals, CutsTheMillisecondsToTheDigitsAsked) {
    const double value = kDay + (12 * 3600 + 34 * 60 + 56) / 86400.0 + 789 * kMs;
    struct Row {
        double value;
        std::wstring pattern;
        int digits;
        std::wstring text;
    };
    const Row rows[] = {
        {value, L"yyyy/mm/dd hh:mm:ss", 0, L"2020/01/02 12:34:56"},
        {value, L"yyyy/mm/dd hh:mm:ss", 1, L"2020/01/02 12:34:56.7"},
        {value, L"yyyy/mm/dd hh:mm:ss", 2, L"2020/01/02 12:34:56.78"},
        {value, L"yyyy/mm/dd hh:mm:ss", 3, L"2020/01/02 12:34:56.789"},
        {value, L"yyyy/mm/dd hh:mm:ss", 7, L"2020/01/02 12:34:56.789"},
        {value, L"dd.mm.yyyy hh:mm:ss", -1, L"02.01.2020 12:34:56"},
        {2.0 / 86400, L"hh:mm:ss", 1, L"00:00:02.0"},
        {-2.0 / 86400, L"hh:mm:ss", 1, L"00:00:02.0"},
        {1.5, L"hh:mm:ss", 1, L"12:00:00.0"},
        {kDay + 56.96 / 86400, L"hh:mm:ss", 1, L"00:00:56.9"},
        {kDay + 1.0 / 86400 - 0.4 * kMs, L"hh:mm:ss", 3, L"00:00:01.000"},
        {kDay, L"yy/m/d 'at' h:n:s", 0, L"20/1/2 at 0:0:0"},
        {std::numeric_limits<double>::quiet_NaN(), L"hh:mm:ss", 1, L""},
        {1e300, L"hh:mm:ss", 1, L""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.text));
        EXPECT_EQ(FormatTimeDecimals(r.value, r.pattern, r.digits), r.text);
    }
}

TEST(ParseDateTimeText, ReadsMonthFirstDatesAndMillisecondCounts) {
    const double d94 = DayNumber(1994, 3, 23);
    const auto at = [](double day, int h, int m, int s, int ms) {
        return day + static_cast<double>(((h * 60 + m) * 60 + s) * 1000 + ms) / 86400000.0;
    };
    struct Row {
        std::wstring text;
        double value;
    };
    const Row rows[] = {
        {L"03/23/94 12:35:19.000", at(d94, 12, 35, 19, 0)},
        {L"03/23/74 12:35:19.000", at(DayNumber(2074, 3, 23), 12, 35, 19, 0)},
        {L"03/23/75 12:35:19.000", at(DayNumber(1975, 3, 23), 12, 35, 19, 0)},
        {L"03/23/94 12:35:19.5", at(d94, 12, 35, 19, 5)},
        {L"03/23/94 12:35:19.0123", at(d94, 12, 35, 19, 123)},
        {L"03/23/94 1:23:45.000", at(d94, 1, 23, 45, 0)},
        {L"03/23/94", d94},
        {L"03/23/94 5", d94},
        {L"03/23", DayNumber(2025, 3, 23)},
        {L" 12:35:19.000", at(0, 12, 35, 19, 0)},
        {L"03/23/1994 12:35 PM", at(d94, 12, 35, 0, 0)},
        {L"03/23/94 1:05:00 pm", at(d94, 13, 5, 0, 0)},
        {L"03/23/0001 00:00:00.000", DayNumber(1, 3, 23)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.text));
        const auto value = ParseDateTimeText(r.text, 2025);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, r.value);
    }
}

TEST(ParseDateTimeText, RefusesWhatIsNotADateTime) {
    const std::wstring rows[] = {
        L"03/23/94 12:35:19.1234",
        L"03/23/94 12:35:19.-100",
        L"03/23/94 12:35:19.",
        L"03/23/94 :12:34.000",
        L"02/30/94 12:35:19.000",
        L"13/01/94 12:35:19.000",
        L"00/10/94 12:35:19.000",
        L"03/23/94 24:00:00.000",
        L"03/23 12:35:19.000",
        L"",
        L"abc",
        L"03/23/94 12:60:00.000",
    };
    for (const auto& text : rows) {
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_FALSE(ParseDateTimeText(text, 2025).has_value());
    }
}

}  // namespace
