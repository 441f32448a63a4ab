// Whoever starts a check run: the main window, the command-line checker or a
// test. The run takes its two inputs from it at the moments it needs them,
// and tells it what happens.
#pragma once

#include <string>
#include <string_view>

#include "engine/CheckEvents.h"
#include "engine/CheckOptions.h"

// Where a window shows a message: centred over its main window, or where the
// platform puts a box by default (for failures while opening a log).
enum class MessagePlace { OverMainWindow, Default };

class ICheckHost : public ICheckEvents {
public:
    // The log's name, taken unchanged (not trimmed) before the open.
    virtual std::wstring LogName() = 0;
    // The options, taken once after the pre-scan and the rewind. A window
    // reads its option row here and shows the corrections before it answers.
    virtual TCheckOptions TakeOptions() = 0;
    // The log could not be opened: the information box with a single Yes
    // button, which waits for the user. The run's result carries the same
    // text, so a host without a window need not show anything.
    virtual void OpenFailed(std::wstring_view message, MessagePlace place) = 0;
};
