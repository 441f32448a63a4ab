// Where one log's report goes, and the writers that put it there: the text
// report or one JSON document. A writer takes the run's events as they come
// and the typed results at the end.
#pragma once

#include <string>
#include <string_view>

#include "engine/CheckEvents.h"
#include "engine/CheckResults.h"

// Standard output, or a buffer while several logs are checked at once.
class ILineOutput {
public:
    virtual ~ILineOutput() = default;
    // The text as UTF-8, then a line end.
    virtual void WriteLine(std::wstring_view text) = 0;
    // UTF-8 bytes as they stand.
    virtual void WriteRaw(std::string_view bytes) = 0;
};

class IReportWriter : public ICheckEvents {
public:
    // Everything after the last event: the status line, or the document's end.
    virtual void Finish(const TCheckResults& results) = 0;
    // Why the report could not be written whole, after Finish; empty when it could.
    virtual std::wstring Failure() const { return {}; }
};
