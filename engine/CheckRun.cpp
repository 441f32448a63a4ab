#include "engine/CheckRun.h"

#include <cmath>
#include <exception>
#include <optional>
#include <string>

#include "dates/DateTime.h"
#include "dates/FormatFixed.h"
#include "engine/RmcDecode.h"
#include "engine/SentenceFields.h"
#include "engine/UserError.h"

namespace {

constexpr std::wstring_view kReading = L" Reading...";
constexpr std::wstring_view kAborted = L"Aborted by user.";
constexpr std::wstring_view kCantOpen = L"Can't open : ";
// The progress share counts every line as if it ended in CR LF, whatever the
// log really has, so it only comes near 100 %.
constexpr std::int64_t kAssumedLineEndBytes = 2;

#ifdef _WIN32
constexpr std::wstring_view kPathDelimiters = L"\\:";
#else
constexpr std::wstring_view kPathDelimiters = L"/";
#endif

// Marks the state busy for the length of one run.
class TRunActiveGuard {
public:
    explicit TRunActiveGuard(ScanState& state) : FState(state) { FState.RunActive = true; }
    ~TRunActiveGuard() { FState.RunActive = false; }
    TRunActiveGuard(const TRunActiveGuard&) = delete;
    TRunActiveGuard& operator=(const TRunActiveGuard&) = delete;

private:
    ScanState& FState;
};

// Position of "$" + letter in the line; npos when absent. Sentences start
// with it, so a plain loop finds it at once.
std::size_t FindMarker(std::string_view line, char letter) {
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        if (line[i] == '$' && line[i + 1] == letter) return i;
    return std::string_view::npos;
}

void CloseQuietly(TLogReader& reader) {
    try {
        reader.CloseLog();
    } catch (const std::exception&) {
        // The failure that ended the run is the one to report.
    }
}

TRunResult CannotOpen(ICheckHost& host, std::wstring_view logName, MessagePlace place) {
    TRunResult result{RunEnd::CannotOpen, std::wstring(kCantOpen) + std::wstring(logName)};
    host.OpenFailed(result.Message, place);
    return result;
}

// A yield point: the host handles its input and may ask for an abort.
bool AbortAsked(ICheckHost& host, ScanState& state) {
    if (host.YieldPoint()) state.AbortRequested = true;
    return state.AbortRequested;
}

// Steps up to the open, taking the log's name. Empty when the log is open and
// the run goes on; otherwise how the run ended.
std::optional<TRunResult> OpenForRun(ICheckHost& host, ScanState& state, TLogReader& reader, std::wstring& logName) {
    bool opened = false;
    try {
        logName = host.LogName();
        host.StatusChanged(kReading);
        const bool aborted = AbortAsked(host, state);
        opened = reader.OpenLog(logName);
        if (opened && !aborted) return std::nullopt;
        if (opened) CloseQuietly(reader);
        if (!aborted) return CannotOpen(host, logName, MessagePlace::OverMainWindow);
        host.StatusChanged(kAborted);
        return TRunResult{RunEnd::Aborted, {}};
    } catch (const std::exception&) {
        if (opened) CloseQuietly(reader);
        return CannotOpen(host, logName, MessagePlace::Default);
    }
}

// The pre-scan's findings that the check pass reads are GloMode and
// TenthCounter, and each is set at most once: GloMode only ever becomes true
// (HandleAnnouncement), and TenthCounter is set from -1 at the first change
// of second and never again in this pass (InterpolatedTenth). Once both are
// set, the lines still to come cannot change them, nor add a report line (the
// announcement reports only when GloMode was false), so stopping here gives
// the check pass exactly what the full pre-scan would.
bool PrescanSettled(const ScanState& state) { return state.GloMode && state.TenthCounter >= 0; }

void Prescan(ScanState& state, TLogReader& reader, const CheckContext& context, PrescanEnd end) {
    state.SentenceCount = 0;
    while (!reader.AtEnd() && state.SentenceCount < kPrescanLimit) {
        const auto sentence = CandidateSentence(reader.ReadLogLine(), true);
        if (sentence.empty()) continue;
        const std::int32_t before = state.SentenceCount;
        ProcessSentence(sentence, ScanPass::Prescan, state, context);
        if (state.SentenceCount != before) context.Events.PrescanAccepted(state.SentenceCount);
        if (end == PrescanEnd::Settled && PrescanSettled(state)) return;
    }
}

void ApplyOptions(const TCheckOptions& options, ScanState& state) {
    state.FlucTime = options.FlucTime;
    state.AlarmSameTime = options.AlarmSameTime;
    state.AlarmStepChange = options.AlarmStepChange;
    state.AlarmMovedBack = options.AlarmMovedBack;
    state.TimeDecimals = options.TimeDecimals;
    state.IntervalFormat = IntervalFormatFor(options.TimeDecimals);
}

void ResetHistory(ScanState& state) {
    state.PrevTime = state.PrevTime2 = state.PrevTime3 = state.FirstTime = 0.0;
    state.StepCount = state.BackCount = state.SameCount = 0;
    state.LineNumber = 0;
    state.PrevLat = state.PrevLon = kNoPreviousPosition;
    state.PrevSpeed = kNoPreviousSpeed;
}

// False when the user aborted.
bool CheckPass(ICheckHost& host, ScanState& state, TLogReader& reader, const CheckContext& context) {
    std::int64_t lineIndex = 0;
    std::int64_t byteCount = 0;
    while (!reader.AtEnd()) {
        const std::string_view line = reader.ReadLogLine();
        state.LineNumber = lineIndex + 1;
        byteCount += static_cast<std::int64_t>(line.size()) + kAssumedLineEndBytes;
        const auto sentence = CandidateSentence(line, false);
        if (!sentence.empty()) ProcessSentence(sentence, ScanPass::Check, state, context);
        if (lineIndex % kProgressEvery == 0) {
            // A compressed log counts its compressed bytes, so the share still ends near 100 %.
            const std::int64_t counted = reader.CompressedBytesRead().value_or(byteCount);
            host.ProgressMade({lineIndex, counted, reader.FileBytesRead(), reader.FileBytes()});
            if (AbortAsked(host, state)) {
                host.ReportLine(L"");
                host.ReportLine(kAborted);
                return false;
            }
        }
        ++lineIndex;
    }
    return true;
}

std::wstring SummaryText(const ScanState& state) {
    std::wstring summary;
    if (state.SameCount > 0) summary = L"UTC same= " + std::to_wstring(state.SameCount);
    if (state.StepCount > 0) summary += L"     Step changed= " + std::to_wstring(state.StepCount);
    if (state.BackCount > 0) summary += L"     UTC moved back= " + std::to_wstring(state.BackCount);
    if (summary.empty()) summary = L"no error.";
    return std::wstring(TrimText(summary));
}

std::wstring SpanText(const ScanState& state, const DateConventions& conventions) {
    const std::wstring stamp = conventions.DisplayDateFormat + L" hh:mm:ss";
    const double span = state.CurTime - state.FirstTime;
    std::wstring days;
    if (span >= 1.0 && span < 1e15) days = std::to_wstring(static_cast<std::int64_t>(span)) + L" ";
    return L"Completed.    " + FormatTimeDecimals(state.FirstTime, stamp, state.TimeDecimals) + L" to " +
           FormatTimeDecimals(state.CurTime, stamp, state.TimeDecimals) + L"(UTC)  " + days +
           FormatTimeDecimals(span, L"hh:mm:ss", state.TimeDecimals);
}

void Summarize(ICheckHost& host, const ScanState& state, const DateConventions& conventions) {
    host.ReportLine(L"");
    host.ReportLine(SummaryText(state));
    host.StatusChanged(L"Completed.");
    if (state.FirstTime != 0.0) host.StatusChanged(SpanText(state, conventions));
}

}  // namespace

