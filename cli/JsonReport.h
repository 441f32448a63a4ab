// Machine-readable results: one JSON document per log, written on one line
// in three pieces (head, anomalies separated by commas, tail) so that a log
// with millions of anomalies streams out without being held in memory.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/TimeNotes.h"
#include "engine/Anomaly.h"
#include "engine/ScanState.h"

// 2019-05-01T12:00:04.500Z, to the nearest millisecond; empty for a value
// that is not a time of the years 1 to 9999.
std::string IsoUtcText(TDateTime time);
// IsoUtcText in quotes, or "null".
std::string JsonTime(TDateTime time);
// Seconds to the nearest millisecond without trailing zeros: "0.1", "-3";
// "null" for a value that is not finite.
std::string JsonSeconds(double seconds);
// A quoted, escaped JSON string in UTF-8.
std::string JsonString(std::wstring_view text);

// One anomaly with its report line.
std::string AnomalyJson(const TAnomaly& anomaly, std::wstring_view line);

// Same-time, step-change and moved-back lines of a run, together.
std::int64_t AnomaliesFound(const ScanState& state);

// How a log's check ended. NoRmcAccepted: read to the end, but no RMC
// sentence was accepted, so nothing was checked.
enum class LogOutcome { Completed, NoRmcAccepted, Aborted, CannotOpen, ReadError };

std::string JsonLogHead(std::wstring_view log);
// message: the failure's text for CannotOpen and ReadError, else empty.
std::string JsonLogTail(const ScanState& state, LogOutcome outcome, std::wstring_view message,
                        const std::vector<TTimeNote>& notes = {});

// Over all logs of one command.
struct TBatchTotal {
    std::int64_t Logs = 0, WithAnomalies = 0, Clean = 0, NoRmcAccepted = 0, NotChecked = 0;
    std::int64_t SameTime = 0, StepChanged = 0, MovedBack = 0;
    std::array<std::int64_t, kNoteKinds> Notes{};   // by NoteKind
    void Add(const ScanState& state, LogOutcome outcome, const std::vector<TTimeNote>& notes = {});
};
std::string JsonTotal(const TBatchTotal& total);
// The text form: "Total: 4 logs, 1 with anomalies, 1 clean, 1 with no RMC accepted,
// 1 not checked.  UTC same= 2 ..."
std::wstring TotalLine(const TBatchTotal& total);
