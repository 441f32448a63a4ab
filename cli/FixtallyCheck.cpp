// fixtally-check: the check run of the desktop program, on the command line.
// Several logs are checked in parallel; their reports come out in argument
// order, each after a "==> LOG <==" line (or as one JSON document each), and
// a total line ends the output.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FixtallyVersion.h"
#include "cli/BatchTotal.h"
#include "cli/CliOptions.h"
#include "cli/CliPlatform.h"
#include "cli/DateOptions.h"
#include "cli/FollowSource.h"
#include "cli/IntervalPlot.h"
#include "cli/JsonWriter.h"
#include "cli/LogList.h"
#include "cli/NativePath.h"
#include "cli/PrescanWait.h"
#include "cli/Progress.h"
#include "cli/ReportWriter.h"
#include "cli/StdinSource.h"
#include "cli/TextWriter.h"
#include "dates/DateTime.h"
#include "engine/CheckLog.h"
#include "engine/WideText.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// The reader's block: large enough that the system calls cost little, small
// enough to stay in the processor's cache between the copy and the scan.
constexpr std::size_t kCheckerBlockSize = 256 * 1024;

enum ExitStatus { kClean = 0, kAnomalies = 1, kTrouble = 2, kNothingChecked = 3, kInterrupted = 130 };

// Worst last: interrupted, trouble, anomalies, nothing checked, clean.
int Severity(int status) {
    switch (status) {
        case kNothingChecked: return 1;
        case kAnomalies: return 2;
        case kTrouble: return 3;
        case kInterrupted: return 4;
        default: return 0;
    }
}

int Worse(int a, int b) { return Severity(b) > Severity(a) ? b : a; }

// Ctrl-C, or standard output failed: every run aborts at its next progress point.
std::atomic<bool> StopRequested{false};
// The first failure to write standard output, kept for the end.
std::atomic<bool> OutputFailed{false};
std::atomic<int> OutputError{0};
std::atomic<bool> OutputReaderGone{false};

extern "C" void OnInterrupt(int) { StopRequested.store(true); }

// Standard output's reader went away while nothing was being written.
void NoteReaderGone() {
    if (!OutputFailed.exchange(true)) {
        OutputError.store(EPIPE);
        OutputReaderGone.store(true);
    }
    StopRequested.store(true);
}

void NoteOutputFailure() {
    const int code = errno;
    const bool readerGone = WriteHitClosedPipe(code);
    if (!OutputFailed.exchange(true)) {
        OutputError.store(code);
        OutputReaderGone.store(readerGone);
    }
    StopRequested.store(true);
}

// Bytes to standard output; after a failure (a reader that went away, a
// full disk) nothing more is tried.
void WriteOut(std::string_view bytes) {
    if (OutputFailed.load()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) NoteOutputFailure();
}

// flushEach: every line goes out at once, as a follow's lines must.
class TStdoutLines final : public ILineOutput {
public:
    explicit TStdoutLines(bool flushEach = false) : FFlushEach(flushEach) {}
    void WriteLine(std::wstring_view text) override { WriteRaw(WideToUtf8(text) + "\n"); }
    void WriteRaw(std::string_view bytes) override {
        WriteOut(bytes);
        if (FFlushEach && !OutputFailed.load() && std::fflush(stdout) != 0) NoteOutputFailure();
    }

private:
    bool FFlushEach;
};

class TBufferedLines final : public ILineOutput {
public:
    void WriteLine(std::wstring_view text) override {
        Bytes += WideToUtf8(text);
        Bytes += '\n';
    }
    void WriteRaw(std::string_view bytes) override { Bytes += bytes; }
    std::string Bytes;
};

// What the command line takes from one log's check: the report to its
// writer, progress to standard error, times and anomalies to the picture,
// the pre-scan's count to a follow's waiting line, and Ctrl-C (or a failed
// output) at each yield.
class TLogEvents final : public ICheckEvents {
public:
    TLogEvents(IReportWriter& writer, std::wstring_view log, bool progress, TIntervalPlot* plot, TPrescanWait* wait)
        : FWriter(writer), FLog(log), FProgress(progress), FPlot(plot), FWait(wait) {}

