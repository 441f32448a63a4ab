// The text report of fixtally-check: the window's report lines, then its
// final status line; lines for standard error; the total line of a batch.
#pragma once

#include <string>
#include <vector>

#include "cli/BatchTotal.h"
#include "cli/ReportWriter.h"

class TTextWriter final : public IReportWriter {
public:
    // lineNumbers: each anomaly line starts with its line in the log and ": ".
    TTextWriter(ILineOutput& out, bool lineNumbers) : FOut(out), FLineNumbers(lineNumbers) {}

    void ReportLine(std::wstring_view line) override { FOut.WriteLine(line); }
    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) override;
    // The status as the window shows it at the end, unless the log could not
    // be opened or read: its message goes to standard error instead.
    void Finish(const TCheckResults& results) override;

private:
    ILineOutput& FOut;
    bool FLineNumbers;
};

// Standard error's lines on a log, after its report: why it failed, that
// nothing was checked, and (without JSON, which holds them) its notes.
std::vector<std::wstring> ErrorLinesOf(const std::wstring& log, const TCheckResults& results, bool json);

// "Total: 4 logs, 1 with anomalies, 1 clean, 1 with no RMC accepted,
// 1 not checked.  UTC same= 2     Step changed= 6     UTC moved back= 1"
std::wstring TotalLine(const TBatchTotal& total);
