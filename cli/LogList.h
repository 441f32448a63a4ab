// The logs a command line names: files as they stand, "-" for standard input,
// and folders replaced by the logs inside them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// True when name ends in ending (given in lower case), ASCII letters in any case.
bool EndsWithNoCase(std::wstring_view name, std::wstring_view ending);

// The endings of logs in folders, for messages.
inline constexpr std::wstring_view kLogEndings = L"*.nmea *.nme *.nma *.log *.txt, each also .gz, any case";

// True when the name ends in .nmea, .nme, .nma, .log or .txt, alone or
// followed by .gz, in any case.
bool HasLogExtension(std::wstring_view name);

// Each folder among the names becomes its log files, sorted by name; with
// recursive, its sub-folders' too (links to folders are not followed). A
// folder that cannot be read is passed to onError and skipped; any other
// name stays as it is, so that the check reports it.
std::vector<std::wstring> ExpandLogs(const std::vector<std::wstring>& names, bool recursive,
                                     const std::function<void(std::wstring_view)>& onError);