    void ReportLine(std::wstring_view line) override {
        if (FWait) FWait->BeforeReportLine();
        FWriter.ReportLine(line);
    }
    void PrescanAccepted(std::int32_t count) override {
        if (FWait) FWait->Counted(count);
    }
    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) override {
        if (FPlot) FPlot->AddAnomaly(anomaly);
        FWriter.AnomalyFound(anomaly, line);
    }
    void TimeAccepted(TDateTime time, std::int64_t) override {
        if (FPlot) FPlot->AddTime(time);
    }
    void ProgressMade(const TProgress& p) override {
        if (FWait) FWait->CheckStarted();  // the check pass's first point comes at its first line
        if (FProgress) ShowProgress({FLog, p.LineIndex + 1, p.BytesRead, p.LogBytes});
    }
    // The first Ctrl-C ends a follow as its log's end; the second aborts it.
    bool YieldPoint() override { return StopRequested.load() || FollowSignalsCaught() > 1; }

private:
    IReportWriter& FWriter;
    std::wstring_view FLog;
    bool FProgress;
    TIntervalPlot* FPlot;
    TPrescanWait* FWait;
};

struct TLogResult {
    int Status = kClean;
    TCheckResults Results;
    // For standard error once the log's report is out: why it failed, that
    // nothing was checked, its notes.
    std::vector<std::wstring> ErrorLines;
};

int StatusOf(const TCheckResults& results) {
    switch (results.Outcome) {
        case CheckOutcome::CannotOpen:
        case CheckOutcome::ReadError: return kTrouble;
        case CheckOutcome::Aborted: return kInterrupted;
        case CheckOutcome::NoRmcAccepted: return kNothingChecked;
        case CheckOutcome::Completed: break;
    }
    return AnomaliesFound(results) > 0 ? kAnomalies : kClean;
}

