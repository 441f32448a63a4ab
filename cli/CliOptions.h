// The command line of fixtally-check: one table of its options (CLI11) that
// parses them, refuses what cannot be used and writes the help.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dates/DateTime.h"
#include "engine/CheckOptions.h"

struct CliOptions {
    // The option row's texts and states as if typed into the window's boxes;
    // the check corrects them as the window does.
    TOptionRow Row{L"0.25", L"1", true, true, true};
    std::optional<std::wstring> DatePattern;
    std::optional<wchar_t> DateSeparator;
    bool Progress = false;
    bool Json = false;                       // one JSON document per log instead of the text report
    bool LineNumbers = false;                // anomaly lines start with the log's line number
    bool Recursive = false;                  // folders named as logs are searched to any depth
    std::optional<std::wstring> PlotPath;    // SVG picture of the one log's interval
    bool Notes = true;                       // notes on what the report has no line for
    std::optional<TDateTime> ReferenceDate;  // the day logs are taken to be from
    bool Follow = false;                     // the one log is checked as it grows
    std::optional<double> IdleSeconds;       // a follow ends after this long without new bytes
    bool Help = false;
    bool Version = false;
    std::vector<std::wstring> Logs;  // files, folders, "-" for standard input
};

struct CliParse {
    CliOptions Options;
    std::wstring Error;  // empty when the command line is usable
};

CliParse ParseCommandLine(const std::vector<std::wstring>& args);

inline constexpr std::wstring_view kUsageLine = L"usage: fixtally-check [OPTIONS] LOG...";
// The options in groups, from the same table, with examples at the end.
std::wstring HelpText();