std::string_view CandidateInLine(std::string_view line, bool takeProprietary) {
    line = TrimBytes(line);
    auto pos = FindMarker(line, 'G');
    if (pos == std::string_view::npos && takeProprietary) pos = FindMarker(line, 'P');
    return pos == std::string_view::npos ? std::string_view() : line.substr(pos);
}

std::wstring ProgressStatusText(std::wstring_view logName, const TProgress& progress) {
    const auto cut = logName.find_last_of(kPathDelimiters);
    const std::wstring_view name = cut == std::wstring_view::npos ? logName : logName.substr(cut + 1);
    // An empty log has been read whole by its first progress point.
    const double share = progress.LogBytes > 0
                             ? static_cast<double>(progress.ByteCount) / static_cast<double>(progress.LogBytes) * 100.0
                             : 100.0;
    return std::wstring(name) + L": Line " + std::to_wstring(progress.LineIndex) + L" (" +
           FormatFixed(L"%3.1f", share) + L"%)";
}

TRunResult RunCheck(ICheckHost& host, ScanState& state, TLogReader& reader, const DateConventions& conventions,
                    int currentYear, PrescanEnd prescanEnd) {
    if (state.RunActive) return {RunEnd::Ignored, {}};
    TRunActiveGuard active(state);
    state.AbortRequested = false;
    state.GloMode = false;
    state.PrevTimeText.clear();
    state.TenthCounter = -1;

    host.StatusChanged(L"");
    std::wstring logName;
    if (auto ended = OpenForRun(host, state, reader, logName)) return *ended;

    const CheckContext context{conventions, host, currentYear};
    RunEnd end = RunEnd::Completed;
    try {
        Prescan(state, reader, context, prescanEnd);
        reader.RewindLog();
        state.SentenceCount = 0;
        state.PrevTimeText.clear();
        ApplyOptions(host.TakeOptions(), state);
        ResetHistory(state);
        if (CheckPass(host, state, reader, context)) Summarize(host, state, conventions);
        else end = RunEnd::Aborted;
        reader.CloseLog();
    } catch (const TUserError& e) {
        CloseQuietly(reader);
        return {RunEnd::ReadError, e.Text};
    } catch (...) {
        CloseQuietly(reader);
        throw;
    }
    return {end, {}};
}
