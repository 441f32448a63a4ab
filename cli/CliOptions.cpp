#include "cli/CliOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <optional>
#include <string_view>

#include "cli/LogList.h"
#include "engine/TimeNotes.h"
#include "engine/WideText.h"

namespace {

constexpr const char* kReport = "What to report";
constexpr const char* kShow = "How to show it";
constexpr const char* kLogs = "Which logs";

constexpr const char* kDescription =
    "Checks the UTC time stamps of the RMC sentences in NMEA-0183 logs and reports\n"
    "times that moved back, repeated times and changes of the output interval.\n"
    "A LOG may be a folder (its *.nmea *.nme *.nma *.log *.txt files, any case, also\n"
    "gzip-compressed with .gz after the ending) or - for standard input (once).\n"
    "Compressed logs are recognised by their first bytes and read as the log inside.";

constexpr const char* kFooter =
    "A change of the interval by more than 600 s is taken as a pause in the\n"
    "recording and not reported. Interval lines show the interval as computed,\n"
    "rounded to the decimals (0.75 s may show as 0.7 or 0.8).\n"
    "\n"
    "Exit status, the worst over all logs:\n"
    "  130  interrupted\n"
    "  2    a log could not be opened or read, a folder read, the picture or the\n"
    "       report written, or the options are unusable; a followed file was\n"
    "       truncated or replaced\n"
    "  1    anomalies reported, or a log's dates are wrong (week rollover,\n"
    "       future)\n"
    "  3    a log had no accepted RMC sentence (status A, valid checksum, date\n"
    "       and time), so nothing was checked\n"
    "  0    no anomaly\n"
    "\n"
    "Examples:\n"
    "  fixtally-check --date-pattern yyyy/MM/dd track.nmea\n"
    "  fixtally-check -r --json logs/ | jq -c 'select(.status != \"completed\")'\n"
    "  fixtally-check --tolerance 0.05 --plot day.svg day.nmea.gz\n"
    "  gpspipe -r | fixtally-check --follow -";

// A number of seconds above 0, in decimal ("0.5", "30"); empty for
// anything else, infinity and NaN included.
std::optional<double> PositiveSeconds(const std::string& text) {
    double seconds = 0.0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seconds, std::chars_format::fixed);
    if (error != std::errc() || stop != end || !std::isfinite(seconds) || !(seconds > 0.0)) return std::nullopt;
    return seconds;
}

[[noreturn]] void Refuse(const std::wstring& text) { throw CLI::ValidationError(WideToUtf8(text)); }

std::wstring Quoted(const std::string& value) { return L"'" + Utf8ToWide(value) + L"'"; }

