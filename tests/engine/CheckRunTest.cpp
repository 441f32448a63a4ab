#include "engine/CheckRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeHost.h"

namespace {

class CheckRunTest : public testing::Test {
protected:
    // Runs a check of a log holding the given lines, CR LF ended.
    void Run(const std::vector<std::string>& lines, int failAfterReads = -1) {
        std::string bytes;
        for (const auto& line : lines) bytes += line + "\r\n";
        RunBytes(bytes, failAfterReads);
    }
    void RunBytes(const std::string& bytes, int failAfterReads = -1) {
        auto source = std::make_unique<TMemorySource>(bytes, L"log.nmea", failAfterReads);
        Source = source.get();
        Reader = std::make_unique<TLogReader>(std::move(source));
        Result = RunCheck(Host, State, *Reader, Conventions, Year);
    }
    std::vector<std::string> Seconds(std::initializer_list<const char*> times) {
        std::vector<std::string> lines;
        for (const char* t : times) lines.push_back(Rmc(t));
        return lines;
    }

    int Year = 2025;  // two-digit years 75 to 99 are 1975 to 1999
    ScanState State;
    TFakeHost Host{State};
    TRunResult Result;
    DateConventions Conventions = YearFirstConventions();
    std::unique_ptr<TLogReader> Reader;
    TMemorySource* Source = nullptr;
};

TEST_F(CheckRunTest, CleanLogEndsWithNoErrorAndTheSpan) {
    Run(Seconds({"100000", "100001", "100002"}));
    EXPECT_EQ(Host.Report, (std::vector<std::wstring>{L"", L"no error."}));
    EXPECT_EQ(Host.Statuses, (std::vector<std::wstring>{
                                 L"", L" Reading...", L"log.nmea: Line 0 (33.3%)", L"Completed.",
                                 L"Completed.    2020/01/02 10:00:00.0 to 2020/01/02 10:00:02.0(UTC)  00:00:02.0"}));
    EXPECT_EQ(Source->Closes, 1);
}

TEST_F(CheckRunTest, SpanOfMoreThanADayShowsTheDays) {
    Run({Rmc("100000", "010519"), Rmc("123000", "020519")});
    EXPECT_EQ(Host.Statuses.back(), L"Completed.    2019/05/01 10:00:00.0 to 2019/05/02 12:30:00.0(UTC)  1 02:30:00.0");
}

TEST_F(CheckRunTest, SummaryCountsEachKind) {
    struct Row {
        std::vector<std::string> lines;
        std::wstring summary;
    };
    const Row rows[] = {
        {Seconds({"100000", "100001", "100002", "100003", "100003", "100002"}),
         L"UTC same= 1     Step changed= 2     UTC moved back= 1"},
        {Seconds({"100005", "100004"}), L"UTC moved back= 1"},
        {Seconds({"100000", "100001", "100002", "100003", "100005"}), L"Step changed= 1"},
        {{"$GPGGA,no rmc here*00", ""}, L"no error."},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.summary));
        Run(r.lines);
        EXPECT_EQ(Host.Report.back(), r.summary);
    }
}

TEST_F(CheckRunTest, TwoDigitYearsWidenAroundTheYearGiven) {
    Run({Rmc("100000", "010175")});
    EXPECT_EQ(Host.Statuses.back().substr(14, 10), L"1975/01/01");
    Year = 2030;
    Run({Rmc("100000", "010175")});
    EXPECT_EQ(Host.Statuses.back().substr(14, 10), L"2075/01/01");
}

TEST_F(CheckRunTest, LogWithoutRmcEndsWithCompletedAlone) {
    Run({"hello", "$GPGGA,1,2*00"});
    EXPECT_EQ(Host.Statuses.back(), L"Completed.");
}

TEST_F(CheckRunTest, EmptyLogCompletes) {
    RunBytes("");
    EXPECT_EQ(Host.Report, (std::vector<std::wstring>{L"", L"no error."}));
    EXPECT_EQ(Host.Statuses[2], L"log.nmea: Line 0 (100.0%)");
    EXPECT_EQ(Host.Statuses.back(), L"Completed.");
}

