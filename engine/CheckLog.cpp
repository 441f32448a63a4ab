#include "engine/CheckLog.h"

#include "engine/ICheckHost.h"

namespace {

// The run's host for a request: its inputs from the request, its events on
// to the listener, and the status as the window would show it.
class TRequestHost final : public ICheckHost {
public:
    TRequestHost(const TCheckRequest& request, ICheckEvents& events) : FRequest(request), FEvents(events) {}

    std::wstring LogName() override { return FRequest.LogName; }
    TCheckOptions TakeOptions() override { return FRequest.Options; }
    void OpenFailed(std::wstring_view, MessagePlace) override {}

    void StatusChanged(std::wstring_view text) override {
        FStatus = text;
        FEvents.StatusChanged(text);
    }
    void PrescanAccepted(std::int32_t count) override { FEvents.PrescanAccepted(count); }
    void ProgressMade(const TProgress& progress) override {
        FStatus = ProgressStatusText(FRequest.LogName, progress);
        FEvents.ProgressMade(progress);
    }
    void ReportLine(std::wstring_view line) override { FEvents.ReportLine(line); }
    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) override { FEvents.AnomalyFound(anomaly, line); }
    void TimeAccepted(TDateTime time, std::int64_t line) override { FEvents.TimeAccepted(time, line); }
    void TimeUnread(std::int64_t line, std::string_view timeField, std::string_view dateField) override {
        FEvents.TimeUnread(line, timeField, dateField);
    }
    bool YieldPoint() override { return FEvents.YieldPoint(); }

    const std::wstring& Status() const { return FStatus; }

private:
    const TCheckRequest& FRequest;
    ICheckEvents& FEvents;
    std::wstring FStatus;
};

TCheckResults Run(const TCheckRequest& request, TLogReader& reader, ICheckEvents& events) {
    ScanState state;
    TRequestHost host(request, events);
    const TRunResult run = RunCheck(host, state, reader, request.Conventions, request.CurrentYear, request.Prescan);
    TCheckResults results = ResultsOf(run, state);
    results.Status = host.Status();
    return results;
}

}  // namespace

TCheckResults CheckLog(const TCheckRequest& request, TLogReader& reader, ICheckEvents& events) {
    if (!request.NotesReference) return Run(request, reader, events);
    TTimeNotes notes(*request.NotesReference, request.CurrentYear);
    TEventPair both(events, notes);
    TCheckResults results = Run(request, reader, both);
    results.Notes = notes.Notes();
    if (const std::int64_t trailing = reader.TrailingBytes(); trailing > 0)
        results.Notes.push_back(TrailingBytesNote(trailing, results.Lines));
    return results;
}
