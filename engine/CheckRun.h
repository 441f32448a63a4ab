// The check run: open the log, pre-scan its beginning, take the options from
// the host, check every line, and end with the summary and the covered span.
#pragma once

#include <string>
#include <string_view>

#include "dates/DateConventions.h"
#include "engine/ICheckHost.h"
#include "engine/LogReader.h"
#include "engine/ScanState.h"

inline constexpr int kPrescanLimit = 1000;
inline constexpr int kProgressEvery = 10000;

// CandidateSentence for a line that is not a sentence alone.
std::string_view CandidateInLine(std::string_view line, bool takeProprietary);

// The trimmed line from its "$G" marker on (or, when takeProprietary is set
// and it has no "$G", from "$P"); empty when it has none.
inline std::string_view CandidateSentence(std::string_view line, bool takeProprietary) {
    // Nearly every line is a sentence of its own: nothing to trim, the
    // marker in front.
    if (line.size() >= 2 && line[0] == '$' && line[1] == 'G' && static_cast<unsigned char>(line.back()) > ' ')
        return line;
    return CandidateInLine(line, takeProprietary);
}

// When the pre-scan stops reading the log.
enum class PrescanEnd {
    // After kPrescanLimit accepted RMC sentences or at the log's end: the
    // window's rule, for a log that is all there.
    LimitOrLogEnd,
    // The same, or as soon as nothing later in the log can change what the
    // pre-scan finds (the GLO announcement seen and the tenth's phase set),
    // for a log that is still being written.
    Settled,
};

// How a run ended.
enum class RunEnd {
    Completed,   // the summary and the span are out
    Aborted,     // an abort was asked for at a yield point
    CannotOpen,  // the log could not be opened; the host was told with OpenFailed
    ReadError,   // reading, rewinding or closing the log failed
    Ignored,     // a run on the same state was already under way
};

struct TRunResult {
    RunEnd End = RunEnd::Completed;
    // The failure's text for CannotOpen ("Can't open : " and the name) and
    // ReadError; empty otherwise.
    std::wstring Message;
};

// Runs one check of the log the host names. A call made while a run on the
// same state is under way (from inside a yield point) is ignored. On every way out
// the log is closed. currentYear is the local calendar year that two-digit
// RMC years are widened around. Both pre-scan ends give the same report.
TRunResult RunCheck(ICheckHost& host, ScanState& state, TLogReader& reader, const DateConventions& conventions,
                    int currentYear, PrescanEnd prescanEnd = PrescanEnd::LimitOrLogEnd);

// The status text of a progress point as the window shows it: the file-name
// part of the log's name, the line index and the share of ByteCount in
// LogBytes, e.g. "track.nmea: Line 20000 (45.3%)".
std::wstring ProgressStatusText(std::wstring_view logName, const TProgress& progress);
