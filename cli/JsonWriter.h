// Machine-readable results: one JSON document per log on one line, written
// as the check goes (the head, each anomaly as it is found, then the rest),
// so that a log with millions of anomalies never waits in memory; a total
// document after several logs. Bytes of names that are not UTF-8 become
// U+FFFD, so every line is JSON.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "cli/BatchTotal.h"
#include "cli/ReportWriter.h"

// Objects keep their members in the order they were put in.
using TJson = nlohmann::ordered_json;

class TJsonWriter final : public IReportWriter {
public:
    // Writes the document's head.
    TJsonWriter(ILineOutput& out, std::wstring_view log);

    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) override;
    void Finish(const TCheckResults& results) override;

private:
    ILineOutput& FOut;
    bool FFirstAnomaly = true;
};

// The pieces, for tests and the total line.
TJson AnomalyJson(const TAnomaly& anomaly, std::wstring_view line);
// "2019-05-01T12:00:04.500Z", null for a value that is no time of the years 1 to 9999.
TJson JsonTime(TDateTime time);
// Seconds rounded to the millisecond, as exact as their text: 0.1, -3; null
// when not finite.
TJson JsonSeconds(double seconds);
// One line, without its line end.
std::string JsonLine(const TJson& json);
std::string JsonTotal(const TBatchTotal& total);
