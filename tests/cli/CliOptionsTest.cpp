#include "cli/CliOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseCommandLine, TakesOptionsInBothFormsAndLogsInOrder) {
    const CliParse parse =
        ParseCommandLine({L"--tolerance", L"abc", L"b.nmea", L"--decimals=7", L"--no-moved-back", L"a.nmea",
                          L"--date-pattern", L"d. M. yyyy", L"--date-separator=.", L"--", L"--no-same-time"});
    ASSERT_EQ(parse.Error, L"");
    const CliOptions& o = parse.Options;
    EXPECT_EQ(o.Row.FlucTimeText, L"abc");
    EXPECT_EQ(o.Row.TdecimalText, L"7");
    EXPECT_FALSE(o.Row.MovedBack);
    EXPECT_TRUE(o.Row.SameTime);
    EXPECT_EQ(o.DatePattern, L"d. M. yyyy");
    EXPECT_EQ(o.DateSeparator, L'.');
    EXPECT_EQ(o.Logs, (std::vector<std::wstring>{L"b.nmea", L"a.nmea", L"--no-same-time"}));
}

TEST(ParseCommandLine, RefusesWhatCannotBeUsed) {
    struct Row {
        std::vector<std::wstring> args;
        std::wstring error;
    };
    const Row rows[] = {
        {{}, L"no log named"},
        {{L"--frob", L"a"}, L"The following argument was not expected: --frob"},
        {{L"a", L"--tolerance"}, L"--tolerance: 1 required TEXT missing"},
        {{L"--date-separator=", L"a"}, L"--date-separator takes one character, not ''"},
        {{L"--date-separator", L"", L"a"}, L"--date-separator takes one character, not ''"},
        {{L"--date-separator=//", L"a"}, L"--date-separator takes one character, not '//'"},
        {{L"-", L"a", L"-"}, L"- (standard input) can be named only once"},
        {{L"--reference-date=2026-02-30", L"a"}, L"--reference-date takes a date YYYY-MM-DD, not '2026-02-30'"},
        {{L"--plot", L"a.svg.png", L"a"}, L"--plot writes SVG: its file name must end in .svg, not 'a.svg.png'"},
        // A follow: one log, and an idle time that is a time.
        {{L"--follow", L"a", L"b"}, L"--follow checks one log, not 2"},
        {{L"--idle=5", L"a"}, L"--idle ends a follow: it needs --follow"},
        {{L"--follow", L"--idle=0", L"a"}, L"--idle takes a positive number of seconds, not '0'"},
        {{L"--follow", L"--idle=-1", L"a"}, L"--idle takes a positive number of seconds, not '-1'"},
        {{L"--follow", L"--idle=1s", L"a"}, L"--idle takes a positive number of seconds, not '1s'"},
        {{L"--follow", L"--idle=inf", L"a"}, L"--idle takes a positive number of seconds, not 'inf'"},
        {{L"--follow", L"--idle=nan", L"a"}, L"--idle takes a positive number of seconds, not 'nan'"},
        {{L"--follow", L"--idle=", L"a"}, L"--idle takes a positive number of seconds, not ''"},
        {{L"--follow", L"--idle=1e3", L"a"}, L"--idle takes a positive number of seconds, not '1e3'"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.error));
        EXPECT_EQ(ParseCommandLine(r.args).Error, r.error);
    }
}

TEST(ParseCommandLine, AValueMayBeEmptyOrLookLikeAnOption) {
    const CliParse parse = ParseCommandLine({L"--date-pattern=", L"--tolerance", L"-0.3", L"--decimals", L"-", L"/a"});
    ASSERT_EQ(parse.Error, L"");
    EXPECT_EQ(parse.Options.DatePattern, L"");
    EXPECT_EQ(parse.Options.Row.FlucTimeText, L"-0.3");
    EXPECT_EQ(parse.Options.Row.TdecimalText, L"-");
    EXPECT_EQ(parse.Options.Logs, (std::vector<std::wstring>{L"/a"}));  // a log, also on Windows
}

TEST(ParseCommandLine, TheLastOfARepeatedOptionCounts) {
    EXPECT_EQ(ParseCommandLine({L"--tolerance=1", L"--tolerance", L"2", L"a"}).Options.Row.FlucTimeText, L"2");
}

TEST(ParseCommandLine, TakesAPictureNameEndingInSvgInAnyCase) {
    EXPECT_EQ(ParseCommandLine({L"--plot=Day.SVG", L"a"}).Options.PlotPath, L"Day.SVG");
}

TEST(ParseCommandLine, TakesAFollowWithItsIdleTime) {
    const CliParse parse = ParseCommandLine({L"--follow", L"--idle", L"0.25", L"-"});
    ASSERT_EQ(parse.Error, L"");
    EXPECT_TRUE(parse.Options.Follow);
    EXPECT_EQ(parse.Options.IdleSeconds, 0.25);
    EXPECT_EQ(ParseCommandLine({L"--follow", L"a"}).Options.IdleSeconds, std::nullopt);
}

TEST(ParseCommandLine, HelpAndVersionNeedNoLog) {
    EXPECT_TRUE(ParseCommandLine({L"-h"}).Options.Help);
    EXPECT_TRUE(ParseCommandLine({L"--version"}).Error.empty());
}

}  // namespace
