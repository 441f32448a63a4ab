// Everything a check run asks of whoever shows it: the main window, the
// command-line front end, or a test script.
#pragma once

#include <string>
#include <string_view>

#include "engine/ReportSink.h"

enum class EditBox { Filename, FlucTime, Tdecimal };
enum class AlarmBox { SameTime, StepChange, MovedBack };
// Where a window shows a message: centred over its main window, or where the
// platform puts a box by default (for failures while opening a log).
enum class MessagePlace { OverMainWindow, Default };

class ICheckHost : public IReportSink {
public:
    virtual std::wstring EditText(EditBox which) const = 0;
    virtual void SetEditText(EditBox which, std::wstring_view text) = 0;
    virtual bool IsChecked(AlarmBox which) const = 0;
    // A change runs the box's click handler, which sets the matching alarm flag.
    virtual void SetChecked(AlarmBox which, bool checked) = 0;
    virtual void SetStatus(std::wstring_view text) = 0;
    virtual void ClearReport() = 0;
    virtual void SetWaitCursor(bool wait) = 0;
    // Lets the window system handle pending input; Esc may set AbortRequested.
    virtual void ProcessMessages() = 0;
    // The information box with a single Yes button, which waits for the user.
    // The run's result carries the same text, so a host without a window
    // need not show anything here.
    virtual void ShowMessage(std::wstring_view text, MessagePlace place) = 0;
};
