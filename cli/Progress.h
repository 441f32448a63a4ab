// Standard error of fixtally-check: message lines from any thread, and the
// --progress display, one line redrawn in place on a terminal (log, share,
// bar) and plain lines when standard error is a file or a pipe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How far the check pass of one log has got.
struct TProgressPoint {
    std::wstring_view Log;
    std::int64_t Lines = 0;      // lines read by the check pass
    std::int64_t BytesRead = 0;  // bytes of the log read since the rewind
    std::int64_t Size = 0;       // the log's size; 0 when unknown (standard input)
};

// "a.nmea: Line 10000 (12.5%)"; without the share when the size is unknown.
std::wstring ProgressLineText(const TProgressPoint& point);
// The terminal's line of at most columns - 1 characters: the log (its start
// cut off when long), the share and a bar; lines read when the size is unknown.
std::wstring ProgressBarText(const TProgressPoint& point, std::size_t columns);

// True when standard error is a terminal, where lines are drawn in place.
bool StderrIsTerminal();
// A line that the next one replaces: drawn in place on a terminal (cut to
// its width), a plain line otherwise.
void ShowStatus(std::wstring_view text);
// One line on standard error, after clearing a drawn progress line.
void ErrorLine(std::wstring_view text);
// Draws the point in place on a terminal, or writes its plain line.
void ShowProgress(const TProgressPoint& point);
// Clears a progress or status line drawn on the terminal.
void EndProgress();
