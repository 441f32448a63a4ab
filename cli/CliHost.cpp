#include "cli/CliHost.h"

#include <utility>

#include "cli/IntervalPlot.h"
#include "cli/JsonReport.h"
#include "cli/Progress.h"
#include "cli/TimeNotes.h"
#include "engine/CheckRun.h"

TCliHost::TCliHost(const CliOptions& options, std::wstring logName, ScanState& state,
                   ILineOutput& report, const std::atomic<bool>& stop, TRunWatchers watchers)
    : FLogName(std::move(logName)),
      FRow(options.Row),
      FJson(options.Json),
      FLineNumbers(options.LineNumbers),
      FState(state),
      FReport(report),
      FStop(stop),
      FWatchers(watchers) {}

TCheckOptions TCliHost::TakeOptions() { return OptionsFromRow(FRow).Options; }

// The status the window would show, kept for the end; the progress display
// of the command line.
void TCliHost::ProgressMade(const TProgress& progress) {
    FStatus = ProgressStatusText(FLogName, progress);
    if (FWatchers.Progress) ShowProgress({FLogName, progress.LineIndex + 1, progress.BytesRead, progress.LogBytes});
}

// The JSON document has fields for what the other report lines say.
void TCliHost::ReportLine(std::wstring_view line) {
    if (!FJson) FReport.WriteLine(line);
}

void TCliHost::AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) {
    if (FWatchers.Plot) FWatchers.Plot->AddAnomaly(anomaly);
    if (FWatchers.Notes && anomaly.Kind == AnomalyKind::StepChanged) FWatchers.Notes->AddStepChange(anomaly.Line);
    if (FJson) {
        FReport.WriteRaw(FFirstAnomaly ? "" : ",");
        FReport.WriteRaw(AnomalyJson(anomaly, line));
        FFirstAnomaly = false;
    } else if (FLineNumbers) {
        FReport.WriteLine(std::to_wstring(anomaly.Line) + L": " + std::wstring(line));
    } else {
        FReport.WriteLine(line);
    }
}

void TCliHost::TimeAccepted(TDateTime time, std::int64_t line) {
    if (FWatchers.Plot) FWatchers.Plot->AddTime(time);
    if (FWatchers.Notes) FWatchers.Notes->AddTime(time, line);
}

void TCliHost::TimeUnread(std::int64_t line, std::string_view timeField, std::string_view dateField) {
    if (FWatchers.Notes) FWatchers.Notes->AddUnreadTime(line, timeField, dateField);
}
