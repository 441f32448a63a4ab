#include "cli/TextWriter.h"

void TTextWriter::AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) {
    if (!FLineNumbers) {
        FOut.WriteLine(line);
        return;
    }
    FOut.WriteLine(std::to_wstring(anomaly.Line) + L": " + std::wstring(line));
}

void TTextWriter::Finish(const TCheckResults& results) {
    if (results.Message.empty()) FOut.WriteLine(results.Status);
}

std::vector<std::wstring> ErrorLinesOf(const std::wstring& log, const TCheckResults& results, bool json) {
    std::vector<std::wstring> lines;
    if (!results.Message.empty()) lines.push_back(results.Message);
    if (results.Outcome == CheckOutcome::NoRmcAccepted)
        lines.push_back(
            L"fixtally-check: " + log +
            L": no RMC sentence was accepted (status A, valid checksum, date and time); nothing was checked");
    if (json) return lines;
    for (const TTimeNote& note : results.Notes) lines.push_back(L"fixtally-check: " + log + L": note: " + note.Text);
    return lines;
}

std::wstring TotalLine(const TBatchTotal& t) {
    return L"Total: " + std::to_wstring(t.Logs) + L" logs, " + std::to_wstring(t.WithAnomalies) + L" with anomalies, " +
           std::to_wstring(t.Clean) + L" clean, " + std::to_wstring(t.NoRmcAccepted) + L" with no RMC accepted, " +
           std::to_wstring(t.NotChecked) + L" not checked.  UTC same= " + std::to_wstring(t.SameTime) +
           L"     Step changed= " + std::to_wstring(t.StepChanged) + L"     UTC moved back= " +
           std::to_wstring(t.MovedBack);
}
