#include "cli/JsonWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cli/TextWriter.h"
#include "dates/DateTime.h"
#include "engine/WideText.h"

namespace {

TDateTime At(int y, int mo, int d, int h, int mi, double s) {
    return DayNumber(y, mo, d) + (h * 3600.0 + mi * 60.0 + s) / kSecondsPerDay;
}

class TRecordingOutput : public ILineOutput {
public:
    void WriteLine(std::wstring_view text) override { Bytes += WideToUtf8(text) + "\n"; }
    void WriteRaw(std::string_view bytes) override { Bytes += bytes; }
    std::string Bytes;
};

TEST(JsonTime, GivesUtcToTheMillisecond) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        TDateTime Time;
        const char* Text;
    } rows[] = {
        {At(2019, 5, 1, 12, 0, 4.5), "\"2019-05-01T12:00:04.500Z\""},
        {At(2000, 2, 29, 23, 59, 59.999), "\"2000-02-29T23:59:59.999Z\""},
        {At(1999, 12, 31, 23, 59, 59.9996), "\"2000-01-01T00:00:00.000Z\""},  // rounds over midnight
        {0.0, "\"1899-12-30T00:00:00.000Z\""},
        {-1.25, "\"1899-12-29T06:00:00.000Z\""},  // before 1900 the time counts backwards
        {At(2075, 1, 1, 0, 0, 0.1), "\"2075-01-01T00:00:00.100Z\""},
        {nan, "null"},
        {1e300, "null"},
        {DayNumber(9999, 12, 31) + 1.0, "null"},  // year 10000
    };
    for (const auto& r : rows) EXPECT_EQ(JsonLine(JsonTime(r.Time)), r.Text) << r.Text;
}

TEST(JsonSeconds, RoundsToMillisecondsWithoutTrailingZeros) {
    const struct {
        double Seconds;
        const char* Text;
    } rows[] = {
        {0.1, "0.1"},   {1.0, "1"},        {-3.0, "-3"}, {0.09999999999, "0.1"},
        {600.0, "600"}, {0.0125, "0.013"}, {0.0, "0"},   {std::numeric_limits<double>::infinity(), "null"},
    };
    for (const auto& r : rows) EXPECT_EQ(JsonLine(JsonSeconds(r.Seconds)), r.Text) << r.Text;
}

// Every line is JSON in UTF-8, whatever the log is called: bytes of a name
// that are not UTF-8 (carried as U+DC80 to U+DCFF) become U+FFFD.
TEST(TJsonWriter, NamesOfAnyKindGiveJson) {
    const struct {
        std::wstring Log;
        std::string Json;
    } rows[] = {
        {L"C:\\logs\\a \"b\".nmea", "\"C:\\\\logs\\\\a \\\"b\\\".nmea\""},
        {std::wstring(L"a\tb\x01", 4), "\"a\\tb\\u0001\""},
        {L"\u65e5\u672c.nmea", "\"\xe6\x97\xa5\xe6\x9c\xac.nmea\""},
        {Utf8ToWide("bad\xffname.nmea"), "\"bad\xef\xbf\xbdname.nmea\""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Json);
        TRecordingOutput out;
        TJsonWriter(out, r.Log);
        EXPECT_EQ(out.Bytes, "{\"log\":" + r.Json + ",\"anomalies\":[");
    }
}

