// Time faults that have no report line, gathered while one log is checked:
// dates that a GPS week-number rollover put 1024 weeks early, dates in the
// future, leap seconds (second 60, which the parse cannot read) and other RMC
// sentences skipped because their date and time could not be read. They are
// gathered from the events of the check run, so that any front end can have
// them; the window's report has no note lines.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dates/DateTime.h"
#include "engine/CheckEvents.h"

// TrailingBytes is no time fault: bytes after a compressed log that were not
// read as part of it.
enum class NoteKind { WeekRollover, FutureDate, LeapSecond, UnreadTime, TrailingBytes };
inline constexpr std::size_t kNoteKinds = 5;

struct TTimeNote {
    NoteKind Kind = NoteKind::UnreadTime;
    std::int64_t Line = 0;   // the first line it concerns
    std::wstring Text;       // one line, e.g. "leap second 23:59:60 at line 7 (2016-12-31) ..."
    std::string Date;        // ISO date it concerns; empty when none
    std::string StandsFor;   // week rollover: the date it likely stands for
    std::int64_t Count = 1;  // unreadable times: how many sentences; trailing bytes: how many bytes
};

class TTimeNotes final : public ICheckEvents {
public:
    // reference: the day the log is taken to be from (its file's time, today
    // or a day the user names), in whole days. currentYear widens two-digit
    // years as the check does.
    TTimeNotes(TDateTime reference, int currentYear) : FReference(reference), FCurrentYear(currentYear) {}

    void TimeAccepted(TDateTime time, std::int64_t line) override;
    // An interval change is reported before the time of its line is accepted.
    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view) override {
        if (anomaly.Kind == AnomalyKind::StepChanged) FStepLine = anomaly.Line;
    }
    void TimeUnread(std::int64_t line, std::string_view timeField, std::string_view dateField) override;

    // The notes in the order of the kinds, as they stand at the log's end.
    std::vector<TTimeNote> Notes() const;

private:
    struct TLeap {
        std::int64_t Line;
        std::string Date;
        std::int64_t NextLine = 0;  // the next accepted sentence; 0 while none
        bool CausedStep = false;
    };
    struct TDated {
        TDateTime Time;
        std::int64_t Line;
        std::int64_t Weeks = 0;
    };

    TDateTime FReference;
    int FCurrentYear;
    std::optional<TDated> FRollover, FFuture;
    std::vector<TLeap> FLeaps;
    std::int64_t FStepLine = 0;
    std::int64_t FUnreadCount = 0;
    std::vector<std::wstring> FUnreadExamples;
    std::int64_t FFirstUnreadLine = 0;
};

// True when notes say the time stamps themselves are wrong (rollover, future).
bool DatesWrong(const std::vector<TTimeNote>& notes);

// The note on the bytes after a compressed log; lines: the log's lines.
TTimeNote TrailingBytesNote(std::int64_t bytes, std::int64_t lines);

// The reference day from "YYYY-MM-DD"; nullopt when it is no date.
std::optional<TDateTime> ReferenceDateFromText(std::wstring_view text);