TEST_F(CheckRunTest, ProgressEveryTenThousandLines) {
    std::string bytes;
    for (int i = 0; i < 25000; ++i) bytes += "x\n";
    RunBytes(bytes);
    // Each one-byte line counts 3 bytes against its real 2, so the share passes 100.
    EXPECT_EQ(Host.Statuses[2], L"log.nmea: Line 0 (0.0%)");
    EXPECT_EQ(Host.Statuses[3], L"log.nmea: Line 10000 (60.0%)");
    EXPECT_EQ(Host.Statuses[4], L"log.nmea: Line 20000 (120.0%)");
    EXPECT_EQ(Host.YieldPointCalls, 4);  // before the open, then lines 0, 10000, 20000
    // The bytes read from the log so far: whole 2048-byte blocks.
    ASSERT_EQ(Host.Progress.size(), 3u);
    EXPECT_EQ(Host.Progress[1].BytesRead, 20480);
    EXPECT_EQ(Host.Progress[1].LogBytes, 50000);
}

TEST_F(CheckRunTest, MissingLogShowsTheCentredMessage) {
    Host.Edits[EditBox::Filename] = L"missing.nmea";
    Run(Seconds({"100000"}));
    EXPECT_EQ(Result.End, RunEnd::CannotOpen);
    EXPECT_EQ(Result.Message, L"Can't open : missing.nmea");
    EXPECT_EQ(Host.Messages, (std::vector<std::wstring>{L"Can't open : missing.nmea"}));
    EXPECT_EQ(Host.Statuses.back(), L" Reading...");
    EXPECT_TRUE(Host.Report.empty());
}

TEST_F(CheckRunTest, EscBeforeTheOpenAbortsWithoutReport) {
    Host.OnYieldPoint = [&](int) { State.AbortRequested = true; };
    Run(Seconds({"100000"}));
    EXPECT_EQ(Result.End, RunEnd::Aborted);
    EXPECT_EQ(Host.Statuses.back(), L"Aborted by user.");
    EXPECT_TRUE(Host.Report.empty());
    EXPECT_EQ(Source->Closes, 1);
}

TEST_F(CheckRunTest, EscInTheCheckPassEndsTheReportAndKeepsTheProgress) {
    Host.OnYieldPoint = [&](int call) {
        if (call == 2) State.AbortRequested = true;
    };
    Run(Seconds({"100000", "100001"}));
    EXPECT_EQ(Result.End, RunEnd::Aborted);
    EXPECT_EQ(Host.Report, (std::vector<std::wstring>{L"", L"Aborted by user."}));
    EXPECT_EQ(Host.Statuses.back(), L"log.nmea: Line 0 (50.0%)");
    EXPECT_EQ(Source->Closes, 1);
}

TEST_F(CheckRunTest, OptionsAreCorrectedAndWrittenBack) {
    struct Row {
        std::wstring tolerance, decimals;
        std::wstring toleranceAfter, decimalsAfter;
        double flucTime;
        int timeDecimals;
        std::wstring format;
    };
    const Row rows[] = {
        {L"", L"1", L"0.5", L"1", 0.5, 1, L"%6.1f"},       {L"abc", L"2", L"0.5", L"2", 0.5, 2, L"%7.2f"},
        {L" 0 ", L"0", L"0.5", L"0", 0.5, 0, L"%5.0f"},    {L"-0.3", L"7", L"-0.3", L"3", 0.3, 3, L"%8.3f"},
        {L"0.25", L"x", L"0.25", L"x", 0.25, 0, L"%5.0f"}, {L"0.25", L"-2", L"0.25", L"0", 0.25, 0, L"%5.0f"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.tolerance + L"|" + r.decimals));
        Host.Edits[EditBox::FlucTime] = r.tolerance;
        Host.Edits[EditBox::Tdecimal] = r.decimals;
        Run(Seconds({"100000"}));
        EXPECT_EQ(Host.Edits[EditBox::FlucTime], r.toleranceAfter);
        EXPECT_EQ(Host.Edits[EditBox::Tdecimal], r.decimalsAfter);
        EXPECT_EQ(State.FlucTime, r.flucTime);
        EXPECT_EQ(State.TimeDecimals, r.timeDecimals);
        EXPECT_EQ(State.IntervalFormat, r.format);
    }
}

