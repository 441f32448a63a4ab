#include "engine/RmcDecode.h"
#include "engine/RmcSteps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "FakeHost.h"

namespace {

std::string ToText(const TShortText<char>& t) { return std::string(t.Text()); }
std::wstring ToText(const TShortText<wchar_t>& t) { return std::wstring(t.Text()); }

TEST(TimeFieldToText, PutsColonsBeforeTheLastFourDigitsInFrontOfThePoint) {
    struct Row {
        std::string field, text;
    };
    const Row rows[] = {
        {"", ""},
        {"123519", "12:35:19.000"},
        {"123519.5", "12:35:19.5"},
        {"123519.25", "12:35:19.25"},
        {"1235197", "12:35:19.7"},
        {"12345", "1:23:45.000"},
        {"1234", ":12:34.000"},
        {".5", "::.5"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.field);
        EXPECT_EQ(ToText(TimeFieldToText(r.field)), r.text);
    }
}

TEST(PadMilliseconds, PadsTheFractionToThreeDigitsButNeverCutsIt) {
    struct Row {
        std::string in, out;
    };
    const Row rows[] = {
        {"12:35:19.", "12:35:19.000"},    {"12:35:19.5", "12:35:19.500"},     {"12:35:19.25", "12:35:19.250"},
        {"12:35:19.000", "12:35:19.000"}, {"12:35:19.1234", "12:35:19.1234"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.in);
        EXPECT_EQ(ToText(PadMilliseconds(r.in)), r.out);
    }
}

TEST(RmcDate, ComesOutMonthFirstWhateverTheLocaleOrder) {
    struct Row {
        std::array<std::int32_t, 3> order;
        wchar_t separator;
        std::wstring local;
    };
    const Row rows[] = {
        {{3, 2, 1}, L'/', L"94/03/23"},
        {{1, 2, 3}, L'.', L"23.03.94"},
        {{2, 1, 3}, L'-', L"03-23-94"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.local);
        DateConventions c = YearFirstConventions();
        c.DateOrder = r.order;
        c.LocaleDateSeparator = r.separator;
        const auto local = DateFieldToLocalOrder("230394", c);
        EXPECT_EQ(ToText(local), r.local);
        EXPECT_EQ(ToText(LocalDateToUsDate(local.Text(), c)), L"03/23/94");
    }
}

TEST(CoordToDegrees, ReadsDegreesAndMinutes) {
    struct Row {
        std::string number, hemisphere;
        double degrees;
    };
    const Row rows[] = {
        {"4807.038", "N", 48.1173},   {"01131.000", "E", 11.516666666666667},
        {"4807.038", "S", -48.1173},  {"01131.000", "W", -11.516666666666667},
        {"4807.038", "s", 48.1173},  // only upper-case letters turn the sign
        {" 4807.038 ", "w", 48.1173}, {"-922337203685477580800", "N", -0x1p63},  // the lowest whole number of 64 bits
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.number + r.hemisphere);
        EXPECT_NEAR(CoordToDegrees(r.number, r.hemisphere), r.degrees, 1e-12);
    }
}

TEST(CoordToDegrees, UnusableFieldsGiveNaN) {
    struct Row {
        std::string number, hemisphere;
    };
    const Row rows[] = {{"", "N"},     {"  ", "N"},    {"4807.038", ""},
                        {"48x7", "N"}, {"1e300", "N"}, {"922337203685477580800", "N"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.number + "|" + r.hemisphere);
        EXPECT_TRUE(std::isnan(CoordToDegrees(r.number, r.hemisphere)));
    }
}

class ProcessSentenceTest : public testing::Test {
protected:
    void Feed(const std::string& sentence, ScanPass pass = ScanPass::Prescan) {
        ProcessSentence(sentence, pass, State, Context);
    }
    // The pre-scan over all sentences, then the check pass; the time of each
    // sentence of the check pass as hh:mm:ss.zzz.
    std::vector<std::wstring> CheckPassTimes(const std::vector<std::string>& sentences) {
        State.TenthCounter = -1;
        for (const auto& s : sentences) Feed(s, ScanPass::Prescan);
        State.SentenceCount = 0;
        State.PrevTimeText.clear();
        State.TimeDecimals = 3;
        State.IntervalFormat = L"%8.3f";
        std::vector<std::wstring> times;
        for (const auto& s : sentences) {
            const int before = State.SentenceCount;
            Feed(s, ScanPass::Check);
            times.push_back(State.SentenceCount == before ? L"skipped"
                                                          : FormatTimeDecimals(State.CurTime, L"hh:mm:ss", 3));
        }
        return times;
    }

