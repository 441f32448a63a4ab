#include "cli/JsonReport.h"

#include <cmath>
#include <cstdio>

#include "dates/FormatFixed.h"
#include "engine/WideText.h"

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

// Fixed-point text without trailing zeros (and without a trailing point).
std::string TrimmedFixed(std::wstring_view format, double value) {
    std::string text = WideToUtf8(FormatFixed(format, value));
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

std::string JsonNumber(double value) {
    return std::isfinite(value) ? TrimmedFixed(L"%.8f", value) : "null";
}

std::string JsonBool(bool value) { return value ? "true" : "false"; }

std::string_view KindName(AnomalyKind kind) {
    switch (kind) {
        case AnomalyKind::StepChanged: return "step_changed";
        case AnomalyKind::MovedBack: return "moved_back";
        case AnomalyKind::SameTime: return "same_time";
    }
    return "";
}

std::string Quoted(std::string_view name) {
    std::string text = "\"";
    text += name;
    return text + "\"";
}

std::string_view OutcomeName(LogOutcome outcome) {
    switch (outcome) {
        case LogOutcome::Completed: return "completed";
        case LogOutcome::NoRmcAccepted: return "no_rmc_accepted";
        case LogOutcome::Aborted: return "aborted";
        case LogOutcome::CannotOpen: return "cannot_open";
        case LogOutcome::ReadError: return "read_error";
    }
    return "";
}

constexpr std::string_view kNoteNames[kNoteKinds] = {"week_rollover", "future_date", "leap_second", "unread_time",
                                                     "trailing_bytes"};

std::string_view NoteName(NoteKind kind) { return kNoteNames[static_cast<std::size_t>(kind)]; }

std::string Field(std::string_view name, std::string_view value) {
    std::string field = ",\"";
    field += name;
    field += "\":";
    field += value;
    return field;
}

}  // namespace

std::string IsoUtcText(TDateTime time) {
    const double ms = std::round(time * kMillisecondsPerDay);
    // Years 1 to 9999 lie well inside this range.
    if (!(std::fabs(ms) < 4e14)) return "";
    const auto total = static_cast<std::int64_t>(ms);
    const std::int64_t msPerDay = 86400000;
    std::int64_t days = total / msPerDay, rest = total % msPerDay;
    if (rest < 0) {
        rest += msPerDay;
        --days;
    }
    const TCivilDate date = CivilFromDayNumber(days);
    if (date.Year < 1 || date.Year > 9999) return "";
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", date.Year, date.Month, date.Day,
                  static_cast<int>(rest / 3600000), static_cast<int>(rest / 60000 % 60),
                  static_cast<int>(rest / 1000 % 60), static_cast<int>(rest % 1000));
    return text;
}

std::string JsonTime(TDateTime time) {
    const std::string text = IsoUtcText(time);
    return text.empty() ? "null" : "\"" + text + "\"";
}

std::string JsonSeconds(double seconds) {
    return std::isfinite(seconds) ? TrimmedFixed(L"%.3f", seconds) : "null";
}

