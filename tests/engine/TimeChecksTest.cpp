#include "engine/TimeChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FakeHost.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class TimeChecksTest : public testing::Test {
protected:
    TimeChecksTest() { Reset(); }

    void Reset() {
        State = ScanState();
        Report.Lines.clear();
        State.FlucTime = 0.5;
        State.AlarmSameTime = State.AlarmStepChange = State.AlarmMovedBack = true;
        State.TimeDecimals = 1;
        State.IntervalFormat = L"%6.1f";
        State.PrevLat = State.PrevLon = 1000.0;
        State.PrevSpeed = -1.0;
    }

    // One accepted sentence at the given second of 2020-01-02 12:00:00.
    void Feed(double seconds, double lat = 35.5, double lon = 139.5, double speed = 0.0) {
        State.CurTime = DayNumber(2020, 1, 2) + (12 * 3600 + seconds) / kSecondsPerDay;
        State.CurLat = lat;
        State.CurLon = lon;
        State.CurSpeed = speed;
        CheckTimes(State, Context);
    }
    void FeedSeconds(std::initializer_list<double> seconds) {
        for (double s : seconds) Feed(s);
    }

    ScanState State;
    TRecordingReport Report;
    DateConventions Conventions = YearFirstConventions();
    CheckContext Context{Conventions, Report, 2025};
};

TEST_F(TimeChecksTest, LongerIntervalIsReportedOnceWithThePreviousTimeStamp) {
    FeedSeconds({0, 1, 2, 3, 5, 6, 7});
    ASSERT_EQ(Report.Lines.size(), 1u);
    EXPECT_EQ(Report.Lines[0], L"* UTC step changed :   1.0 to   2.0Sec.  UTC(RMC)= 2020/01/02 12:00:03.0");
    EXPECT_EQ(State.StepCount, 1);
}

TEST_F(TimeChecksTest, LastingIntervalChangeIsReportedOnce) {
    FeedSeconds({0, 1, 2, 3, 5, 7, 9, 11});
    EXPECT_EQ(State.StepCount, 1);
}

TEST_F(TimeChecksTest, FirstThreeSentencesGiveNoIntervalLine) {
    FeedSeconds({0, 5, 20});
    EXPECT_TRUE(Report.Lines.empty());
}

TEST_F(TimeChecksTest, IntervalChangeUpTo600SecondsIsReported) {
    struct Row {
        double gap;
        int reported;
    };
    const Row rows[] = {{1 + 599, 1}, {1 + 601, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.gap);
        Reset();
        FeedSeconds({0, 1, 2, 3, 3 + r.gap});
        EXPECT_EQ(State.StepCount, r.reported);
    }
}

TEST_F(TimeChecksTest, MovedBackLines) {
    FeedSeconds({0, 1, 2, 3, 4, 5});
    Report.Lines.clear();
    Feed(3);
    ASSERT_EQ(Report.Lines.size(), 2u);  // the interval changed from 1 to -2 as well
    EXPECT_EQ(Report.Lines[1],
              L"* UTC moved back   : UTC(RMC)= 2020/01/02 12:00:05.0 to 2020/01/02 12:00:03.0 (-00:00:02.0)");
    Feed(3 - 86400);
    EXPECT_EQ(Report.Lines.back(), L"* UTC moved back   : UTC(RMC)= 2020/01/02 12:00:03.0 to 2020/01/01 12:00:03.0");
    EXPECT_EQ(State.BackCount, 2);
}

TEST_F(TimeChecksTest, MovedBackSwitchedOffIsNotCountedButBecomesTheReference) {
    State.AlarmMovedBack = false;
    State.AlarmStepChange = false;
    FeedSeconds({10, 11, 5, 5});
    EXPECT_EQ(State.BackCount, 0);
    ASSERT_EQ(Report.Lines.size(), 1u);
    EXPECT_EQ(
        Report.Lines[0],
        L"* UTC is the same  : UTC(RMC)= 2020/01/02 12:00:05.0 & Same place Lat=35.50000000 Lon=139.50000000 Spd= 0.0");
}

TEST_F(TimeChecksTest, RepeatedTimeGivesIntervalLineThenSameTimeLine) {
    FeedSeconds({0, 1, 2, 3, 3});
    ASSERT_EQ(Report.Lines.size(), 2u);
    EXPECT_EQ(Report.Lines[0], L"* UTC step changed :   1.0 to   0.0Sec.  UTC(RMC)= 2020/01/02 12:00:03.0");
    EXPECT_EQ(Report.Lines[1].substr(0, 52), L"* UTC is the same  : UTC(RMC)= 2020/01/02 12:00:03.0");
}

TEST_F(TimeChecksTest, SameTimeLineShowsPlaceAndSpeedOnlyWhenTheyRepeat) {
    struct Row {
        double lat, lon, speed;
        std::wstring tail;
    };
    const Row rows[] = {
        {35.668723333333333, 139.761315, 0.0, L" & Same place Lat=35.66872333 Lon=139.76131500 Spd= 0.0"},
        {35.668723333333333, 139.761315, 3.5, L" & Same place Lat=35.66872333 Lon=139.76131500"},
        {35.6, 139.761315, 0.0, L""},
        {kNaN, 139.761315, 0.0, L""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.tail);
        Reset();
        State.AlarmStepChange = false;
        Feed(5, 35.668723333333333, 139.761315, 0.0);
        Feed(5, r.lat, r.lon, r.speed);
        ASSERT_EQ(Report.Lines.size(), 1u);
        EXPECT_EQ(Report.Lines[0], L"* UTC is the same  : UTC(RMC)= 2020/01/02 12:00:05.0" + r.tail);
    }
}

TEST_F(TimeChecksTest, FirstSentenceOnlyRecordsHistory) {
    Feed(7, 1.0, 2.0, 3.0);
    EXPECT_TRUE(Report.Lines.empty());
    EXPECT_EQ(State.PrevTime, State.CurTime);
    EXPECT_EQ(State.PrevLat, 1.0);
    EXPECT_EQ(State.PrevSpeed, 3.0);
}

}  // namespace
