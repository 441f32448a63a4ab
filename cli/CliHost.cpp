#include "cli/CliHost.h"

#include <utility>

#include "cli/IntervalPlot.h"
#include "cli/JsonReport.h"
#include "cli/Progress.h"
#include "cli/TimeNotes.h"

TCliHost::TCliHost(const CliOptions& options, std::wstring logName, ScanState& state,
                   ILineOutput& report, const std::atomic<bool>& stop, TRunWatchers watchers)
    : FLogName(std::move(logName)),
      FTolerance(options.Tolerance),
      FDecimals(options.Decimals),
      FSameTime(options.SameTime),
      FStepChange(options.StepChange),
      FMovedBack(options.MovedBack),
      FJson(options.Json),
      FLineNumbers(options.LineNumbers),
      FState(state),
      FReport(report),
      FStop(stop),
      FWatchers(watchers) {}

std::wstring TCliHost::EditText(EditBox which) const {
    switch (which) {
        case EditBox::Filename: return FLogName;
        case EditBox::FlucTime: return FTolerance;
        case EditBox::Tdecimal: return FDecimals;
    }
    return {};
}

void TCliHost::SetEditText(EditBox which, std::wstring_view text) {
    switch (which) {
        case EditBox::Filename: FLogName = text; break;
        case EditBox::FlucTime: FTolerance = text; break;
        case EditBox::Tdecimal: FDecimals = text; break;
    }
}

bool TCliHost::IsChecked(AlarmBox which) const {
    switch (which) {
        case AlarmBox::SameTime: return FSameTime;
        case AlarmBox::StepChange: return FStepChange;
        case AlarmBox::MovedBack: return FMovedBack;
    }
    return false;
}

// Like a click on the window's box: the run's flag follows at once.
void TCliHost::SetChecked(AlarmBox which, bool checked) {
    switch (which) {
        case AlarmBox::SameTime: FSameTime = FState.AlarmSameTime = checked; break;
        case AlarmBox::StepChange: FStepChange = FState.AlarmStepChange = checked; break;
        case AlarmBox::MovedBack: FMovedBack = FState.AlarmMovedBack = checked; break;
    }
}

void TCliHost::SetStatus(std::wstring_view text) { FStatus = text; }

// The JSON document has fields for what the other report lines say.
void TCliHost::AppendReport(std::wstring_view line) {
    if (!FJson) FReport.WriteLine(line);
}

void TCliHost::AppendAnomaly(const TAnomaly& anomaly, std::wstring_view line) {
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

void TCliHost::NoteTime(TDateTime time) {
    if (FWatchers.Plot) FWatchers.Plot->AddTime(time);
    if (FWatchers.Notes) FWatchers.Notes->AddTime(time, FState.LineNumber);
}

void TCliHost::NoteUnreadTime(std::int64_t line, std::string_view timeField, std::string_view dateField) {
    if (FWatchers.Notes) FWatchers.Notes->AddUnreadTime(line, timeField, dateField);
}

// Called at the open and at every progress point of the check pass, which
// alone counts lines.
void TCliHost::ProcessMessages() {
    if (FStop.load()) FState.AbortRequested = true;
    if (FWatchers.Progress != nullptr && FState.LineNumber > 0)
        ShowProgress({FLogName, FState.LineNumber, FWatchers.Progress->BytesRead(), FWatchers.Progress->KnownSize()});
}
