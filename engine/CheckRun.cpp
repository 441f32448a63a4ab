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
// A tolerance that is not a positive number becomes half a second, in the
// box and in the run.
constexpr std::wstring_view kDefaultToleranceText = L"0.5";
constexpr double kDefaultToleranceSeconds = 0.5;
// The report's time stamps have at most milliseconds.
constexpr std::int32_t kMaxTimeDecimals = 3;
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

class TWaitCursorGuard {
public:
    explicit TWaitCursorGuard(ICheckHost& host) : FHost(host) { FHost.SetWaitCursor(true); }
    ~TWaitCursorGuard() { FHost.SetWaitCursor(false); }
    TWaitCursorGuard(const TWaitCursorGuard&) = delete;
    TWaitCursorGuard& operator=(const TWaitCursorGuard&) = delete;

private:
    ICheckHost& FHost;
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
    host.ShowMessage(result.Message, place);
    return result;
}

// Steps up to the open, taking the log's name. Empty when the log is open and
// the run goes on; otherwise how the run ended.
std::optional<TRunResult> OpenForRun(ICheckHost& host, ScanState& state, TLogReader& reader,
                                     std::wstring& logName) {
    bool opened = false;
    try {
        logName = host.EditText(EditBox::Filename);
        host.SetStatus(kReading);
        host.ProcessMessages();
        opened = reader.OpenLog(logName);
        if (opened && !state.AbortRequested) return std::nullopt;
        if (opened) CloseQuietly(reader);
        if (!state.AbortRequested) return CannotOpen(host, logName, MessagePlace::OverMainWindow);
        host.SetStatus(kAborted);
        return TRunResult{RunEnd::Aborted, {}};
    } catch (const std::exception&) {
        if (opened) CloseQuietly(reader);
        return CannotOpen(host, logName, MessagePlace::Default);
    }
}

void Prescan(ScanState& state, TLogReader& reader, const CheckContext& context) {
    state.SentenceCount = 0;
    while (!reader.AtEnd() && state.SentenceCount < kPrescanLimit) {
        const auto sentence = CandidateSentence(reader.ReadLogLine(), true);
        if (!sentence.empty()) ProcessSentence(sentence, ScanPass::Prescan, state, context);
    }
}

void TakeOptions(ICheckHost& host, ScanState& state) {
    state.FlucTime = std::fabs(FloatOrZero(TrimText(host.EditText(EditBox::FlucTime))));
    if (!(state.FlucTime > 0.0)) {
        host.SetEditText(EditBox::FlucTime, kDefaultToleranceText);
        state.FlucTime = kDefaultToleranceSeconds;
    }

    state.AlarmSameTime = host.IsChecked(AlarmBox::SameTime);
    state.AlarmStepChange = host.IsChecked(AlarmBox::StepChange);
    state.AlarmMovedBack = host.IsChecked(AlarmBox::MovedBack);
    if (!state.AlarmSameTime && !state.AlarmStepChange && !state.AlarmMovedBack) {
        host.SetChecked(AlarmBox::StepChange, true);
        state.AlarmStepChange = true;
    }

    // Outside 0 to 3 the count is corrected on screen too: a negative count
    // would leave the interval lines without their numbers.
    state.TimeDecimals = IntOrZero(host.EditText(EditBox::Tdecimal));
    if (state.TimeDecimals > kMaxTimeDecimals) {
        host.SetEditText(EditBox::Tdecimal, std::to_wstring(kMaxTimeDecimals));
        state.TimeDecimals = kMaxTimeDecimals;
    } else if (state.TimeDecimals < 0) {
        host.SetEditText(EditBox::Tdecimal, L"0");
        state.TimeDecimals = 0;
    }
    state.IntervalFormat = L"%" + std::to_wstring(state.TimeDecimals + 5) + L"." +
                           std::to_wstring(state.TimeDecimals) + L"f";
}

void ResetHistory(ScanState& state) {
    state.PrevTime = state.PrevTime2 = state.PrevTime3 = state.FirstTime = 0.0;
    state.StepCount = state.BackCount = state.SameCount = 0;
    state.LineNumber = 0;
    state.PrevLat = state.PrevLon = kNoPreviousPosition;
    state.PrevSpeed = kNoPreviousSpeed;
}

std::wstring ProgressText(std::wstring_view logName, std::int64_t lineIndex,
                          std::int64_t byteCount, std::int64_t fileBytes) {
    const auto cut = logName.find_last_of(kPathDelimiters);
    const std::wstring_view name = cut == std::wstring_view::npos ? logName : logName.substr(cut + 1);
    // An empty log has been read whole by its first progress point.
    const double share = fileBytes > 0 ? static_cast<double>(byteCount) / static_cast<double>(fileBytes) * 100.0
                                       : 100.0;
    return std::wstring(name) + L": Line " + std::to_wstring(lineIndex) + L" (" +
           FormatFixed(L"%3.1f", share) + L"%)";
}

// False when the user aborted.
bool CheckPass(ICheckHost& host, ScanState& state, TLogReader& reader,
               const CheckContext& context, std::wstring_view logName) {
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
            const std::int64_t taken = reader.CompressedBytesRead().value_or(byteCount);
            host.SetStatus(ProgressText(logName, lineIndex, taken, reader.FileBytes()));
            host.ProcessMessages();
            if (state.AbortRequested) {
                host.AppendReport(L"");
                host.AppendReport(kAborted);
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
    host.AppendReport(L"");
    host.AppendReport(SummaryText(state));
    host.SetStatus(L"Completed.");
    if (state.FirstTime != 0.0) host.SetStatus(SpanText(state, conventions));
}

}  // namespace

std::string_view CandidateInLine(std::string_view line, bool takeProprietary) {
    line = TrimBytes(line);
    auto pos = FindMarker(line, 'G');
    if (pos == std::string_view::npos && takeProprietary) pos = FindMarker(line, 'P');
    return pos == std::string_view::npos ? std::string_view() : line.substr(pos);
}

TRunResult RunCheck(ICheckHost& host, ScanState& state, TLogReader& reader,
                    const DateConventions& conventions, int currentYear) {
    if (state.RunActive) return {RunEnd::Ignored, {}};
    TRunActiveGuard active(state);
    state.AbortRequested = false;
    state.GloMode = false;
    state.PrevTimeText.clear();
    state.TenthCounter = -1;

    TWaitCursorGuard cursor(host);
    host.SetStatus(L"");
    host.ClearReport();
    std::wstring logName;
    if (auto ended = OpenForRun(host, state, reader, logName)) return *ended;

    const CheckContext context{conventions, host, currentYear};
    RunEnd end = RunEnd::Completed;
    try {
        Prescan(state, reader, context);
        reader.RewindLog();
        state.SentenceCount = 0;
        state.PrevTimeText.clear();
        TakeOptions(host, state);
        ResetHistory(state);
        if (CheckPass(host, state, reader, context, logName)) Summarize(host, state, conventions);
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
