// Where report lines go: the window's report pane, the command-line
// checker's standard output, or a test's recording.
#pragma once

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
};
