#include "cli/CliHost.h"

#include <utility>

#include "cli/IntervalPlot.h"
#include "cli/JsonReport.h"

TCliHost::TCliHost(const CliOptions& options, std::wstring logName, ScanState& state,
                   ILineOutput& report, const std::atomic<bool>& interrupted, StatusEcho echo,
                   TIntervalPlot* plot)
    : FLogName(std::move(logName)),
      FTolerance(options.Tolerance),
      FDecimals(options.Decimals),
      FSameTime(options.SameTime),
      FStepChange(options.StepChange),
      FMovedBack(options.MovedBack),
      FJson(options.Json),
      FLineNumbers(options.LineNumbers),
      FPlot(plot),
      FState(state),
      FReport(report),
      FInterrupted(interrupted),
      FEcho(std::move(echo)) {}

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

void TCliHost::SetStatus(std::wstring_view text) {
    FStatus = text;
    if (FEcho && !text.empty()) FEcho(text);
}

// The JSON document has fields for what the other report lines say.
void TCliHost::AppendReport(std::wstring_view line) {
    if (!FJson) FReport.WriteLine(line);
}

void TCliHost::AppendAnomaly(const TAnomaly& anomaly, std::wstring_view line) {
    if (FPlot) FPlot->AddAnomaly(anomaly);
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
    if (FPlot) FPlot->AddTime(time);
}

void TCliHost::ProcessMessages() {
    if (FInterrupted.load()) FState.AbortRequested = true;
}
