// Machine-readable results: one JSON document per log on one line, written
// as the check goes (the head, each anomaly as it is found, then the rest),
// so that a log with millions of anomalies never waits in memory; a total
// document after several logs. Bytes of names that are not UTF-8 become
// U+FFFD, so every line is JSON.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "cli/BatchTotal.h"
#include "cli/KeptBytes.h"
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

// A followed log's JSON: each anomaly at once as a line of its own,
// {"log":…,"anomaly":{…}}, and at the end the log's whole document, the same
// as without following, which is kept meanwhile (in memory, beyond a few
// megabytes in a spool file).
class TJsonFollowWriter final : public IReportWriter {
public:
    TJsonFollowWriter(ILineOutput& out, std::wstring_view log);

    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) override;
    // Writes the document, unless it could not be kept whole.
    void Finish(const TCheckResults& results) override;
    // Why the document could not be kept; empty when it could.
    std::wstring Failure() const override { return FFailure; }

private:
    // The document's lines into FKept.
    class TKeptOutput final : public ILineOutput {
    public:
        explicit TKeptOutput(TKeptBytes& kept) : FKept(kept) {}
        void WriteLine(std::wstring_view text) override;
        void WriteRaw(std::string_view bytes) override { FKept.Append(bytes); }

    private:
        TKeptBytes& FKept;
    };

    ILineOutput& FOut;
    TJson FLog;
    TKeptBytes FKept;
    TKeptOutput FKeptOutput{FKept};
    TJsonWriter FDocument;
    std::wstring FFailure;
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