// An option that takes a value: its name, the value's name in the help, the
// group, the help text and what the value does.
void Value(CLI::App& app, const char* name, const char* valueName, const char* group, const char* help,
           std::function<void(const std::string&)> take) {
    app.add_option_function<std::string>(name, std::move(take), help)
        ->type_name(valueName)
        ->group(group)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void Flag(CLI::App& app, const char* names, const char* group, const char* help, std::function<void()> set) {
    app.add_flag_callback(names, std::move(set), help)->group(group);
}

void DefineOptions(CLI::App& app, CliOptions& o) {
    Value(app, "--tolerance", "TEXT", kReport,
          "interval tolerance in seconds (default 0.25); a\n"
          "negative number counts by its size, 0 or text that\n"
          "is no number becomes 0.5",
          [&o](const std::string& v) { o.Row.FlucTimeText = Utf8ToWide(v); });
    Flag(app, "--no-same-time", kReport, "do not report repeated times", [&o] { o.Row.SameTime = false; });
    Flag(app, "--no-moved-back", kReport, "do not report times that moved back", [&o] { o.Row.MovedBack = false; });
    Flag(app, "--no-interval-change", kReport, "do not report interval changes", [&o] { o.Row.StepChange = false; });
    Flag(app, "--no-notes", kReport,
         "no notes on standard error (or in the JSON) about\n"
         "what the report has no line for: dates a GPS week\n"
         "rollover put 1024 weeks early or in the future,\n"
         "leap seconds, unreadable times; bytes after a\n"
         "compressed log that were not read",
         [&o] { o.Notes = false; });
    Value(app, "--reference-date", "DATE", kReport,
          "the day (YYYY-MM-DD) the logs are from, for the\n"
          "date notes (default: each log file's time; today\n"
          "for standard input)",
          [&o](const std::string& v) {
              o.ReferenceDate = ReferenceDateFromText(Utf8ToWide(v));
              if (!o.ReferenceDate) Refuse(L"--reference-date takes a date YYYY-MM-DD, not " + Quoted(v));
          });

    Value(app, "--decimals", "TEXT", kShow, "digits shown after the seconds, 0 to 3 (default 1)",
          [&o](const std::string& v) { o.Row.TdecimalText = Utf8ToWide(v); });
    Value(app, "--date-pattern", "PAT", kShow,
          "short date pattern giving the order of day, month and\n"
          "year, e.g. yyyy/MM/dd or dd.MM.yyyy (default: the\n"
          "locale's, so report dates follow the locale)",
          [&o](const std::string& v) { o.DatePattern = Utf8ToWide(v); });
    Value(app, "--date-separator", "C", kShow, "date separator, not a digit (default: the locale's)",
          [&o](const std::string& v) {
              const std::wstring text = Utf8ToWide(v);
              if (text.size() != 1) Refuse(L"--date-separator takes one character, not " + Quoted(v));
              o.DateSeparator = text[0];
          });
    Flag(app, "--line-numbers", kShow, "start each anomaly line with its line number in the log",
         [&o] { o.LineNumbers = true; });
    Flag(app, "--json", kShow,
         "one JSON document per log (one line each) instead of\n"
         "the text report; a total document after several logs",
         [&o] { o.Json = true; });
    Value(app, "--plot", "FILE.svg", kShow, "draw the output interval over UTC time (one log only)",
          [&o](const std::string& v) {
              const std::wstring path = Utf8ToWide(v);
              if (!EndsWithNoCase(path, L".svg"))
                  Refuse(L"--plot writes SVG: its file name must end in .svg, not " + Quoted(v));
              o.PlotPath = path;
          });
    Flag(app, "--progress", kShow,
         "show progress on standard error (one line redrawn\n"
         "in place on a terminal)",
         [&o] { o.Progress = true; });

    Flag(app, "-r,--recursive", kLogs, "search folders to any depth", [&o] { o.Recursive = true; });
    Flag(app, "--follow", kLogs,
         "check one LOG (a file, -, a named pipe, a serial\n"
         "device) while it is written: each anomaly line at\n"
         "once; ends at Ctrl-C or SIGTERM, when a pipe's writer\n"
         "closes it, after --idle, or (exit status 2) when the\n"
         "file is truncated or replaced; the report is that of\n"
         "the log as it stood then",
         [&o] { o.Follow = true; });
    Value(app, "--idle", "SECONDS", kLogs, "with --follow: end when nothing arrived for this long",
          [&o](const std::string& v) {
              o.IdleSeconds = PositiveSeconds(v);
              if (!o.IdleSeconds) Refuse(L"--idle takes a positive number of seconds, not " + Quoted(v));
          });
    app.add_option_function<std::vector<std::string>>(
           "LOG",
           [&o](const std::vector<std::string>& logs) {
               for (const std::string& log : logs) o.Logs.push_back(Utf8ToWide(log));
           },
           "a file, a folder, or - for standard input")
        ->type_name("")
        ->group(kLogs);

    app.set_help_flag();
    Flag(app, "-h,--help", "About", "show this help", [&o] { o.Help = true; });
    Flag(app, "--version", "About", "show the version", [&o] { o.Version = true; });
}

// CLI11's help with the usage line first, as programs of the command line
// have it.
class TUsageFirst final : public CLI::Formatter {
public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
        if (mode == CLI::AppFormatMode::Sub) return make_expanded(app);
        return make_usage(app, name) + "\n" + make_description(app) + make_positionals(app) + make_groups(app, mode) +
               "\n" + make_footer(app);
    }
};

// The table in an application of its own.
struct TOptionTable {
    explicit TOptionTable(CliOptions& options) : App(kDescription, "fixtally-check") {
        App.footer(kFooter);
        App.formatter(std::make_shared<TUsageFirst>());
        App.get_formatter()->column_width(27);
        // On Windows CLI11 would take "/name" for an option; it is a log here.
        App.allow_windows_style_options(false);
        DefineOptions(App, options);
    }
    CLI::App App;
};

}  // namespace

CliParse ParseCommandLine(const std::vector<std::wstring>& args) {
    CliParse parse;
    CliOptions& options = parse.Options;
    TOptionTable table(options);
    // CLI11 takes the arguments last first. It would read "--name=" as the
    // name alone and take the next argument as the value: the empty value
    // is handed on as an argument of its own.
    std::vector<std::string> reversed;
    for (auto arg = args.rbegin(); arg != args.rend(); ++arg) {
        std::string text = WideToUtf8(*arg);
        const bool emptyValue = text.starts_with("--") && text.size() > 3 && text.back() == '=';
        if (emptyValue) reversed.emplace_back();
        reversed.push_back(emptyValue ? text.substr(0, text.size() - 1) : text);
    }
    try {
        table.App.parse(reversed);
    } catch (const CLI::ParseError& e) {
        parse.Error = Utf8ToWide(e.what());
        return parse;
    }
    // Two readers of standard input would split it between them at random.
    if (std::count(options.Logs.begin(), options.Logs.end(), L"-") > 1)
        parse.Error = L"- (standard input) can be named only once";
    else if (options.Logs.empty() && !options.Help && !options.Version) parse.Error = L"no log named";
    else if (options.IdleSeconds && !options.Follow) parse.Error = L"--idle ends a follow: it needs --follow";
    else if (options.Follow && options.Logs.size() > 1)
        parse.Error = L"--follow checks one log, not " + std::to_wstring(options.Logs.size());
    return parse;
}

std::wstring HelpText() {
    CliOptions options;
    TOptionTable table(options);
    return Utf8ToWide(table.App.help());
}
