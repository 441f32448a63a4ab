// Time faults that have no report line, gathered while one log is checked:
// dates that a GPS week-number rollover put 1024 weeks early, dates in the
// future, leap seconds (second 60, which the parse cannot read) and other RMC
// sentences skipped because their date and time could not be read.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dates/DateTime.h"

// TrailingBytes is no time fault: bytes after a compressed log that were not
// read as part of it.
enum class NoteKind { WeekRollover, FutureDate, LeapSecond, UnreadTime, TrailingBytes };
inline constexpr std::size_t kNoteKinds = 5;

struct TTimeNote {
    NoteKind Kind = NoteKind::UnreadTime;
    std::int64_t Line = 0;      // the first line it concerns
    std::wstring Text;          // one line, e.g. "leap second 23:59:60 at line 7 (2016-12-31) ..."
    std::string Date;           // ISO date it concerns; empty when none
    std::string StandsFor;      // week rollover: the date it likely stands for
    std::int64_t Count = 1;     // unreadable times: how many sentences; trailing bytes: how many bytes
};

class TTimeNotes {
public:
    // reference: the day the log is taken to be from (its file's time, today
    // or --reference-date), in whole days.
    explicit TTimeNotes(TDateTime reference) : FReference(reference) {}

    // Every accepted RMC time of the check pass, with its line.
    void AddTime(TDateTime time, std::int64_t line);
    // An interval change reported at this line (before AddTime of the line).
    void AddStepChange(std::int64_t line) { FStepLine = line; }
    // An RMC sentence skipped because its date and time cannot be read.
    void AddUnreadTime(std::int64_t line, std::string_view timeField, std::string_view dateField);

    // The notes in the order of the kinds, as they stand at the log's end.
    std::vector<TTimeNote> Notes() const;
    // True when the time stamps themselves are wrong (rollover, future).
    bool DatesWrong() const { return FRollover.has_value() || FFuture.has_value(); }

private:
    struct TLeap {
        std::int64_t Line;
        std::string Date;
        std::int64_t NextLine = 0;   // the next accepted sentence; 0 while none
        bool CausedStep = false;
    };
    struct TDated {
        TDateTime Time;
        std::int64_t Line;
        std::int64_t Weeks = 0;
    };

    TDateTime FReference;
    std::optional<TDated> FRollover, FFuture;
    std::vector<TLeap> FLeaps;
    std::int64_t FStepLine = 0;
    std::int64_t FUnreadCount = 0;
    std::vector<std::wstring> FUnreadExamples;
    std::int64_t FFirstUnreadLine = 0;
};

// The note on the bytes after a compressed log; lines: the log's lines.
TTimeNote TrailingBytesNote(std::int64_t bytes, std::int64_t lines);

// The reference day from "YYYY-MM-DD"; nullopt when it is no date.
std::optional<TDateTime> ReferenceDateFromText(std::wstring_view text);
