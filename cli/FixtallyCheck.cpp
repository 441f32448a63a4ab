// fixtally-check: the check run of the desktop program, on the command line.
// Several logs are checked in parallel; their reports come out in argument
// order, each after a "==> LOG <==" line.
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliHost.h"
#include "cli/CliOptions.h"
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
};

class TBufferedLines final : public ILineOutput {
public:
    void WriteLine(std::wstring_view text) override {
        Bytes += WideToUtf8(text);
        Bytes += '\n';
    }
    std::string Bytes;
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

int CheckOneLog(const std::wstring& log, const CliOptions& options,
                const DateConventions& conventions, ILineOutput& out) {
    ScanState state;
    TLogReader reader;
    TCliHost::StatusEcho echo;
    if (options.Progress) echo = ErrorLine;
    TCliHost host(options, log, state, out, Interrupted, echo);
    try {
        RunCheck(host, state, reader, conventions);
    } catch (const TUserError& e) {
        ErrorLine(e.Text);
        return kTrouble;
    }
    if (!host.Message().empty()) {
        ErrorLine(host.Message());
        return kTrouble;
    }
    out.WriteLine(host.Status());
    if (state.AbortRequested) return kInterrupted;
    return state.SameCount + state.StepCount + state.BackCount > 0 ? kAnomalies : kClean;
}

int CheckLogsInParallel(const CliOptions& options, const DateConventions& conventions) {
    const std::size_t count = options.Logs.size();
    std::vector<TBufferedLines> outputs(count);
    std::vector<int> statuses(count, kClean);
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++)
            statuses[i] = CheckOneLog(options.Logs[i], options, conventions, outputs[i]);
    };
    const std::size_t threads =
        std::min<std::size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(worker);
    worker();
    for (auto& thread : pool) thread.join();

    TStdoutLines stdoutLines;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) stdoutLines.WriteLine(L"");
        stdoutLines.WriteLine(L"==> " + options.Logs[i] + L" <==");
        WriteBytes(stdout, outputs[i].Bytes);
    }
    return *std::max_element(statuses.begin(), statuses.end());
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
    if (options.Logs.size() == 1) {
        TStdoutLines out;
        return CheckOneLog(options.Logs[0], options, conventions, out);
    }
    return CheckLogsInParallel(options, conventions);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
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
