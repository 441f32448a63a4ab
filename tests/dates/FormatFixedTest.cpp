#include "dates/FormatFixed.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(FormatFixed, RoundsHalfAwayFromZeroOnSeventeenDigits) {
    struct Row {
        std::wstring format;
        double value;
        std::wstring text;
    };
    const Row rows[] = {
        {L"%4.1f", 0.25, L" 0.3"},
        {L"%4.1f", 22.4, L"22.4"},
        {L"%4.1f", -0.04, L" 0.0"},
        {L"%4.1f", std::numeric_limits<double>::quiet_NaN(), L" NAN"},
        {L"%6.1f", 0.15, L"   0.2"},
        {L"%6.1f", 0.25, L"   0.3"},
        {L"%6.1f", -0.05, L"  -0.1"},
        {L"%5.0f", 2.5, L"    3"},
        {L"%7.2f", 0.125, L"   0.13"},
        {L"%7.2f", 1.005, L"   1.00"},
        {L"%8.3f", 1.0005, L"   1.001"},
        {L"%3.1f", 99.95, L"100.0"},
        {L"%10.8f", 35.66872333333333, L"35.66872333"},
        {L"%10.8f", 139.761315, L"139.76131500"},
        {L"%10.8f", -5e-9, L"-0.00000001"},
        {L"%10.8f", 12345678901.123456, L"12345678901.12345600"},
        // zero, negative zero, infinities, tiny values
        {L"%6.1f", 0.0, L"   0.0"},
        {L"%6.1f", -0.0, L"   0.0"},
        {L"%5.0f", -0.4, L"    0"},
        {L"%6.1f", -std::numeric_limits<double>::infinity(), L"  -INF"},
        {L"%6.1f", 4.9e-324, L"   0.0"},
        {L"%6.1f", -1.0, L"  -1.0"},
        {L"%6.1f", 599.95, L" 600.0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.format) + " " + std::to_string(r.value));
        EXPECT_EQ(FormatFixed(r.format, r.value), r.text);
    }
}

// Values whose scaled product, rounded to a wider type before the double,
// lands on a half-way point and then rounds to the wrong side.
TEST(FormatFixed, ScaledValueIsRoundedOnce) {
    struct Row {
        std::wstring format;
        double value;
        std::wstring text;
    };
    const Row rows[] = {
        {L"%10.8f", 9.395844375, L"9.39584437"},  // the field 0923.7506625
        {L"%10.8f", 33.069450565, L"33.06945056"},
        {L"%10.8f", -117.075378465, L"-117.07537847"},
        {L"%10.8f", 67.034722455, L"67.03472246"},
        {L"%10.8f", 159.08876061499998, L"159.08876061"},
        {L"%.18f", 6.09391175556665e-05, L"0.000060939117555666"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.format) + " " + std::to_string(r.value));
        EXPECT_EQ(FormatFixed(r.format, r.value), r.text);
    }
}

TEST(FormatFixed, MalformedFormatGivesTheTextBeforeThePercent) {
    EXPECT_EQ(FormatFixed(L"%4.-1f", 1.5), L"");
    EXPECT_EQ(FormatFixed(L"%4.1", 1.5), L"");
    EXPECT_EQ(FormatFixed(L"%4.f", 1.5), L"1.50");  // no precision digits: 2
    EXPECT_EQ(FormatFixed(L"%4.19f", 1.5), L"1.50");
}

// Only nonsense fields reach 1e17: seventeen significant digits and an exponent.
TEST(FormatFixed, HugeValuesTakeTheExponentForm) {
    EXPECT_EQ(FormatFixed(L"%6.1f", 1e17), L"1.0000000000000000E+17");
    EXPECT_EQ(FormatFixed(L"%6.1f", 123456789012345678.0), L"1.2345678901234568E+17");
    EXPECT_EQ(FormatFixed(L"%6.1f", 1e300), L"1.0000000000000000E+300");
    EXPECT_EQ(FormatFixed(L"%6.1f", -1.7976931348623157e308), L"-1.7976931348623158E+308");
}

}  // namespace
