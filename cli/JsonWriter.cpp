#include "cli/JsonWriter.h"

#include <charconv>
#include <cmath>

#include "dates/FormatFixed.h"
#include "engine/UserError.h"
#include "engine/WideText.h"

namespace {

constexpr std::string_view kNoteNames[kNoteKinds] = {"week_rollover", "future_date", "leap_second", "unread_time",
                                                     "trailing_bytes"};

std::string_view NoteName(NoteKind kind) { return kNoteNames[static_cast<std::size_t>(kind)]; }

std::string_view KindName(AnomalyKind kind) {
    switch (kind) {
        case AnomalyKind::StepChanged: return "step_changed";
        case AnomalyKind::MovedBack: return "moved_back";
        case AnomalyKind::SameTime: return "same_time";
    }
    return "";
}

std::string_view OutcomeName(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::Completed: return "completed";
        case CheckOutcome::NoRmcAccepted: return "no_rmc_accepted";
        case CheckOutcome::Aborted: return "aborted";
        case CheckOutcome::CannotOpen: return "cannot_open";
        case CheckOutcome::ReadError: return "read_error";
    }
    return "";
}

// The text is kept as bytes; the dump replaces what is not UTF-8.
TJson Text(std::wstring_view text) { return WideToUtf8(text); }

// The number that fixed-point text with trailing zeros (and the point) cut
// off names: whole numbers as integers, so that they print without ".0";
// any other as the double nearest to the text, which prints as the same
// digits when they are at most 15.
TJson FixedNumber(std::wstring_view format, double value) {
    std::string text = WideToUtf8(FormatFixed(format, value));
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    const char* const end = text.data() + text.size();
    if (text.find('.') == std::string::npos) {
        std::int64_t whole = 0;
        if (std::from_chars(text.data(), end, whole).ec == std::errc()) return whole;
    }
    double number = 0.0;
    std::from_chars(text.data(), end, number);
    return number;
}

// Degrees and speeds as the report's numbers are kept: eight decimals.
TJson JsonNumber(double value) { return std::isfinite(value) ? FixedNumber(L"%.8f", value) : TJson(nullptr); }

TJson NoteJson(const TTimeNote& note) {
    TJson json{{"kind", NoteName(note.Kind)}, {"line", note.Line}};
    if (!note.Date.empty()) json["date"] = note.Date;
    if (!note.StandsFor.empty()) json["stands_for"] = note.StandsFor;
    if (note.Kind == NoteKind::UnreadTime || note.Kind == NoteKind::TrailingBytes) json["count"] = note.Count;
    json["text"] = Text(note.Text);
    return json;
}

TJson CountsJson(std::int64_t sameTime, std::int64_t stepChanged, std::int64_t movedBack) {
    return {{"same_time", sameTime}, {"step_changed", stepChanged}, {"moved_back", movedBack}};
}

// Everything of a log's document after its anomalies.
TJson TailJson(const TCheckResults& r) {
    const bool timed = r.FirstTime != 0.0;
    TJson json{{"status", OutcomeName(r.Outcome)}};
    if (!r.Message.empty()) json["message"] = Text(r.Message);
    json["glo"] = r.GloMode;
    json["lines"] = r.Lines;
    json["rmc"] = r.RmcAccepted;
    json["first"] = timed ? JsonTime(r.FirstTime) : TJson(nullptr);
    json["last"] = timed ? JsonTime(r.LastTime) : TJson(nullptr);
    json["span_seconds"] = timed ? JsonSeconds((r.LastTime - r.FirstTime) * kSecondsPerDay) : TJson(nullptr);
    json["counts"] = CountsJson(r.SameCount, r.StepCount, r.BackCount);
    json["notes"] = TJson::array();
    for (const TTimeNote& note : r.Notes) json["notes"].push_back(NoteJson(note));
    return json;
}

}  // namespace

std::string JsonLine(const TJson& json) { return json.dump(-1, ' ', false, TJson::error_handler_t::replace); }

TJson JsonTime(TDateTime time) {
    const std::string text = IsoUtcText(time);
    return text.empty() ? TJson(nullptr) : TJson(text);
}

