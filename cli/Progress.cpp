#include "cli/Progress.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "cli/CliPlatform.h"
#include "dates/FormatFixed.h"
#include "engine/WideText.h"

namespace {

constexpr std::size_t kBarWidth = 20;

std::mutex StderrLock;
std::size_t DrawnWidth = 0;  // characters of the progress line on the terminal; 0 when none

double Percent(const TProgressPoint& point) {
    return std::min(100.0, static_cast<double>(point.BytesRead) / static_cast<double>(point.Size) * 100.0);
}

void Write(std::wstring_view text) {
    const std::string bytes = WideToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

// Overwrites the drawn line with blanks; the caller holds the lock.
void ClearDrawn() {
    if (DrawnWidth == 0) return;
    Write(L"\r" + std::wstring(DrawnWidth, L' ') + L"\r");
    DrawnWidth = 0;
}

int Columns() {
    static const int columns = StderrTerminalColumns();
    return columns;
}

// Draws the line over the one drawn before; the caller holds the lock.
void DrawInPlace(const std::wstring& line) {
    // Blanks over what is left of a longer line drawn before.
    const std::size_t width = std::max(line.size(), DrawnWidth);
    Write(L"\r" + line + std::wstring(width - line.size(), L' '));
    DrawnWidth = width;
}

}  // namespace

std::wstring ProgressLineText(const TProgressPoint& point) {
    std::wstring text = std::wstring(point.Log) + L": Line " + std::to_wstring(point.Lines);
    if (point.Size > 0) text += L" (" + FormatFixed(L"%.1f", Percent(point)) + L"%)";
    return text;
}

std::wstring ProgressBarText(const TProgressPoint& point, std::size_t columns) {
    std::wstring tail;
    if (point.Size > 0) {
        const double percent = Percent(point);
        const auto filled = static_cast<std::size_t>(percent / 100.0 * kBarWidth);
        tail = L" " + FormatFixed(L"%5.1f", percent) + L"% [" + std::wstring(filled, L'#') +
               std::wstring(kBarWidth - filled, L'-') + L"]";
    } else {
        tail = L" line " + std::to_wstring(point.Lines);
    }
    const std::size_t room = columns > tail.size() + 1 ? columns - 1 - tail.size() : 0;
    std::wstring log(point.Log);
    if (log.size() > room) log = room > 3 ? L"..." + log.substr(log.size() - (room - 3)) : L"";
    return (log + tail).substr(0, columns > 0 ? columns - 1 : 0);
}

void ErrorLine(std::wstring_view text) {
    const std::lock_guard<std::mutex> lock(StderrLock);
    ClearDrawn();
    Write(std::wstring(text) + L"\n");
}

bool StderrIsTerminal() { return Columns() > 0; }

void ShowStatus(std::wstring_view text) {
    const std::lock_guard<std::mutex> lock(StderrLock);
    const int columns = Columns();
    if (columns <= 0) {
        Write(std::wstring(text) + L"\n");
        return;
    }
    DrawInPlace(std::wstring(text.substr(0, static_cast<std::size_t>(columns - 1))));
}

void ShowProgress(const TProgressPoint& point) {
    const std::lock_guard<std::mutex> lock(StderrLock);
    const int columns = Columns();
    if (columns <= 0) {
        Write(ProgressLineText(point) + L"\n");
        return;
    }
    DrawInPlace(ProgressBarText(point, static_cast<std::size_t>(columns)));
}

void EndProgress() {
    const std::lock_guard<std::mutex> lock(StderrLock);
    ClearDrawn();
}