TEST(AnomalyJson, CarriesTheNumbersOfEachKind) {
    TAnomaly step;
    step.Kind = AnomalyKind::StepChanged;
    step.Line = 42;
    step.Time = At(2019, 5, 1, 12, 0, 4.5);
    step.NewTime = At(2019, 5, 1, 12, 0, 6.5);
    step.PrevIntervalSeconds = 1.0;
    step.NewIntervalSeconds = 2.0000000001;
    EXPECT_EQ(JsonLine(AnomalyJson(step, L"* UTC step changed")),
              "{\"kind\":\"step_changed\",\"line\":42,\"time\":\"2019-05-01T12:00:04.500Z\","
              "\"next_time\":\"2019-05-01T12:00:06.500Z\",\"interval_before_seconds\":1,"
              "\"interval_after_seconds\":2,\"text\":\"* UTC step changed\"}");

    TAnomaly back;
    back.Kind = AnomalyKind::MovedBack;
    back.Line = 7;
    back.Time = At(2019, 5, 1, 12, 0, 12.5);
    back.NewTime = At(2019, 5, 1, 12, 0, 9.5);
    EXPECT_EQ(JsonLine(AnomalyJson(back, L"x")),
              "{\"kind\":\"moved_back\",\"line\":7,\"from\":\"2019-05-01T12:00:12.500Z\","
              "\"to\":\"2019-05-01T12:00:09.500Z\",\"back_seconds\":3,\"text\":\"x\"}");

    TAnomaly same;
    same.Kind = AnomalyKind::SameTime;
    same.Line = 9;
    same.Time = same.NewTime = At(2019, 5, 1, 12, 0, 8.5);
    same.SamePlace = true;
    same.Lat = 35.66872333;
    same.Lon = std::numeric_limits<double>::quiet_NaN();  // an unusable field
    EXPECT_EQ(JsonLine(AnomalyJson(same, L"y")),
              "{\"kind\":\"same_time\",\"line\":9,\"time\":\"2019-05-01T12:00:08.500Z\",\"same_place\":true,"
              "\"same_speed\":false,\"lat\":35.66872333,\"lon\":null,\"speed\":0,\"text\":\"y\"}");
}

TEST(TJsonWriter, NullTimesWithoutSentencesAndTheFailureMessage) {
    TRecordingOutput out;
    TCheckResults results;
    results.Outcome = CheckOutcome::ReadError;
    results.Message = L"Read error : a.nmea";
    results.Lines = 3;
    TJsonWriter(out, L"a.nmea").Finish(results);
    EXPECT_EQ(out.Bytes,
              "{\"log\":\"a.nmea\",\"anomalies\":[],\"status\":\"read_error\",\"message\":\"Read error : a.nmea\","
              "\"glo\":false,\"lines\":3,\"rmc\":0,\"first\":null,\"last\":null,\"span_seconds\":null,"
              "\"counts\":{\"same_time\":0,\"step_changed\":0,\"moved_back\":0},\"notes\":[]}\n");
}

TEST(TJsonWriter, AnomaliesAsTheyComeThenTheResults) {
    TRecordingOutput out;
    TJsonWriter writer(out, L"a.nmea");
    TAnomaly back;
    back.Kind = AnomalyKind::MovedBack;
    back.Line = 7;
    back.Time = At(2019, 5, 1, 12, 0, 12.5);
    back.NewTime = At(2019, 5, 1, 12, 0, 9.5);
    writer.AnomalyFound(back, L"x");
    writer.AnomalyFound(back, L"z");
    const std::size_t streamed = out.Bytes.size();
    TCheckResults results;
    results.Lines = 3;
    results.FirstTime = At(2019, 5, 1, 23, 59, 59.0);
    results.LastTime = At(2019, 5, 2, 0, 0, 1.5);
    results.RmcAccepted = 4;
    results.BackCount = 2;
    results.GloMode = true;
    results.Notes = {{NoteKind::WeekRollover, 2, L"dated \"early\"", "2006-08-20", "2026-04-05"},
                     {NoteKind::UnreadTime, 7, L"2 skipped", "", "", 2}};
    writer.Finish(results);
    EXPECT_EQ(out.Bytes.substr(0, streamed), "{\"log\":\"a.nmea\",\"anomalies\":[" + JsonLine(AnomalyJson(back, L"x")) +
                                                 "," + JsonLine(AnomalyJson(back, L"z")));
    EXPECT_EQ(out.Bytes.substr(streamed),
              "],\"status\":\"completed\",\"glo\":true,\"lines\":3,\"rmc\":4,\"first\":\"2019-05-01T23:59:59.000Z\","
              "\"last\":\"2019-05-02T00:00:01.500Z\",\"span_seconds\":2.5,"
              "\"counts\":{\"same_time\":0,\"step_changed\":0,\"moved_back\":2},\"notes\":["
              "{\"kind\":\"week_rollover\",\"line\":2,\"date\":\"2006-08-20\",\"stands_for\":\"2026-04-05\","
              "\"text\":\"dated \\\"early\\\"\"},{\"kind\":\"unread_time\",\"line\":7,\"count\":2,\"text\":\"2 "
              "skipped\"}]}\n");
}

