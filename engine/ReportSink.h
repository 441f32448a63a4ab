// Where report lines go: the window's report pane, the command-line
// checker's standard output, or a test's recording.
#pragma once

#include <cstdint>
#include <string_view>

#include "dates/DateTime.h"
#include "engine/Anomaly.h"

class IReportSink {
public:
    virtual ~IReportSink() = default;
    // Appends one line to the report; the text holds no line end, and each
    // host ends lines as its medium wants (CR LF in the window's pane, LF on
    // standard output). An empty text is an empty line.
    virtual void AppendReport(std::wstring_view line) = 0;
    // Appends an anomaly's report line. Hosts that keep
    // anomalies as data look at the anomaly as well.
    virtual void AppendAnomaly(const TAnomaly& anomaly, std::wstring_view line) {
        static_cast<void>(anomaly);
        AppendReport(line);
    }
    // Every RMC time the check pass accepts, after its checks.
    virtual void NoteTime(TDateTime time) { static_cast<void>(time); }
    // An RMC sentence of the check pass with a good checksum and status "A"
    // that is skipped because its date and time cannot be read (a second 60,
    // four fraction digits): its line and its time and date fields as written.
    virtual void NoteUnreadTime(std::int64_t line, std::string_view timeField, std::string_view dateField) {
        static_cast<void>(line);
        static_cast<void>(timeField);
        static_cast<void>(dateField);
    }
};
