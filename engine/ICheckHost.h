// Everything a check run asks of whoever shows it: the main window, the
// command-line front end, or a test script.
#pragma once

#include <string>
#include <string_view>

#include "engine/ReportSink.h"

enum class EditBox { Filename, FlucTime, Tdecimal };
enum class AlarmBox { SameTime, StepChange, MovedBack };

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
    // The information box with a single Yes button, centred over the main window.
    virtual void ShowMessage(std::wstring_view text) = 0;
    // The same box at the platform's default place, for failures while opening.
    virtual void ShowMessageAtDefaultPlace(std::wstring_view text) = 0;
};
