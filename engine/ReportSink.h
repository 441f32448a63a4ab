// Where report lines go: the window's report pane, the command-line
// checker's standard output, or a test's recording.
#pragma once

#include <string_view>

class IReportSink {
public:
    virtual ~IReportSink() = default;
    // Appends one text to the report; a text may itself hold CR LF.
    virtual void AppendReport(std::wstring_view text) = 0;
};