TJson JsonSeconds(double seconds) { return std::isfinite(seconds) ? FixedNumber(L"%.3f", seconds) : TJson(nullptr); }

TJson AnomalyJson(const TAnomaly& a, std::wstring_view line) {
    TJson json{{"kind", KindName(a.Kind)}, {"line", a.Line}};
    switch (a.Kind) {
        case AnomalyKind::StepChanged:
            json["time"] = JsonTime(a.Time);
            json["next_time"] = JsonTime(a.NewTime);
            json["interval_before_seconds"] = JsonSeconds(a.PrevIntervalSeconds);
            json["interval_after_seconds"] = JsonSeconds(a.NewIntervalSeconds);
            break;
        case AnomalyKind::MovedBack:
            json["from"] = JsonTime(a.Time);
            json["to"] = JsonTime(a.NewTime);
            json["back_seconds"] = JsonSeconds((a.Time - a.NewTime) * kSecondsPerDay);
            break;
        case AnomalyKind::SameTime:
            json["time"] = JsonTime(a.Time);
            json["same_place"] = a.SamePlace;
            json["same_speed"] = a.SameSpeed;
            json["lat"] = JsonNumber(a.Lat);
            json["lon"] = JsonNumber(a.Lon);
            json["speed"] = JsonNumber(a.Speed);
            break;
    }
    json["text"] = Text(line);
    return json;
}

// The document streams: its head and anomalies go out before its tail is
// known, so the library writes each value and the array is framed here.
TJsonWriter::TJsonWriter(ILineOutput& out, std::wstring_view log) : FOut(out) {
    FOut.WriteRaw("{\"log\":" + JsonLine(Text(log)) + ",\"anomalies\":[");
}

void TJsonWriter::AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) {
    if (!FFirstAnomaly) FOut.WriteRaw(",");
    FOut.WriteRaw(JsonLine(AnomalyJson(anomaly, line)));
    FFirstAnomaly = false;
}

void TJsonWriter::Finish(const TCheckResults& results) {
    // The tail's members, without the braces of their own object.
    const std::string tail = JsonLine(TailJson(results));
    FOut.WriteRaw("]," + tail.substr(1) + "\n");
}

TJsonFollowWriter::TJsonFollowWriter(ILineOutput& out, std::wstring_view log)
    : FOut(out), FLog(Text(log)), FKept(L"Can't keep the JSON document", log), FDocument(FKeptOutput, log) {}

void TJsonFollowWriter::TKeptOutput::WriteLine(std::wstring_view text) {
    FKept.Append(WideToUtf8(text));
    FKept.Append("\n");
}

void TJsonFollowWriter::AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) {
    FOut.WriteRaw(JsonLine(TJson{{"log", FLog}, {"anomaly", AnomalyJson(anomaly, line)}}) + "\n");
    if (!FFailure.empty()) return;
    try {
        FDocument.AnomalyFound(anomaly, line);
    } catch (const TUserError& e) {
        FFailure = e.Text;
        FKept.Clear();
    }
}

void TJsonFollowWriter::Finish(const TCheckResults& results) {
    if (!FFailure.empty()) return;
    try {
        FDocument.Finish(results);
        FKept.Rewind();
        char block[64 * 1024];
        while (const std::size_t n = FKept.Read(block, sizeof block)) FOut.WriteRaw({block, n});
    } catch (const TUserError& e) {
        FFailure = e.Text;
    }
    FKept.Clear();
}

std::string JsonTotal(const TBatchTotal& t) {
    TJson notes = TJson::object();
    for (std::size_t k = 0; k < kNoteKinds; ++k) notes[std::string(kNoteNames[k])] = t.Notes[k];
    const TJson total{{"logs", t.Logs},
                      {"with_anomalies", t.WithAnomalies},
                      {"clean", t.Clean},
                      {"no_rmc_accepted", t.NoRmcAccepted},
                      {"not_checked", t.NotChecked},
                      {"counts", CountsJson(t.SameTime, t.StepChanged, t.MovedBack)},
                      {"notes", notes}};
    return JsonLine(TJson{{"total", total}});
}