// The day a log is taken to be from: --reference-date, else the day its file
// was last written, today for standard input, for a followed log (written
// now; a device's time says nothing of its log) or when that is unknown.
TDateTime ReferenceDay(const std::wstring& log, const CliOptions& options) {
    constexpr double kDaysFrom1899To1970 = 25569.0;
    if (options.ReferenceDate) return *options.ReferenceDate;
    auto written = std::chrono::system_clock::now();
    if (log != L"-" && !options.Follow) {
        std::error_code error;
        const auto fileTime = std::filesystem::last_write_time(PathOf(log), error);
        if (!error) written = std::chrono::file_clock::to_sys(fileTime);
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(written.time_since_epoch()).count();
    return std::floor(kDaysFrom1899To1970 + static_cast<double>(seconds) / kSecondsPerDay);
}

// "Can't open : LOG" with the system's reason, when it still has one.
std::wstring WithReason(const std::wstring& message, const std::wstring& log) {
    const std::wstring reason = log == L"-" ? std::wstring() : OpenFailureReason(log);
    return reason.empty() ? message : message + L" (" + reason + L")";
}

// The log's standard error lines after all of its report that is written so far.
void WriteErrorLines(const TLogResult& result) {
    if (result.ErrorLines.empty()) return;
    if (std::fflush(stdout) != 0) NoteOutputFailure();
    for (const std::wstring& line : result.ErrorLines) ErrorLine(line);
}

std::unique_ptr<IReportWriter> WriterFor(const std::wstring& log, const CliOptions& options, ILineOutput& out) {
    if (options.Json && options.Follow) return std::make_unique<TJsonFollowWriter>(out, log);
    if (options.Json) return std::make_unique<TJsonWriter>(out, log);
    return std::make_unique<TTextWriter>(out, options.LineNumbers);
}

// The log's bytes; a follow's source is also kept in follow, for how it ended.
std::unique_ptr<IByteSource> SourceFor(const std::wstring& log, const CliOptions& options, TPrescanWait& wait,
                                       IFollowSource*& follow) {
    if (!options.Follow) return log == L"-" ? MakeStdinSource() : MakeFileSource();
    auto source = MakeFollowSource({options.IdleSeconds, [&wait] { wait.Waiting(); }});
    follow = source.get();
    return source;
}

// A follow that ended because its file was cut or replaced: the report is of
// what was read, but the log is no longer the one that was followed.
void AddFollowEnd(FollowEnd end, const std::wstring& log, TLogResult& result) {
    const std::wstring lead = L"fixtally-check: " + log + L": the follow ended because ";
    switch (end) {
        case FollowEnd::Truncated: result.ErrorLines.push_back(lead + L"the file was truncated"); break;
        case FollowEnd::Replaced:
            result.ErrorLines.push_back(lead + L"its name no longer leads to the file (renamed, removed or replaced)");
            break;
        case FollowEnd::OutputGone: NoteReaderGone(); return;
        default: return;
    }
    result.Status = Worse(result.Status, kTrouble);
}

TLogResult CheckOneLog(const std::wstring& log, const CliOptions& options, const DateConventions& conventions,
                       ILineOutput& out, TIntervalPlot* plot = nullptr) {
    TCheckRequest request{log, OptionsFromRow(options.Row).Options, conventions, CurrentLocalYear(), std::nullopt};
    if (options.Notes) request.NotesReference = ReferenceDay(log, options);
    if (options.Follow) request.Prescan = PrescanEnd::Settled;
    TPrescanWait wait({ShowStatus, EndProgress, StderrIsTerminal()});
    IFollowSource* follow = nullptr;
    TLogReader reader(MakeGzipAwareSource(SourceFor(log, options, wait, follow)), kCheckerBlockSize);
    const auto writer = WriterFor(log, options, out);
    TLogEvents events(*writer, log, options.Progress, plot, options.Follow ? &wait : nullptr);
    TLogResult result;
    TCheckResults& results = result.Results;
    results = CheckLog(request, reader, events);
    if (results.Outcome == CheckOutcome::CannotOpen) results.Message = WithReason(results.Message, log);
    if (options.Progress || options.Follow) EndProgress();
    writer->Finish(results);
    result.ErrorLines = ErrorLinesOf(log, results, options.Json);
    result.Status = StatusOf(results);
    // Time stamps a week rollover shifted, or from the future, are wrong.
    if (DatesWrong(results.Notes)) result.Status = Worse(result.Status, kAnomalies);
    if (const std::wstring failure = writer->Failure(); !failure.empty()) {
        result.ErrorLines.push_back(failure);
        result.Status = Worse(result.Status, kTrouble);
    }
    if (follow) AddFollowEnd(follow->End(), log, result);
    return result;
}

// The picture of a log that was read; false when it cannot be written.
bool WritePlot(const std::wstring& path, const TIntervalPlot& plot, const std::wstring& log) {
    std::ofstream file(PathOf(path), std::ios::binary | std::ios::trunc);
    const std::string svg = plot.Svg(log);
    file.write(svg.data(), static_cast<std::streamsize>(svg.size()));
    file.close();
    if (file) return true;
    ErrorLine(L"Can't write : " + path);
    return false;
}

int CheckWithPlot(const std::wstring& log, const CliOptions& options, const DateConventions& conventions) {
    TStdoutLines out(options.Follow);
    TIntervalPlot plot;
    const TLogResult result = CheckOneLog(log, options, conventions, out, &plot);
    WriteErrorLines(result);
    const CheckOutcome outcome = result.Results.Outcome;
    const bool read = outcome == CheckOutcome::Completed || outcome == CheckOutcome::Aborted;
    if (read && !WritePlot(*options.PlotPath, plot, log)) return Worse(result.Status, kTrouble);
    return result.Status;
}

int CheckLogsInParallel(const std::vector<std::wstring>& logs, const CliOptions& options,
                        const DateConventions& conventions) {
    const std::size_t count = logs.size();
    std::vector<TBufferedLines> outputs(count);
    std::vector<TLogResult> results(count);
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            results[i] = CheckOneLog(logs[i], options, conventions, outputs[i]);
    };
    const std::size_t threads = std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (auto& thread : pool) thread.join();

    TStdoutLines stdoutLines;
    TBatchTotal total;
    int status = kClean;
    for (std::size_t i = 0; i < count; ++i) {
        if (!options.Json) {
            if (i > 0) stdoutLines.WriteLine(L"");
            stdoutLines.WriteLine(L"==> " + logs[i] + L" <==");
        }
        WriteOut(outputs[i].Bytes);
        WriteErrorLines(results[i]);
        total.Add(results[i].Results);
        status = Worse(status, results[i].Status);
    }
    if (options.Json) {
        stdoutLines.WriteRaw(JsonTotal(total) + "\n");
    } else {
        stdoutLines.WriteLine(L"");
        stdoutLines.WriteLine(TotalLine(total));
    }
    return status;
}

