#include "cli/Progress.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressText, PlainLinesAndTheTerminalsBar) {
    const struct {
        TProgressPoint Point;
        std::size_t Columns;
        std::wstring Plain, Bar;
    } rows[] = {
        {{L"a.nmea", 10001, 500, 2000}, 80, L"a.nmea: Line 10001 (25.0%)", L"a.nmea  25.0% [#####---------------]"},
        {{L"a.nmea", 1, 0, 2000}, 80, L"a.nmea: Line 1 (0.0%)", L"a.nmea   0.0% [--------------------]"},
        // the reader may have a block more than the size (a log that grows)
        {{L"a.nmea", 9, 4096, 2000}, 80, L"a.nmea: Line 9 (100.0%)", L"a.nmea 100.0% [####################]"},
        // standard input: no size, so no share
        {{L"-", 20001, 9000, 0}, 80, L"-: Line 20001", L"- line 20001"},
        // a long name keeps its end and the line stays within the terminal
        {{L"/logs/2019/may/day.nmea", 1, 1000, 2000},
         40,
         L"/logs/2019/may/day.nmea: Line 1 (50.0%)",
         L"...y.nmea  50.0% [##########----------]"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.Plain));
        EXPECT_EQ(ProgressLineText(r.Point), r.Plain);
        EXPECT_EQ(ProgressBarText(r.Point, r.Columns), r.Bar);
    }
}

}  // namespace