// Followed, each anomaly comes at once on a line of its own, and the
// document that comes last is byte for byte the one of a check without it.
TEST(TJsonFollowWriter, AnomalyLinesAtOnceThenTheWholeDocument) {
    TAnomaly same;
    same.Kind = AnomalyKind::SameTime;
    same.Line = 4;
    same.Time = At(2019, 5, 1, 12, 0, 1.0);
    TCheckResults results;
    results.SameCount = 2;
    TRecordingOutput plain, followed;
    TJsonWriter writer(plain, L"a \"b\".nmea");
    TJsonFollowWriter follow(followed, L"a \"b\".nmea");
    EXPECT_EQ(followed.Bytes, "");
    for (const wchar_t* line : {L"x", L"y"}) {
        writer.AnomalyFound(same, line);
        follow.AnomalyFound(same, line);
        EXPECT_EQ(followed.Bytes.back(), '\n');  // the line is whole at once
    }
    const std::string anomalyLines = followed.Bytes;
    EXPECT_EQ(anomalyLines, "{\"log\":\"a \\\"b\\\".nmea\",\"anomaly\":" + JsonLine(AnomalyJson(same, L"x")) + "}\n" +
                                "{\"log\":\"a \\\"b\\\".nmea\",\"anomaly\":" + JsonLine(AnomalyJson(same, L"y")) +
                                "}\n");
    writer.Finish(results);
    follow.Finish(results);
    EXPECT_EQ(followed.Bytes.substr(anomalyLines.size()), plain.Bytes);
    EXPECT_EQ(follow.Failure(), L"");
}

TEST(TBatchTotal, SortsLogsByOutcome) {
    TBatchTotal total;
    const auto results = [](CheckOutcome outcome, std::int32_t steps, std::int32_t backs) {
        TCheckResults r;
        r.Outcome = outcome;
        r.StepCount = steps;
        r.BackCount = backs;
        return r;
    };
    TCheckResults leap = results(CheckOutcome::NoRmcAccepted, 0, 0);
    leap.Notes = {{NoteKind::LeapSecond, 3, L"leap", "2016-12-31", ""}};
    total.Add(results(CheckOutcome::Completed, 0, 0));
    total.Add(results(CheckOutcome::Completed, 2, 1));
    total.Add(results(CheckOutcome::Aborted, 2, 1));
    total.Add(results(CheckOutcome::CannotOpen, 0, 0));
    total.Add(leap);
    EXPECT_EQ(TotalLine(total),
              L"Total: 5 logs, 1 with anomalies, 1 clean, 1 with no RMC accepted, 2 not checked.  "
              L"UTC same= 0     Step changed= 4     UTC moved back= 2");
    EXPECT_EQ(JsonTotal(total),
              "{\"total\":{\"logs\":5,\"with_anomalies\":1,\"clean\":1,\"no_rmc_accepted\":1,"
              "\"not_checked\":2,"
              "\"counts\":{\"same_time\":0,\"step_changed\":4,\"moved_back\":2},\"notes\":{"
              "\"week_rollover\":0,\"future_date\":0,\"leap_second\":1,\"unread_time\":0,\"trailing_bytes\":0}}}");
}

}  // namespace
