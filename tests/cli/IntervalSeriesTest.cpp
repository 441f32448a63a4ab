#include "cli/IntervalSeries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "tests/cli/PlotFeed.h"

namespace {

std::vector<TMarkCell> Marks(const TIntervalSeries& series, AnomalyKind kind) {
    std::vector<TMarkCell> marks;
    series.ForEachMark(kind, [&](const TMarkCell& mark) { marks.push_back(mark); });
    return marks;
}

// Seconds from the series' anchor.
double Offset(const TIntervalSeries& series, TDateTime time) { return (time - series.Anchor()) * kSecondsPerDay; }

TEST(TIntervalSeries, LeavesOutUnusableTimesAndAnomalies) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const std::vector<TDateTime> rows[] = {{}, {nan}, {inf, -inf}, {-1e-9, 2958466.0, 1e300}};
    for (const auto& times : rows) {
        SCOPED_TRACE(times.size());
        TIntervalSeries series;
        for (const TDateTime t : times) series.AddTime(t);
        series.AddAnomaly(Anomaly(AnomalyKind::MovedBack, nan, At(1)));
        series.AddAnomaly(Anomaly(AnomalyKind::SameTime, At(1), 2958466.0));
        series.AddAnomaly(Anomaly(static_cast<AnomalyKind>(3), At(1), At(1)));  // no known kind
        EXPECT_FALSE(series.HasAnchor());
        EXPECT_EQ(series.TimeCount(), 0);
        EXPECT_TRUE(series.Cells().empty());
        EXPECT_FALSE(series.HasMarks());
        EXPECT_EQ(series.AnomalyCount(static_cast<AnomalyKind>(3)), 0);
    }
    TIntervalSeries edges;  // the first and the last day that can be written
    edges.AddTime(0.0);
    edges.AddTime(2958465.99);
    EXPECT_EQ(edges.TimeCount(), 2);
}

// A pause longer than the interval check's 600 s ends a line where it ends
// and is no value; the end stays in place while the cells widen after it.
TEST(TIntervalSeries, PausesEndALineAndAreNoInterval) {
    const struct {
        double PauseSeconds;
        std::int64_t Pauses;
    } rows[] = {{3600.0, 1}, {601.0, 1}, {600.0, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.PauseSeconds);
        TIntervalSeries series;
        Feed(series, At(10), 600, 1.0);
        Feed(series, At(10, 599.0 + r.PauseSeconds), 20000, 1.0);
        EXPECT_EQ(series.PauseCount(), r.Pauses);
        EXPECT_NEAR(series.HighSeconds(), r.Pauses ? 1.0 : 600.0, 1e-6);
        std::vector<TTimeCell> ends = series.Cells();
        std::erase_if(ends, [](const TTimeCell& cell) { return !cell.PauseEnds; });
        ASSERT_EQ(static_cast<std::int64_t>(ends.size()), r.Pauses);
        for (const TTimeCell& end : ends)
            EXPECT_NEAR(end.OffsetSeconds, 599.0 + r.PauseSeconds, series.ColumnSeconds());
    }
}