TEST_F(CheckRunTest, AllAlarmsOffTurnsIntervalChangeOn) {
    for (auto& [box, checked] : Host.Checks) checked = false;
    Run(Seconds({"100000", "100001", "100002", "100003", "100005", "100004"}));
    EXPECT_TRUE(Host.Checks[AlarmBox::StepChange]);
    EXPECT_TRUE(State.AlarmStepChange);
    EXPECT_EQ(Host.Report.back(), L"Step changed= 2");
}

TEST_F(CheckRunTest, AlarmClickedDuringTheRunTakesEffectAtOnce) {
    std::vector<std::string> lines;
    for (int i = 0; i < 10002; ++i) lines.push_back("x");
    lines.push_back(Rmc("100005"));
    lines.push_back(Rmc("100004"));
    Host.OnYieldPoint = [&](int call) {
        if (call == 2) Host.SetChecked(AlarmBox::MovedBack, false);
    };
    Run(lines);
    EXPECT_EQ(State.BackCount, 0);
}

TEST_F(CheckRunTest, TextBeforeTheMarkerIsCutOff) {
    Run({"  junk " + Rmc("100005"), "\x01" + Rmc("100004"), "$PGRMT " + Rmc("100003")});
    EXPECT_EQ(State.BackCount, 2);
}

TEST_F(CheckRunTest, ReadFailureEndsTheRunAfterClosingTheLog) {
    Run(Seconds({"100000"}), 0);
    EXPECT_EQ(Result.End, RunEnd::ReadError);
    EXPECT_EQ(Result.Message, L"read failed");
    EXPECT_TRUE(Host.Report.empty());
    EXPECT_EQ(Source->Closes, 1);
    EXPECT_FALSE(State.RunActive);
}

TEST_F(CheckRunTest, StartRequestDuringARunIsIgnored) {
    int nested = 0;
    Host.OnYieldPoint = [&](int call) {
        if (call != 2) return;
        ++nested;
        EXPECT_EQ(RunCheck(Host, State, *Reader, Conventions, Year).End, RunEnd::Ignored);
    };
    Run(Seconds({"100000", "100001"}));
    EXPECT_EQ(Result.End, RunEnd::Completed);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(Host.Report, (std::vector<std::wstring>{L"", L"no error."}));
    EXPECT_EQ(Host.YieldPointCalls, 2);
}

// The settled pre-scan end, for a log still being written: a GLO log starts
// its check as soon as the announcement and the tenth's phase are known, and
// its report is the one of the full pre-scan.
class PrescanEndTest : public testing::Test {
protected:
    // Counts the bytes read before the first rewind.
    class TRewindWatch final : public TMemorySource {
    public:
        using TMemorySource::TMemorySource;
        std::size_t Read(char* buffer, std::size_t size) override {
            const std::size_t n = TMemorySource::Read(buffer, size);
            if (!Rewound) BeforeRewind += n;
            return n;
        }
        void Reopen() override {
            Rewound = true;
            TMemorySource::Reopen();
        }
        std::size_t BeforeRewind = 0;
        bool Rewound = false;
    };

    struct TOutcome {
        std::vector<std::wstring> Report, Statuses;
        std::vector<std::int32_t> PrescanCounts;
        std::size_t BeforeRewind = 0;
    };

    // One byte a block, so that the bytes read before the rewind end exactly
    // at the line that ended the pre-scan.
    static TOutcome Run(const std::string& bytes, PrescanEnd end) {
        ScanState state;
        TFakeHost host(state);
        auto source = std::make_unique<TRewindWatch>(bytes);
        TRewindWatch& watch = *source;
        TLogReader reader(std::move(source), 1);
        EXPECT_EQ(RunCheck(host, state, reader, YearFirstConventions(), 2025, end).End, RunEnd::Completed);
        return {host.Report, host.Statuses, host.PrescanCounts, watch.BeforeRewind};
    }
};

