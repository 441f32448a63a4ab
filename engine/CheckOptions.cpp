#include "engine/CheckOptions.h"

#include <cmath>

#include "engine/SentenceFields.h"

namespace {

// A tolerance that is not a positive number becomes half a second, in the
// box and in the run.
constexpr std::wstring_view kDefaultToleranceText = L"0.5";
constexpr double kDefaultToleranceSeconds = 0.5;
// The report's time stamps have at most milliseconds.
constexpr std::int32_t kMaxTimeDecimals = 3;

}  // namespace

TOptionIntake OptionsFromRow(const TOptionRow& row) {
    TOptionIntake intake;
    TCheckOptions& options = intake.Options;
    TOptionCorrections& corrections = intake.Corrections;

    options.FlucTime = std::fabs(FloatOrZero(TrimText(row.FlucTimeText)));
    if (!(options.FlucTime > 0.0)) {
        corrections.FlucTimeText = std::wstring(kDefaultToleranceText);
        options.FlucTime = kDefaultToleranceSeconds;
    }

    options.AlarmSameTime = row.SameTime;
    options.AlarmStepChange = row.StepChange;
    options.AlarmMovedBack = row.MovedBack;
    if (!row.SameTime && !row.StepChange && !row.MovedBack) {
        corrections.CheckStepChange = true;
        options.AlarmStepChange = true;
    }

    // Outside 0 to 3 the count is corrected on screen too: a negative count
    // would leave the interval lines without their numbers.
    options.TimeDecimals = IntOrZero(row.TdecimalText);
    if (options.TimeDecimals > kMaxTimeDecimals) {
        corrections.TdecimalText = std::to_wstring(kMaxTimeDecimals);
        options.TimeDecimals = kMaxTimeDecimals;
    } else if (options.TimeDecimals < 0) {
        corrections.TdecimalText = L"0";
        options.TimeDecimals = 0;
    }
    return intake;
}

std::wstring IntervalFormatFor(std::int32_t timeDecimals) {
    return L"%" + std::to_wstring(timeDecimals + 5) + L"." + std::to_wstring(timeDecimals) + L"f";
}