// A million times at 10 Hz with one jump: the cells stay few and much finer
// than the span, and the jump keeps its interval and its anomaly, however the
// cells around it were merged.
TEST(TIntervalSeries, SpikeAndItsAnomalySurviveWidening) {
    const struct {
        double Hour, JumpSeconds;
        AnomalyKind Kind;
    } rows[] = {
        {18.0, 60.0, AnomalyKind::StepChanged},  // a gap
        {0.5, 60.0, AnomalyKind::StepChanged},   // a gap early, with many merges after it
        {3.0, -30.0, AnomalyKind::MovedBack},
        {23.5, -30.0, AnomalyKind::MovedBack},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Hour);
        TIntervalSeries series;
        const TDateTime jumped = FeedWithJump(series, 1000000, r.Hour, r.JumpSeconds);
        const std::vector<TTimeCell> cells = series.Cells();
        EXPECT_LE(static_cast<std::int64_t>(cells.size()), TIntervalSeries::kColumnCells);
        EXPECT_GT((series.LastOffsetSeconds() - series.FirstOffsetSeconds()) / series.ColumnSeconds(), 2048.0);
        const auto tip = std::max_element(cells.begin(), cells.end(), [&](const TTimeCell& a, const TTimeCell& b) {
            return r.JumpSeconds > 0 ? a.Max < b.Max : a.Min > b.Min;
        });
        EXPECT_NEAR(r.JumpSeconds > 0 ? tip->Max : tip->Min, r.JumpSeconds, 1e-6);
        EXPECT_NEAR(tip->OffsetSeconds, Offset(series, jumped), series.ColumnSeconds());
        const std::vector<TMarkCell> marks = Marks(series, r.Kind);
        ASSERT_EQ(marks.size(), 1u);
        EXPECT_EQ(marks[0].OffsetSeconds, tip->OffsetSeconds);
        EXPECT_NEAR(marks[0].Seconds, r.JumpSeconds, series.RowSeconds() / 2);
    }
}

// Anomalies a few minutes apart, given late to early over a day, with
// values from -30 to 3600 s: every one stays in a cell of its kind while the
// cells widen.
TEST(TIntervalSeries, NoAnomalyIsLostWhileCellsWiden) {
    const struct {
        AnomalyKind Kind;
        double Seconds;
    } kinds[] = {{AnomalyKind::StepChanged, 0.5},
                 {AnomalyKind::MovedBack, -30.0},
                 {AnomalyKind::StepChanged, 7.0},
                 {AnomalyKind::StepChanged, 3600.0},
                 {AnomalyKind::SameTime, 0.0}};
    std::vector<TAnomaly> given;
    TIntervalSeries series;
    for (int i = 0; i < 480; ++i) {  // every 3 minutes
        const TDateTime at = At(24.0 - 0.05 * i);
        given.push_back(Anomaly(kinds[i % 5].Kind, at - kinds[i % 5].Seconds / kSecondsPerDay, at));
        series.AddTime(at);
        series.AddAnomaly(given.back());
    }
    EXPECT_NEAR(series.FirstOffsetSeconds(), -479 * 180.0, 1e-3);
    EXPECT_EQ(series.LastOffsetSeconds(), 0.0);
    EXPECT_EQ(series.AnomalyCount(AnomalyKind::StepChanged), 288);
    EXPECT_EQ(series.AnomalyCount(AnomalyKind::MovedBack), 96);
    EXPECT_EQ(series.AnomalyCount(AnomalyKind::SameTime), 96);
    const double halfColumn = series.ColumnSeconds() / 2, halfRow = series.RowSeconds() / 2;
    for (const TAnomaly& a : given) {
        const std::vector<TMarkCell> marks = Marks(series, a.Kind);
        const double offset = Offset(series, a.NewTime), seconds = (a.NewTime - a.Time) * kSecondsPerDay;
        EXPECT_TRUE(std::any_of(marks.begin(), marks.end(),
                                [&](const TMarkCell& m) {
                                    return std::fabs(m.OffsetSeconds - offset) <= halfColumn &&
                                           std::fabs(m.Seconds - seconds) <= halfRow;
                                }))
            << offset << " s, " << seconds << " s";
    }
}

TEST(TIntervalSeries, AnomaliesInOneCellMergeButStayCounted) {
    TIntervalSeries series;
    FeedEachTimeTwice(series, 300000);
    EXPECT_EQ(series.AnomalyCount(AnomalyKind::SameTime), 300000);
    EXPECT_EQ(series.TimeCount(), 600000);
    EXPECT_EQ(Marks(series, AnomalyKind::SameTime).size(), series.Cells().size());  // one in each
    EXPECT_TRUE(Marks(series, AnomalyKind::MovedBack).empty());
}

}  // namespace
