#include "ui/UiRules.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionTextOf, PadsTheMinorNumberToTwoDigits) {
    EXPECT_EQ(VersionTextOf(0x00010000u), L"1.00");
    EXPECT_EQ(VersionTextOf(0x00020004u), L"2.04");
    EXPECT_EQ(VersionTextOf(0x0001000Cu), L"1.12");
    EXPECT_EQ(VersionTextOf(0x0003007Bu), L"3.123");
    EXPECT_EQ(VersionTextOf(0xFFFFFFFFu), L"65535.65535");  // no version resource
}

TEST(ApplicationTitleOf, KeepsTheFirstCharacterAndLowersTheRestUpToTheFirstDot) {
    EXPECT_EQ(ApplicationTitleOf(L"Fixtally.exe"), L"Fixtally");
    EXPECT_EQ(ApplicationTitleOf(L"FIXTALLY.EXE"), L"Fixtally");
    EXPECT_EQ(ApplicationTitleOf(L"fix.v2.exe"), L"fix");
    EXPECT_EQ(ApplicationTitleOf(L"Fixtally"), L"Fixtally");
}

TEST(FailureText, AddsAFullStopAfterCharactersAboveIt) {
    EXPECT_EQ(FailureText(L"Cannot create : C:\\Users\\u\\Fixtally\\"), L"Cannot create : C:\\Users\\u\\Fixtally\\.");
    EXPECT_EQ(FailureText(L"Cannot Copy : C:\\a.ini"), L"Cannot Copy : C:\\a.ini.");
    EXPECT_EQ(FailureText(L"Read error 5"), L"Read error 5.");
    EXPECT_EQ(FailureText(L"Done."), L"Done.");
    EXPECT_EQ(FailureText(L"Failed -"), L"Failed -");  // '-' sorts before '.'
    EXPECT_EQ(FailureText(L""), L"");
}

TEST(ResizeLayoutOf, DesignSizeGivesTheDesignedPlaces) {
    const TResizeLayout l = ResizeLayoutOf({632, 556, 25, 21, 65, 65, 65, 10, 54, 8, 72});
    EXPECT_EQ(l.ButtonTop, 507);
    EXPECT_EQ(l.ButtonExitLeft, 557);
    EXPECT_EQ(l.ButtonConvLeft, 487);
    EXPECT_EQ(l.ButtonBrowseLeft, 559);
    EXPECT_EQ(l.EditFilenameLeft, 66);
    EXPECT_EQ(l.EditFilenameWidth, 493);
    EXPECT_EQ(l.MemoWidth, 616);
    EXPECT_EQ(l.MemoHeight, 430);
}

struct TWordCase {
    const wchar_t* Line;
    int Index, Left, Right;
};

TEST(WordStartOf, FindsTheWordStartsOnEitherSide) {
    const TWordCase cases[] = {
        {L"UTC same= 2", 11, 10, 11},  // at the end: the last word's start
        {L"UTC same= 2", 6, 4, 10},    // inside "same="
        {L"UTC same= 2", 4, 0, 4},     // just after the blank: back over it
        {L"UTC  same", 5, 0, 5},       // several blanks count as one gap
        {L"a\tb", 3, 2, 3},            // a tab is a blank too
        {L"   ", 2, 0, 3},             // blanks only
        {L"word", 0, 0, 4},
        {L"", 0, 0, 0},
        {L"ab cd", 99, 3, 5},  // an index past the end stays inside
    };
    for (const TWordCase& c : cases) {
        EXPECT_EQ(WordStartLeftOf(c.Line, c.Index), c.Left) << c.Index;
        EXPECT_EQ(WordStartRightOf(c.Line, c.Index), c.Right) << c.Index;
    }
}

}  // namespace
