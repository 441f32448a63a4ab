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

class TIntervalPlot;
class TTimeNotes;

// What else watches a run besides the report, each optional: progress on
// standard error, the picture, the time notes.
struct TRunWatchers {
    bool Progress = false;
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

    std::wstring LogName() override { return FLogName; }
    TCheckOptions TakeOptions() override;
    // The run's result carries the text; the caller writes it to stderr.
    void OpenFailed(std::wstring_view, MessagePlace) override {}
    void StatusChanged(std::wstring_view text) override { FStatus = text; }
    void ProgressMade(const TProgress& progress) override;
    void ReportLine(std::wstring_view text) override;
    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) override;
    void TimeAccepted(TDateTime time, std::int64_t line) override;
    void TimeUnread(std::int64_t line, std::string_view timeField, std::string_view dateField) override;
    bool YieldPoint() override { return FStop.load(); }

    const std::wstring& Status() const { return FStatus; }

private:
    std::wstring FLogName;
    TOptionRow FRow;
    bool FJson, FLineNumbers;
    bool FFirstAnomaly = true;
    ScanState& FState;
    ILineOutput& FReport;
    const std::atomic<bool>& FStop;
    TRunWatchers FWatchers;
    std::wstring FStatus;
};
