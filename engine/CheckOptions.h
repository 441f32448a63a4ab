// The options of a check run, and how the window's option row becomes them:
// a pure function of the row's texts and check states, which also says what
// the window must correct on screen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The boxes of the window that hold a run's inputs.
enum class EditBox { Filename, FlucTime, Tdecimal };
enum class AlarmBox { SameTime, StepChange, MovedBack };

struct TCheckOptions {
    double FlucTime = 0.5;  // interval tolerance in seconds, above 0
    bool AlarmSameTime = true;
    bool AlarmStepChange = true;
    bool AlarmMovedBack = true;
    std::int32_t TimeDecimals = 1;  // digits after the seconds, 0 to 3
};

// The option row as the user left it.
struct TOptionRow {
    std::wstring FlucTimeText;  // EditFlucTime
    std::wstring TdecimalText;  // EditTdecimal
    bool SameTime = true;       // CheckBoxSameTime
    bool StepChange = true;     // CheckBoxStepChange
    bool MovedBack = true;      // CheckBoxMovedBack
};

// What the window shows after the options are taken, in the order it does
// it: a new text for EditFlucTime, CheckBoxStepChange checked (its click
// handler runs as for a click), a new text for EditTdecimal. Empty where
// the row stays as it is.
struct TOptionCorrections {
    std::optional<std::wstring> FlucTimeText;
    bool CheckStepChange = false;
    std::optional<std::wstring> TdecimalText;
};

struct TOptionIntake {
    TCheckOptions Options;
    TOptionCorrections Corrections;
};

// The tolerance counts by its size, and one that is no positive number
// becomes "0.5"; with all three reports off the interval report is switched
// on; a digit count above 3 becomes "3" and a negative one "0", while text
// that is no number counts as 0 and stays on screen.
TOptionIntake OptionsFromRow(const TOptionRow& row);

// "%6.1f" for one digit: the width and precision of the interval numbers.
std::wstring IntervalFormatFor(std::int32_t timeDecimals);
