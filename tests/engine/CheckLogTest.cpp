#include "engine/CheckLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeHost.h"
#include "GzipBytes.h"

namespace {

// Everything a front end hears of a check, and a script for its yield points.
class TRecordingEvents : public ICheckEvents {
public:
    void StatusChanged(std::wstring_view text) override { Statuses.emplace_back(text); }
    void ProgressMade(const TProgress& progress) override { Progress.push_back(progress); }
    void ReportLine(std::wstring_view line) override { Lines.emplace_back(line); }
    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) override {
        Anomalies.push_back(anomaly);
        Lines.emplace_back(line);
    }
    void TimeAccepted(TDateTime, std::int64_t line) override { TimeLines.push_back(line); }
    bool YieldPoint() override { return ++YieldPoints == AbortAtYieldPoint; }

    std::vector<std::wstring> Statuses, Lines;
    std::vector<TProgress> Progress;
    std::vector<TAnomaly> Anomalies;
    std::vector<std::int64_t> TimeLines;
    int YieldPoints = 0;
    int AbortAtYieldPoint = -1;
};

class CheckLogTest : public testing::Test {
protected:
    TCheckResults Check(const std::string& bytes) {
        TLogReader reader(MakeGzipAwareSource(std::make_unique<TMemorySource>(bytes, L"log.nmea")));
        return CheckLog(Request, reader, Events);
    }
    static std::string Lines(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) bytes += line + "\r\n";
        return bytes;
    }

    TCheckRequest Request{L"log.nmea", {}, YearFirstConventions(), 2025, std::nullopt};
    TRecordingEvents Events;
};

TEST_F(CheckLogTest, ResultsOfACompletedCheck) {
    const TCheckResults r = Check(Lines({Rmc("100000"), Rmc("100001"), Rmc("100001"), Rmc("100000")}));
    EXPECT_EQ(r.Outcome, CheckOutcome::Completed);
    EXPECT_EQ(r.SameCount, 1);
    EXPECT_EQ(r.StepCount, 1);
    EXPECT_EQ(r.BackCount, 1);
    EXPECT_EQ(r.Lines, 5);  // the empty line after the last line end counts
    EXPECT_EQ(r.RmcAccepted, 4);
    EXPECT_EQ(r.FirstTime, DayNumber(2020, 1, 2) + 10.0 / 24);
    EXPECT_EQ(r.LastTime, r.FirstTime);
    EXPECT_EQ(r.Status, L"Completed.    2020/01/02 10:00:00.0 to 2020/01/02 10:00:00.0(UTC)  00:00:00.0");
    EXPECT_EQ(Events.Statuses.back(), r.Status);
    EXPECT_EQ(Events.TimeLines, (std::vector<std::int64_t>{1, 2, 3, 4}));
    ASSERT_EQ(Events.Anomalies.size(), 3u);
    EXPECT_EQ(Events.Anomalies[2].Kind, AnomalyKind::MovedBack);
    EXPECT_EQ(Events.Anomalies[2].Line, 4);
    EXPECT_EQ(Events.Lines.back(), L"UTC same= 1     Step changed= 1     UTC moved back= 1");
}

TEST_F(CheckLogTest, HowAChecksEndsIsInTheResults) {
    EXPECT_EQ(Check(Lines({"$GPGGA,no rmc*00"})).Outcome, CheckOutcome::NoRmcAccepted);
    Request.LogName = L"missing.nmea";
    const TCheckResults missing = Check("");
    EXPECT_EQ(missing.Outcome, CheckOutcome::CannotOpen);
    EXPECT_EQ(missing.Message, L"Can't open : missing.nmea");
}

// Stopped at its first progress point, a check's last status is that point's
// text, as the window would show it.
TEST_F(CheckLogTest, AnAbortKeepsTheProgressAsItsStatus) {
    Events.AbortAtYieldPoint = 2;
    const std::string log = Lines({Rmc("100000"), Rmc("100001")});
    const TCheckResults r = Check(log);
    EXPECT_EQ(r.Outcome, CheckOutcome::Aborted);
    EXPECT_EQ(r.Status, L"log.nmea: Line 0 (50.0%)");
    ASSERT_EQ(Events.Progress.size(), 1u);
    EXPECT_EQ(Events.Progress[0].BytesRead, static_cast<std::int64_t>(log.size()));  // in one block
    EXPECT_EQ(Events.Lines, (std::vector<std::wstring>{L"", L"Aborted by user."}));
}

TEST_F(CheckLogTest, NotesOnlyWhenAReferenceDayIsGiven) {
    const std::string log = Lines({Rmc("235960", "311216"), Rmc("000001", "010117")});
    EXPECT_TRUE(Check(log).Notes.empty());
    Request.NotesReference = DayNumber(2017, 1, 1);
    const TCheckResults r = Check(log);
    ASSERT_EQ(r.Notes.size(), 1u);
    EXPECT_EQ(r.Notes[0].Kind, NoteKind::LeapSecond);
    EXPECT_EQ(r.Notes[0].Date, "2016-12-31");
}

TEST_F(CheckLogTest, BytesAfterACompressedLogAreANote) {
    const std::string packed = Gzip(Lines({Rmc("100000")}));

    Request.NotesReference = DayNumber(2020, 1, 2);
    const TCheckResults r = Check(packed + "x\r\n");
    ASSERT_EQ(r.Notes.size(), 1u);
    EXPECT_EQ(r.Notes[0].Kind, NoteKind::TrailingBytes);
    EXPECT_EQ(r.Notes[0].Count, 3);
    EXPECT_EQ(r.Notes[0].Line, 2);
    EXPECT_TRUE(Check(packed + std::string(16, '\0')).Notes.empty());
}

}  // namespace
