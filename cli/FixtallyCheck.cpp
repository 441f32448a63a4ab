// fixtally-check: the check run of the desktop program, on the command line.
// Several logs are checked in parallel; their reports come out in argument
// order, each after a "==> LOG <==" line (or as one JSON document each), and
// a total line ends the output.
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliHost.h"
#include "cli/CliOptions.h"
#include "cli/IntervalPlot.h"
#include "cli/JsonReport.h"
#include "cli/LogList.h"
#include "cli/NativePath.h"
#include "cli/StdinSource.h"
#include "dates/DateConventions.h"
#include "engine/CheckRun.h"
#include "engine/UserError.h"
#include "engine/WideText.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

enum ExitStatus { kClean = 0, kAnomalies = 1, kTrouble = 2, kInterrupted = 130 };

std::atomic<bool> Interrupted{false};
std::mutex StderrLock;

extern "C" void OnInterrupt(int) { Interrupted.store(true); }

void WriteBytes(std::FILE* stream, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

void ErrorLine(std::wstring_view text) {
    const std::lock_guard<std::mutex> lock(StderrLock);
    WriteBytes(stderr, WideToUtf8(text) + "\n");
    std::fflush(stderr);
}

class TStdoutLines final : public ILineOutput {
public:
    void WriteLine(std::wstring_view text) override { WriteBytes(stdout, WideToUtf8(text) + "\n"); }
    void WriteRaw(std::string_view bytes) override { WriteBytes(stdout, bytes); }
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

struct TLogResult {
    int Status = kClean;
    LogOutcome Outcome = LogOutcome::Completed;
    ScanState State;
};

DateConventions ConventionsFor(const CliOptions& options) {
    if (!options.DatePattern && !options.DateSeparator) return SetupDateConventions();
    const std::wstring pattern =
        options.DatePattern ? *options.DatePattern : SetupDateConventions().DisplayDateFormat;
    wchar_t separator = L'/';
    if (options.DateSeparator) {
        separator = *options.DateSeparator;
    } else {
        // The platform derives the separator from the pattern the same way.
        const auto pos = pattern.find_first_not_of(L"dMyg ' ");
        if (pos != std::wstring::npos) separator = pattern[pos];
    }
    return DateConventionsFromPattern(pattern, separator);
}

int StatusOf(const TLogResult& result) {
    switch (result.Outcome) {
        case LogOutcome::CannotOpen:
        case LogOutcome::ReadError: return kTrouble;
        case LogOutcome::Aborted: return kInterrupted;
        case LogOutcome::Completed: break;
    }
    return AnomaliesFound(result.State) > 0 ? kAnomalies : kClean;
}

TLogResult CheckOneLog(const std::wstring& log, const CliOptions& options, const DateConventions& conventions,
                       ILineOutput& out, TIntervalPlot* plot = nullptr) {
    TLogResult result;
    ScanState& state = result.State;
    // Large reads: with the window's small blocks the system calls cost a fifth of the run.
    TLogReader reader(log == L"-" ? MakeStdinSource() : MakeFileSource(), 256 * 1024);
    TCliHost::StatusEcho echo;
    if (options.Progress) echo = ErrorLine;
    TCliHost host(options, log, state, out, Interrupted, echo, plot);
    if (options.Json) out.WriteRaw(JsonLogHead(log));
    std::wstring message;
    try {
        RunCheck(host, state, reader, conventions);
        message = host.Message();
        if (!message.empty()) result.Outcome = LogOutcome::CannotOpen;
        else if (state.AbortRequested) result.Outcome = LogOutcome::Aborted;
    } catch (const TUserError& e) {
        message = e.Text;
        result.Outcome = LogOutcome::ReadError;
    }
    if (!message.empty()) ErrorLine(message);
    if (options.Json) out.WriteRaw(JsonLogTail(state, result.Outcome, message) + "\n");
    else if (message.empty()) out.WriteLine(host.Status());
    result.Status = StatusOf(result);
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
    TStdoutLines out;
    TIntervalPlot plot;
    const TLogResult result = CheckOneLog(log, options, conventions, out, &plot);
    const bool read = result.Outcome == LogOutcome::Completed || result.Outcome == LogOutcome::Aborted;
    if (read && !WritePlot(*options.PlotPath, plot, log)) return std::max<int>(result.Status, kTrouble);
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
    const std::size_t threads =
        std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
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
        WriteBytes(stdout, outputs[i].Bytes);
        total.Add(results[i].State, results[i].Outcome);
        status = std::max(status, results[i].Status);
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
    TStdoutLines out;
    return CheckOneLog(logs[0], options, conventions, out).Status;
}

int RunFixtallyCheck(const std::vector<std::wstring>& args) {
    const CliParse parse = ParseCommandLine(args);
    if (!parse.Error.empty()) {
        ErrorLine(L"fixtally-check: " + parse.Error);
        ErrorLine(kUsageLine);
        return kTrouble;
    }
    const CliOptions& options = parse.Options;
    if (options.Help) {
        WriteBytes(stdout, WideToUtf8(HelpText()));
        return kClean;
    }
    if (options.Version) {
        WriteBytes(stdout, "fixtally-check 1.0\n");
        return kClean;
    }
    std::signal(SIGINT, OnInterrupt);
    const DateConventions conventions = ConventionsFor(options);
    bool unreadFolder = false;
    const std::vector<std::wstring> logs = ExpandLogs(options.Logs, options.Recursive, [&](std::wstring_view text) {
        ErrorLine(text);
        unreadFolder = true;
    });
    const int folderStatus = unreadFolder ? kTrouble : kClean;
    if (logs.empty()) {
        ErrorLine(L"fixtally-check: no log found");
        return kTrouble;
    }
    if (options.PlotPath && logs.size() != 1) {
        ErrorLine(L"fixtally-check: --plot draws one log, not " + std::to_wstring(logs.size()));
        return kTrouble;
    }
    return std::max(folderStatus, CheckLogs(logs, options, conventions));
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
