// What a check run tells as it goes: status texts, progress, report lines,
// anomalies, the times it reads, and the points where a window may handle
// its input. The window, the command-line checker, the notes on time faults
// and the tests each listen to what they need.
#pragma once

#include <cstdint>
#include <string_view>

#include "dates/DateTime.h"
#include "engine/Anomaly.h"

// How far the check pass has got, at one of its progress points.
struct TProgress {
    std::int64_t LineIndex = 0;  // 0-based index of the line just read
    // The window's count: each line's bytes plus 2, as if every line ended
    // in CR LF; for a compressed log, the compressed bytes inflated so far.
    std::int64_t ByteCount = 0;
    // Bytes of the log file read so far (compressed bytes for a compressed log).
    std::int64_t BytesRead = 0;
    std::int64_t LogBytes = 0;  // the file's size at the open; 0 when unknown
};

class ICheckEvents {
public:
    virtual ~ICheckEvents() = default;
    // The status text: " Reading...", "Aborted by user.", "Completed." and
    // the span. Progress points come as numbers, not as text.
    virtual void StatusChanged(std::wstring_view text) { static_cast<void>(text); }
    // After each RMC sentence the pre-scan accepts: how many it has accepted
    // so far, up to kPrescanLimit; the check pass begins after the pre-scan.
    virtual void PrescanAccepted(std::int32_t count) { static_cast<void>(count); }
    // Every 10000 lines of the check pass, right before the yield point.
    virtual void ProgressMade(const TProgress& progress) { static_cast<void>(progress); }
    // A line of the report without its line end; empty for an empty line.
    virtual void ReportLine(std::wstring_view line) { static_cast<void>(line); }
    // An anomaly and its line of the report.
    virtual void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) {
        static_cast<void>(anomaly);
        ReportLine(line);
    }
    // Every RMC time the check pass accepts, after its checks, with the
    // sentence's 1-based line in the log.
    virtual void TimeAccepted(TDateTime time, std::int64_t line) {
        static_cast<void>(time);
        static_cast<void>(line);
    }
    // An RMC sentence of the check pass with a good checksum and status "A"
    // that is skipped because its date and time cannot be read (a second 60,
    // four fraction digits): its line and its time and date fields as written.
    virtual void TimeUnread(std::int64_t line, std::string_view timeField, std::string_view dateField) {
        static_cast<void>(line);
        static_cast<void>(timeField);
        static_cast<void>(dateField);
    }
    // Once before the open and after each progress point: a window handles
    // its pending input here. True when an abort was asked for.
    virtual bool YieldPoint() { return false; }
};

// Hands every event to each of two listeners in turn; YieldPoint asks both (the
// second even when the first asks for an abort).
class TEventPair final : public ICheckEvents {
public:
    TEventPair(ICheckEvents& first, ICheckEvents& second) : FFirst(first), FSecond(second) {}

    void StatusChanged(std::wstring_view text) override {
        FFirst.StatusChanged(text);
        FSecond.StatusChanged(text);
    }
    void PrescanAccepted(std::int32_t count) override {
        FFirst.PrescanAccepted(count);
        FSecond.PrescanAccepted(count);
    }
    void ProgressMade(const TProgress& progress) override {
        FFirst.ProgressMade(progress);
        FSecond.ProgressMade(progress);
    }
    void ReportLine(std::wstring_view line) override {
        FFirst.ReportLine(line);
        FSecond.ReportLine(line);
    }
    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) override {
        FFirst.AnomalyFound(anomaly, line);
        FSecond.AnomalyFound(anomaly, line);
    }
    void TimeAccepted(TDateTime time, std::int64_t line) override {
        FFirst.TimeAccepted(time, line);
        FSecond.TimeAccepted(time, line);
    }
    void TimeUnread(std::int64_t line, std::string_view timeField, std::string_view dateField) override {
        FFirst.TimeUnread(line, timeField, dateField);
        FSecond.TimeUnread(line, timeField, dateField);
    }
    bool YieldPoint() override {
        const bool first = FFirst.YieldPoint();
        return FSecond.YieldPoint() || first;
    }

private:
    ICheckEvents& FFirst;
    ICheckEvents& FSecond;
};