    ScanState State;
    TRecordingReport Report;
    DateConventions Conventions = YearFirstConventions();
    CheckContext Context{Conventions, Report, 2025};
};

const std::string kExample = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";

TEST_F(ProcessSentenceTest, AcceptsAValidRmcSentence) {
    Feed(kExample);
    EXPECT_EQ(State.SentenceCount, 1);
    EXPECT_EQ(State.CurTime, DayNumber(1994, 3, 23) + (12 * 3600 + 35 * 60 + 19) / kSecondsPerDay);
    EXPECT_EQ(State.FirstTime, State.CurTime);
    EXPECT_NEAR(State.CurLat, 48.1173, 1e-12);
    EXPECT_NEAR(State.CurLon, 11.516666666666667, 1e-12);
    EXPECT_EQ(State.CurSpeed, 22.4);
    EXPECT_EQ(State.PrevTimeText, "12:35:19.000");
}

TEST_F(ProcessSentenceTest, RejectedSentencesChangeNothing) {
    const std::string rejected[] = {
        "$GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*7D",  // void
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6B",  // checksum
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",     // no checksum
        Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,,003.1,W"),  // no date
        Sentence("GPRMC,,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"),  // no time
        Sentence("GPGGA,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"),
        Sentence("GPRMB,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"),
        Sentence("GPRMC,123519.1234,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"),
        Sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,300294,003.1,W"),  // 30 Feb
    };
    for (const auto& s : rejected) {
        SCOPED_TRACE(s);
        Feed(s);
        EXPECT_EQ(State.SentenceCount, 0);
        EXPECT_EQ(State.CurTime, 0.0);
        EXPECT_TRUE(State.PrevTimeText.empty());
    }
}

