// The command line of fixtally-check.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct CliOptions {
    // Texts as typed into the window's boxes; the run corrects them.
    std::wstring Tolerance = L"0.25";
    std::wstring Decimals = L"1";
    bool SameTime = true;
    bool MovedBack = true;
    bool StepChange = true;
    std::optional<std::wstring> DatePattern;
    std::optional<wchar_t> DateSeparator;
    bool Progress = false;
    bool Json = false;          // one JSON document per log instead of the text report
    bool LineNumbers = false;   // anomaly lines start with the log's line number
    bool Recursive = false;     // folders named as logs are searched to any depth
    std::optional<std::wstring> PlotPath;   // SVG picture of the one log's interval
    bool Notes = true;          // notes on time faults the report has no line for
    std::optional<double> ReferenceDate;    // the day logs are taken to be from (TDateTime)
    bool Help = false;
    bool Version = false;
    std::vector<std::wstring> Logs;   // files, folders, "-" for standard input
};

struct CliParse {
    CliOptions Options;
    std::wstring Error;   // empty when the command line is usable
};

CliParse ParseCommandLine(const std::vector<std::wstring>& args);

inline constexpr std::wstring_view kUsageLine = L"usage: fixtally-check [OPTIONS] LOG...";
std::wstring HelpText();
