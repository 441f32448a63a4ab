// The check run's host without a window: option texts from the command line,
// report lines written out as UTF-8 lines, the status kept for the end.
#pragma once

#include <atomic>
#include <string>

#include "cli/CliOptions.h"
#include "engine/ICheckHost.h"
#include "engine/ScanState.h"

// Where a log's output goes: standard output or a buffer.
class ILineOutput {
public:
    virtual ~ILineOutput() = default;
    // The text as UTF-8, then a line end.
    virtual void WriteLine(std::wstring_view text) = 0;
    // UTF-8 bytes as they stand.
    virtual void WriteRaw(std::string_view bytes) = 0;
};

class TCountingSource;
class TIntervalPlot;
class TTimeNotes;

// What else watches a run besides the report, each optional: the reader's
// source for progress, the picture, the time notes.
struct TRunWatchers {
    const TCountingSource* Progress = nullptr;
    TIntervalPlot* Plot = nullptr;
    TTimeNotes* Notes = nullptr;
};

class TCliHost final : public ICheckHost {
public:
    // With --json the report goes out as anomalies in JSON (the caller
    // writes the document's head and tail). The run aborts once stop is set.
    // Progress is shown at each progress point of the check pass.
    TCliHost(const CliOptions& options, std::wstring logName, ScanState& state,
             ILineOutput& report, const std::atomic<bool>& stop, TRunWatchers watchers = {});

    std::wstring EditText(EditBox which) const override;
    void SetEditText(EditBox which, std::wstring_view text) override;
    bool IsChecked(AlarmBox which) const override;
    void SetChecked(AlarmBox which, bool checked) override;
    void SetStatus(std::wstring_view text) override;
    void ClearReport() override {}
    void AppendReport(std::wstring_view text) override;
    void AppendAnomaly(const TAnomaly& anomaly, std::wstring_view line) override;
    void NoteTime(TDateTime time) override;
    void NoteUnreadTime(std::int64_t line, std::string_view timeField, std::string_view dateField) override;
    void SetWaitCursor(bool) override {}
    void ProcessMessages() override;
    // The run's result carries the text; the caller writes it to stderr.
    void ShowMessage(std::wstring_view, MessagePlace) override {}

    const std::wstring& Status() const { return FStatus; }

private:
    std::wstring FLogName, FTolerance, FDecimals;
    bool FSameTime, FStepChange, FMovedBack;
    bool FJson, FLineNumbers;
    bool FFirstAnomaly = true;
    ScanState& FState;
    ILineOutput& FReport;
    const std::atomic<bool>& FStop;
    TRunWatchers FWatchers;
    std::wstring FStatus;
};
