#include "cli/PlotAxes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/PlotFeed.h"

namespace {

TEST(PlotAxes, NiceStepIsOneTwoOrFiveTimesAPowerOfTen) {
    EXPECT_EQ(NiceStep(1.0000000001), 1.0);  // a rounding error above a step is the step
    EXPECT_EQ(NiceStep(1.1), 2.0);
    EXPECT_EQ(NiceStep(2.5), 5.0);
    EXPECT_EQ(NiceStep(7.0), 10.0);
    EXPECT_DOUBLE_EQ(NiceStep(0.013), 0.02);
}

TEST(PlotAxes, ValueAxisReachesZeroAndWholeSteps) {
    const struct {
        bool Any;
        double Low, High;
        std::int64_t First, Last;
        std::string FirstLabel, LastLabel;
    } rows[] = {
        {false, 0, 0, 0, 5, "0.0", "1.0"},  // nothing: 0 to 1
        {true, 1, 1, 0, 5, "0.0", "1.0"},   // from zero up
        {true, 0, 0, 0, 5, "0.0", "1.0"},   // no range: a second above
        {true, -30, 60, -2, 3, "-40", "60"},
        {true, 0.5, 3600, 0, 8, "0", "4000"},
        {true, -1.9, -1, -4, 0, "-2.0", "0.0"},  // up to zero
        {true, 0.001, 0.004, 0, 8, "0.0000", "0.0040"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.FirstLabel + " " + r.LastLabel);
        const TValueAxis axis(r.Any, r.Low, r.High);
        EXPECT_EQ(axis.FirstTick, r.First);
        EXPECT_EQ(axis.LastTick, r.Last);
        EXPECT_EQ(axis.Label(axis.FirstTick), r.FirstLabel);
        EXPECT_EQ(axis.Label(axis.LastTick), r.LastLabel);
        EXPECT_LE(axis.Lo(), std::min(0.0, r.Low));
        EXPECT_GE(axis.Hi(), r.High);
    }
}

std::vector<std::string> Labels(const TTimeAxis& axis) {
    std::vector<std::string> labels;
    for (std::int64_t tick = axis.FirstTick; tick <= axis.LastTick; ++tick) {
        labels.push_back(axis.TickLabel(tick));
        if (const auto date = axis.TickDate(tick)) labels.push_back("[" + *date + "]");
    }
    return labels;
}

// Ticks at whole steps of UTC, the date under the first and wherever the day changes.
TEST(PlotAxes, TimeTicksFollowTheSpan) {
    const struct {
        double Hour, First, Last;
        std::vector<std::string> Labels;
        std::string Caption;
    } rows[] = {
        {12.0,
         0,
         0.8,
         {"12:00:00.0", "[2019-05-01]", "12:00:00.2", "12:00:00.4", "12:00:00.6", "12:00:00.8"},
         "UTC, 2019-05-01"},
        {12.0,
         0,
         0,
         {"11:59:30", "[2019-05-01]", "11:59:40", "11:59:50", "12:00:00", "12:00:10", "12:00:20", "12:00:30"},
         "UTC, 2019-05-01"},  // a minute around one time
        {12.0,
         0,
         60,
         {"12:00:00", "[2019-05-01]", "12:00:10", "12:00:20", "12:00:30", "12:00:40", "12:00:50", "12:01:00"},
         "UTC, 2019-05-01"},
        {23.0,
         0,
         7200,
         {"23:00", "[2019-05-01]", "23:30", "00:00", "[2019-05-02]", "00:30", "01:00"},
         "UTC, 2019-05-01 to 2019-05-02"},
        {0.0,
         0,
         3 * 86400.0,
         {"00:00", "[2019-05-01]", "12:00", "00:00", "[2019-05-02]", "12:00", "00:00", "[2019-05-03]", "12:00", "00:00",
          "[2019-05-04]"},
         "UTC, 2019-05-01 to 2019-05-04"},
        {0.0,
         0,
         40 * 86400.0,
         {"2019-05-05", "2019-05-15", "2019-05-25", "2019-06-04"},
         "UTC, 2019-05-01 to 2019-06-10"},
        {13.0,
         -3 * 3600.0,
         0,
         {"10:00", "[2019-05-01]", "10:30", "11:00", "11:30", "12:00", "12:30", "13:00"},
         "UTC, 2019-05-01"},  // times before the anchor
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Caption + " " + std::to_string(r.Last - r.First));
        const TTimeAxis axis(At(r.Hour), r.First, r.Last);
        EXPECT_LT(axis.From, r.First);
        EXPECT_GT(axis.To, r.Last);
        EXPECT_EQ(Labels(axis), r.Labels);
        EXPECT_EQ(axis.Caption(), r.Caption);
        EXPECT_GE(axis.TickOffset(axis.FirstTick), axis.From);
        EXPECT_LT(axis.TickOffset(axis.FirstTick), axis.From + axis.StepSeconds);
    }
}

}  // namespace