const std::string kAnnouncement = Sentence("PGRMT,GLO Software Version 2.40");

// Whole seconds from 10:00:00 on, as a GLO receiver writes them: count[i]
// sentences of second i.
std::vector<std::string> GloSeconds(std::initializer_list<int> counts) {
    std::vector<std::string> lines;
    int second = 0;
    for (const int count : counts) {
        const std::string time = "1000" + std::string(second < 10 ? "0" : "") + std::to_string(second);
        for (int i = 0; i < count; ++i) lines.push_back(Rmc(time));
        ++second;
    }
    return lines;
}

std::vector<std::string> With(std::vector<std::string> lines, std::size_t at, const std::string& line) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
    return lines;
}

TEST_F(PrescanEndTest, GloLogStartsItsCheckOnceSettledWithTheSameReport) {
    // An eleventh sentence of a second repeats tenth 9; a second that comes
    // again moved back.
    const auto seconds = With(GloSeconds({3, 10, 11, 10, 10}), 30, Rmc("100001"));
    struct Row {
        const char* what;
        std::vector<std::string> lines;
        std::size_t settledAt;  // 1-based line that settles the pre-scan; 0: none does
    };
    const Row rows[] = {
        {"announced first", With(seconds, 0, kAnnouncement), 5},  // the first change of second is RMC 4
        {"announced after the first change", With(seconds, 6, kAnnouncement), 7},
        {"announced twice", With(With(seconds, 0, kAnnouncement), 9, kAnnouncement), 5},
        {"announcement with a bad checksum", With(seconds, 0, "$PGRMT,GLO Software Version 2.40*00"), 0},
        {"no announcement", seconds, 0},
        {"no change of second", {kAnnouncement, Rmc("100000"), Rmc("100000")}, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::string bytes;
        std::size_t settledBytes = 0;
        for (std::size_t i = 0; i < r.lines.size(); ++i) {
            bytes += r.lines[i] + "\r\n";
            if (i + 1 == r.settledAt) settledBytes = bytes.size() - 1;  // its LF not yet read
        }
        const TOutcome full = Run(bytes, PrescanEnd::LimitOrLogEnd);
        const TOutcome settled = Run(bytes, PrescanEnd::Settled);
        EXPECT_EQ(settled.Report, full.Report);
        EXPECT_EQ(settled.Statuses, full.Statuses);
        EXPECT_EQ(full.BeforeRewind, bytes.size());
        EXPECT_EQ(settled.BeforeRewind, r.settledAt > 0 ? settledBytes : bytes.size());
    }
}

TEST_F(PrescanEndTest, ReportsTheCountOfAcceptedRmcAfterEach) {
    std::string badSum = Rmc("100000");
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    std::vector<std::string> lines = {"$GPGGA,not an rmc*00", badSum, kAnnouncement};
    for (const std::string& line : GloSeconds({2, 3})) lines.push_back(line);
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\n";
    // The first RMC has a bad checksum; the third changes the second.
    EXPECT_EQ(Run(bytes, PrescanEnd::Settled).PrescanCounts, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(Run(bytes, PrescanEnd::LimitOrLogEnd).PrescanCounts, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
}

TEST_F(PrescanEndTest, BothEndsStopAtTheLimit) {
    std::string bytes;
    for (int i = 0; i < kPrescanLimit + 5; ++i) bytes += Rmc("100000") + "\n";
    for (const PrescanEnd end : {PrescanEnd::LimitOrLogEnd, PrescanEnd::Settled}) {
        const TOutcome outcome = Run(bytes, end);
        EXPECT_EQ(outcome.PrescanCounts.size(), static_cast<std::size_t>(kPrescanLimit));
        EXPECT_EQ(outcome.BeforeRewind, static_cast<std::size_t>(kPrescanLimit) * (Rmc("100000").size() + 1));
    }
}

}  // namespace