TEST_F(ProcessSentenceTest, EveryRmcTalkerAndShortenedTypesAreDecoded) {
    // Field 0 anywhere in the table of types counts, even a piece of an entry.
    const std::string types[] = {"$GPRMC", "$GNRMC", "$GLRMC", "$GQRMC", "$GIRMC", "RMC", "$G"};
    for (const auto& type : types) {
        SCOPED_TRACE(type);
        State = ScanState();
        const std::string sentence =
            Sentence(type.substr(1) + ",123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
        Feed(type.substr(0, 1) + sentence.substr(1));
        EXPECT_EQ(State.SentenceCount, 1);
    }
}

TEST_F(ProcessSentenceTest, FractionDigitsAreMilliseconds) {
    Feed(Rmc("123519.0123", "230394"));
    EXPECT_EQ(FormatTimeDecimals(State.CurTime, L"hh:mm:ss", 3), L"12:35:19.123");
}

TEST_F(ProcessSentenceTest, SpeedAndPositionFieldsThatAreNotNumbers) {
    Feed(Sentence("GPRMC,123519,A,4807.038,,01131.000,E,,084.4,230394,003.1,W"));
    EXPECT_TRUE(std::isnan(State.CurLat));
    EXPECT_EQ(State.CurSpeed, 0.0);
    Feed(Sentence("GPRMC,123520,A,4807.038,N,01131.000,E,fast,084.4,230394,003.1,W"));
    EXPECT_TRUE(std::isnan(State.CurSpeed));
}

TEST_F(ProcessSentenceTest, GloAnnouncementIsReportedOncePerRun) {
    Feed("$PGRMT,GLO Software Version 2.40*79");
    Feed("$PGRMT,GLO Software Version 2.40*79");
    EXPECT_TRUE(State.GloMode);
    EXPECT_EQ(Report.Lines, (std::vector<std::wstring>{
                                L"GLO Version 2.40 was detected:  Less than second of time is interpolated.", L""}));
}

TEST_F(ProcessSentenceTest, OtherAnnouncementsAreIgnored) {
    Feed(Sentence("PGRMT,GLO Software Version 2.41"));
    Feed("$PGRMT,GLO Software Version 2.40*78");
    EXPECT_FALSE(State.GloMode);
    EXPECT_TRUE(Report.Lines.empty());
}

TEST_F(ProcessSentenceTest, GloTenthsFollowThePhaseFoundInThePrescan) {
    State.GloMode = true;
    std::vector<std::string> sentences(3, Rmc("120000"));
    for (int i = 0; i < 10; ++i) sentences.push_back(Rmc("120001"));
    sentences.push_back(Rmc("120002"));
    sentences.push_back(Rmc("120002.50"));
    const auto times = CheckPassTimes(sentences);
    EXPECT_EQ(times[0], L"12:00:00.700");
    EXPECT_EQ(times[2], L"12:00:00.900");
    EXPECT_EQ(times[3], L"12:00:01.000");
    EXPECT_EQ(times[12], L"12:00:01.900");
    EXPECT_EQ(times[13], L"12:00:02.000");
    EXPECT_EQ(times[14], L"12:00:02.500");  // a real fraction is kept
}

TEST_F(ProcessSentenceTest, GloSecondWithMoreThanTenSentencesIsStillChecked) {
    State.GloMode = true;
    std::vector<std::string> sentences(12, Rmc("120000"));
    sentences.push_back(Rmc("120001"));
    const auto times = CheckPassTimes(sentences);
    EXPECT_EQ(times[0], L"12:00:00.000");
    EXPECT_EQ(times[1], L"12:00:00.100");
    EXPECT_EQ(times[11], L"12:00:00.900");
    EXPECT_EQ(times[12], L"12:00:01.000");
}

// The direct decoding of the usual shapes against the full one, over a run of
// sentences around the shapes' edges, in both passes and with GLO tenths.
TEST(ProcessSentenceExactly, TheUsualShapesDecodeToTheSameBits) {
    const std::vector<std::string> sentences = {
        Rmc("235959"),
        Rmc("235959."),
        Rmc("000000.5"),
        Rmc("000000.25"),
        Rmc("000000.125"),
        Rmc("000000.1250"),
        Rmc("000001", "290200"),
        Rmc("000001", "290201"),
        Rmc("000002", "311249"),
        Rmc("000002", "010150"),
        Rmc("000002", "010100"),
        Rmc("240000"),
        Rmc("1200007"),
        Rmc("120000", "020120", " 3540.1", "-13945.6789", "1e2"),
        Rmc("120000", "020120", "3540", "", "x"),
        Rmc("120001.000"),
        Rmc("120001.000"),
        Rmc("120001.010"),
        Rmc("120002"),
    };
    for (const bool glo : {false, true}) {
        SCOPED_TRACE(glo ? "GLO" : "plain");
        std::vector<std::string> reports[2];
        for (int way = 0; way < 2; ++way) {
            TRecordingReport report;
            const DateConventions conventions = YearFirstConventions();
            const CheckContext context{conventions, report, 2000};
            ScanState s;
            s.GloMode = glo;
            s.TenthCounter = -1;
            s.FlucTime = 0.5;
            s.AlarmSameTime = s.AlarmStepChange = s.AlarmMovedBack = true;
            s.IntervalFormat = L"%8.3f";
            for (const ScanPass pass : {ScanPass::Prescan, ScanPass::Check}) {
                s.PrevTimeText.clear();
                s.SentenceCount = 0;
                for (const auto& sentence : sentences) {
                    (way == 0 ? ProcessSentence : ProcessSentenceExactly)(sentence, pass, s, context);
                    std::uint64_t bits;
                    std::memcpy(&bits, &s.CurTime, sizeof bits);
                    reports[way].push_back(std::to_string(bits) + " " + s.PrevTimeText + " " +
                                           std::to_string(s.TenthCounter));
                }
            }
            for (const auto& line : report.Lines) reports[way].push_back(std::string(line.begin(), line.end()));
        }
        EXPECT_EQ(reports[0], reports[1]);
    }
}

}  // namespace
