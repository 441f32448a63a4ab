#include "cli/CliOptions.h"

#include <algorithm>
#include <string_view>

#include "cli/LogList.h"
#include "cli/TimeNotes.h"

namespace {

// Options that take a value, with where the value goes.
bool TakeValue(CliOptions& options, std::wstring_view name, const std::wstring& value,
               std::wstring& error) {
    if (name == L"--tolerance") {
        options.Tolerance = value;
    } else if (name == L"--decimals") {
        options.Decimals = value;
    } else if (name == L"--date-pattern") {
        options.DatePattern = value;
    } else if (name == L"--plot") {
        if (!EndsWithNoCase(value, L".svg")) {
            error = L"--plot writes SVG: its file name must end in .svg, not '" + value + L"'";
            return false;
        }
        options.PlotPath = value;
    } else if (name == L"--reference-date") {
        options.ReferenceDate = ReferenceDateFromText(value);
        if (!options.ReferenceDate) {
            error = L"--reference-date takes a date YYYY-MM-DD, not '" + value + L"'";
            return false;
        }
    } else if (name == L"--date-separator") {
        if (value.size() != 1) {
            error = L"--date-separator takes one character, not '" + value + L"'";
            return false;
        }
        options.DateSeparator = value[0];
    } else {
        return false;
    }
    return true;
}

bool IsValueOption(std::wstring_view name) {
    return name == L"--tolerance" || name == L"--decimals" || name == L"--date-pattern" ||
           name == L"--date-separator" || name == L"--plot" || name == L"--reference-date";
}

bool TakeFlag(CliOptions& options, std::wstring_view name) {
    if (name == L"--no-same-time") options.SameTime = false;
    else if (name == L"--no-moved-back") options.MovedBack = false;
    else if (name == L"--no-interval-change") options.StepChange = false;
    else if (name == L"--progress") options.Progress = true;
    else if (name == L"--json") options.Json = true;
    else if (name == L"--line-numbers") options.LineNumbers = true;
    else if (name == L"--no-notes") options.Notes = false;
    else if (name == L"-r" || name == L"--recursive") options.Recursive = true;
    else if (name == L"-h" || name == L"--help") options.Help = true;
    else if (name == L"--version") options.Version = true;
    else return false;
    return true;
}

}  // namespace

CliParse ParseCommandLine(const std::vector<std::wstring>& args) {
    CliParse parse;
    CliOptions& options = parse.Options;
    bool onlyLogs = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (onlyLogs || arg.size() < 2 || arg[0] != L'-') {
            // Two readers of standard input would split it between them at random.
            if (arg == L"-" && std::find(options.Logs.begin(), options.Logs.end(), arg) != options.Logs.end()) {
                parse.Error = L"- (standard input) can be named only once";
                return parse;
            }
            options.Logs.push_back(arg);
            continue;
        }
        if (arg == L"--") {
            onlyLogs = true;
            continue;
        }
        if (TakeFlag(options, arg)) continue;
        const auto equals = arg.find(L'=');
        const std::wstring name = arg.substr(0, equals);
        if (!IsValueOption(name)) {
            parse.Error = L"unknown option '" + arg + L"'";
            return parse;
        }
        std::wstring value;
        if (equals != std::wstring::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            parse.Error = L"option '" + name + L"' needs a value";
            return parse;
        }
        if (!TakeValue(options, name, value, parse.Error)) return parse;
    }
    if (options.Logs.empty() && !options.Help && !options.Version) parse.Error = L"no log named";
    return parse;
}

std::wstring HelpText() {
    return std::wstring(kUsageLine) + L"\n"
        L"Checks the UTC time stamps of the RMC sentences in NMEA-0183 logs and reports\n"
        L"times that moved back, repeated times and changes of the output interval.\n"
        L"A LOG may be a folder (its *.nmea *.nme *.nma *.log *.txt files, any case, also\n"
        L"gzip-compressed with .gz after the ending) or - for standard input (once).\n"
        L"Compressed logs are recognised by their first bytes and read as the log inside.\n"
        L"\n"
        L"  --tolerance TEXT       interval tolerance in seconds (default 0.25); a\n"
        L"                         negative number counts by its size, 0 or text that\n"
        L"                         is no number becomes 0.5\n"
        L"  --decimals TEXT        digits shown after the seconds, 0 to 3 (default 1)\n"
        L"  --no-same-time         do not report repeated times\n"
        L"  --no-moved-back        do not report times that moved back\n"
        L"  --no-interval-change   do not report interval changes\n"
        L"  --date-pattern PAT     short date pattern giving the order of day, month and\n"
        L"                         year, e.g. yyyy/MM/dd or dd.MM.yyyy (default: the\n"
        L"                         locale's, so report dates follow the locale)\n"
        L"  --date-separator C     date separator, not a digit (default: the locale's)\n"
        L"  --progress             show progress on standard error (one line redrawn\n"
        L"                         in place on a terminal)\n"
        L"  --line-numbers         start each anomaly line with its line number in the log\n"
        L"  --json                 one JSON document per log (one line each) instead of\n"
        L"                         the text report; a total document after several logs\n"
        L"  --plot FILE.svg        draw the output interval over UTC time (one log only)\n"
        L"  --no-notes             no notes on standard error (or in the JSON) about\n"
        L"                         time faults the report has no line for: dates a\n"
        L"                         GPS week rollover put 1024 weeks early or in the\n"
        L"                         future, leap seconds, unreadable times\n"
        L"  --reference-date DATE  the day (YYYY-MM-DD) the logs are from, for the\n"
        L"                         date notes (default: each log file's time; today\n"
        L"                         for standard input)\n"
        L"  -r, --recursive        search folders to any depth\n"
        L"  -h, --help             show this help\n"
        L"  --version              show the version\n"
        L"\n"
        L"A change of the interval by more than 600 s is taken as a pause in the\n"
        L"recording and not reported. Interval lines show the interval as computed,\n"
        L"rounded to the decimals (0.75 s may show as 0.7 or 0.8).\n"
        L"\n"
        L"Exit status, the worst over all logs:\n"
        L"  130  interrupted\n"
        L"  2    a log could not be opened or read, a folder read, the picture or the\n"
        L"       report written, or the options are unusable\n"
        L"  1    anomalies reported, or a log's dates are wrong (week rollover,\n"
        L"       future)\n"
        L"  3    a log had no accepted RMC sentence (status A, valid checksum, date\n"
        L"       and time), so nothing was checked\n"
        L"  0    no anomaly\n";
}