int CheckLogs(const std::vector<std::wstring>& logs, const CliOptions& options, const DateConventions& conventions) {
    if (options.PlotPath) return CheckWithPlot(logs[0], options, conventions);
    if (logs.size() > 1) return CheckLogsInParallel(logs, options, conventions);
    TStdoutLines out(options.Follow);
    const TLogResult result = CheckOneLog(logs[0], options, conventions, out);
    WriteErrorLines(result);
    return result.Status;
}

// Refuses what cannot be followed (kTrouble), or makes Ctrl-C and SIGTERM
// end the follow.
int StartFollow(const std::wstring& log) {
    if (!FollowAvailable()) {
        ErrorLine(
            L"fixtally-check: --follow is not available on this system (it is on Linux and other "
            L"POSIX systems)");
        return kTrouble;
    }
    std::error_code error;
    if (log != L"-" && std::filesystem::is_directory(PathOf(log), error)) {
        ErrorLine(L"fixtally-check: --follow takes a file, -, a named pipe or a device, not the folder " + log);
        return kTrouble;
    }
    CatchFollowSignals();
    return kClean;
}

// "no log found in DIR (*.nmea ..., any case)", naming every folder given.
std::wstring NoLogFoundText(const CliOptions& options) {
    std::wstring folders;
    for (const std::wstring& name : options.Logs) folders += (folders.empty() ? L"" : L", ") + name;
    return L"fixtally-check: no log found in " + folders + (options.Recursive ? L" or below" : L"") + L" (" +
           std::wstring(kLogEndings) + L")";
}

int CheckCommandLine(const CliOptions& options) {
    if (options.Help) {
        WriteOut(WideToUtf8(HelpText()));
        return kClean;
    }
    if (options.Version) {
        WriteOut("fixtally-check " FIXTALLY_VERSION_TEXT "\n");
        return kClean;
    }
    const TDateChoice dates = DateConventionsFor(options);
    if (!dates.Error.empty()) {
        ErrorLine(L"fixtally-check: " + dates.Error);
        return kTrouble;
    }
    if (options.Follow) {
        if (const int status = StartFollow(options.Logs[0]); status != kClean) return status;
    } else {
        std::signal(SIGINT, OnInterrupt);
    }
    bool unreadFolder = false;
    const std::vector<std::wstring> logs = ExpandLogs(options.Logs, options.Recursive, [&](std::wstring_view text) {
        ErrorLine(text);
        unreadFolder = true;
    });
    const int folderStatus = unreadFolder ? kTrouble : kClean;
    if (logs.empty()) {
        ErrorLine(NoLogFoundText(options));
        return kTrouble;
    }
    if (options.PlotPath && logs.size() != 1) {
        ErrorLine(L"fixtally-check: --plot draws one log, not " + std::to_wstring(logs.size()));
        return kTrouble;
    }
    return Worse(folderStatus, CheckLogs(logs, options, dates.Conventions));
}

// A report that could not be written whole is no result: status 2, and a
// message unless the reader went away (the end of "| head").
int RunFixtallyCheck(const std::vector<std::wstring>& args) {
    const CliParse parse = ParseCommandLine(args);
    if (!parse.Error.empty()) {
        ErrorLine(L"fixtally-check: " + parse.Error);
        ErrorLine(kUsageLine);
        return kTrouble;
    }
    const int status = CheckCommandLine(parse.Options);
    if (std::fflush(stdout) != 0) NoteOutputFailure();
    if (!OutputFailed.load()) return status;
    if (!OutputReaderGone.load())
        ErrorLine(L"fixtally-check: can't write to standard output (" + ErrnoText(OutputError.load()) + L")");
    return kTrouble;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return RunFixtallyCheck(std::vector<std::wstring>(argv + 1, argv + argc));
}
#else
int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8ToWide(argv[i]));
    return RunFixtallyCheck(args);
}
#endif