std::string JsonString(std::wstring_view text) {
    std::string out = "\"";
    for (const char c : WideToUtf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string AnomalyJson(const TAnomaly& a, std::wstring_view line) {
    std::string json = "{\"kind\":\"";
    json += KindName(a.Kind);
    json += "\"";
    json += Field("line", std::to_string(a.Line));
    switch (a.Kind) {
        case AnomalyKind::StepChanged:
            json += Field("time", JsonTime(a.Time));
            json += Field("next_time", JsonTime(a.NewTime));
            json += Field("interval_before_seconds", JsonSeconds(a.PrevIntervalSeconds));
            json += Field("interval_after_seconds", JsonSeconds(a.NewIntervalSeconds));
            break;
        case AnomalyKind::MovedBack:
            json += Field("from", JsonTime(a.Time));
            json += Field("to", JsonTime(a.NewTime));
            json += Field("back_seconds", JsonSeconds((a.Time - a.NewTime) * kSecondsPerDay));
            break;
        case AnomalyKind::SameTime:
            json += Field("time", JsonTime(a.Time));
            json += Field("same_place", JsonBool(a.SamePlace));
            json += Field("same_speed", JsonBool(a.SameSpeed));
            json += Field("lat", JsonNumber(a.Lat));
            json += Field("lon", JsonNumber(a.Lon));
            json += Field("speed", JsonNumber(a.Speed));
            break;
    }
    json += Field("text", JsonString(line));
    return json + "}";
}

std::string NoteJson(const TTimeNote& note) {
    std::string json = "{\"kind\":\"";
    json += NoteName(note.Kind);
    json += "\"";
    json += Field("line", std::to_string(note.Line));
    if (!note.Date.empty()) json += Field("date", "\"" + note.Date + "\"");
    if (!note.StandsFor.empty()) json += Field("stands_for", "\"" + note.StandsFor + "\"");
    if (note.Kind == NoteKind::UnreadTime || note.Kind == NoteKind::TrailingBytes)
        json += Field("count", std::to_string(note.Count));
    json += Field("text", JsonString(note.Text));
    return json + "}";
}

std::string JsonLogHead(std::wstring_view log) { return "{\"log\":" + JsonString(log) + ",\"anomalies\":["; }

std::string JsonLogTail(const ScanState& state, LogOutcome outcome, std::wstring_view message,
                        const std::vector<TTimeNote>& notes) {
    const bool timed = state.FirstTime != 0.0;
    std::string json = "]";
    json += Field("status", Quoted(OutcomeName(outcome)));
    if (!message.empty()) json += Field("message", JsonString(message));
    json += Field("glo", JsonBool(state.GloMode));
    json += Field("lines", std::to_string(state.LineNumber));
    json += Field("rmc", std::to_string(state.SentenceCount));
    json += Field("first", timed ? JsonTime(state.FirstTime) : "null");
    json += Field("last", timed ? JsonTime(state.CurTime) : "null");
    json += Field("span_seconds", timed ? JsonSeconds((state.CurTime - state.FirstTime) * kSecondsPerDay) : "null");
    // Appended piece by piece: GCC 12 warns wrongly about "text" + std::string.
    std::string counts = "{\"same_time\":";
    counts += std::to_string(state.SameCount);
    counts += ",\"step_changed\":";
    counts += std::to_string(state.StepCount);
    counts += ",\"moved_back\":";
    counts += std::to_string(state.BackCount);
    json += Field("counts", counts + "}");
    std::string list = "[";
    for (const TTimeNote& note : notes) {
        if (list.size() > 1) list += ",";
        list += NoteJson(note);
    }
    json += Field("notes", list + "]");
    return json + "}";
}

std::int64_t AnomaliesFound(const ScanState& state) {
    return std::int64_t{state.SameCount} + state.StepCount + state.BackCount;
}

void TBatchTotal::Add(const ScanState& state, LogOutcome outcome, const std::vector<TTimeNote>& notes) {
    for (const TTimeNote& note : notes) ++Notes[static_cast<std::size_t>(note.Kind)];
    ++Logs;
    if (outcome == LogOutcome::NoRmcAccepted) ++NoRmcAccepted;
    else if (outcome != LogOutcome::Completed) ++NotChecked;
    else if (AnomaliesFound(state) > 0) ++WithAnomalies;
    else ++Clean;
    SameTime += state.SameCount;
    StepChanged += state.StepCount;
    MovedBack += state.BackCount;
}

namespace {

std::string NoteCountsJson(const TBatchTotal& t) {
    std::string json = ",\"notes\":{";
    for (std::size_t k = 0; k < kNoteKinds; ++k)
        json += (k > 0 ? ",\"" : "\"") + std::string(kNoteNames[k]) + "\":" + std::to_string(t.Notes[k]);
    return json + "}";
}

}  // namespace

std::string JsonTotal(const TBatchTotal& t) {
    return "{\"total\":{\"logs\":" + std::to_string(t.Logs) + ",\"with_anomalies\":" +
           std::to_string(t.WithAnomalies) + ",\"clean\":" + std::to_string(t.Clean) +
           ",\"no_rmc_accepted\":" + std::to_string(t.NoRmcAccepted) + ",\"not_checked\":" + std::to_string(t.NotChecked) + ",\"counts\":{\"same_time\":" +
           std::to_string(t.SameTime) + ",\"step_changed\":" + std::to_string(t.StepChanged) +
           ",\"moved_back\":" + std::to_string(t.MovedBack) + "}" + NoteCountsJson(t) + "}}";
}

std::wstring TotalLine(const TBatchTotal& t) {
    return L"Total: " + std::to_wstring(t.Logs) + L" logs, " + std::to_wstring(t.WithAnomalies) +
           L" with anomalies, " + std::to_wstring(t.Clean) + L" clean, " + std::to_wstring(t.NoRmcAccepted) +
           L" with no RMC accepted, " + std::to_wstring(t.NotChecked) +
           L" not checked.  UTC same= " + std::to_wstring(t.SameTime) + L"     Step changed= " +
           std::to_wstring(t.StepChanged) + L"     UTC moved back= " + std::to_wstring(t.MovedBack);
}
