// The three time checks made on every RMC sentence of the check pass:
// interval change, time moved back, same time.
#pragma once

#include "engine/CheckContext.h"
#include "engine/ScanState.h"

// Largest interval change that is still reported, in days: one unit in the
// last place above the double nearest to 1/144 day (600 s), so that 600 s
// itself counts.
inline constexpr double kMaxReportedStepDays = 0.006944444444444445;

// Compares CurTime with the history, appends a line per anomaly, counts it,
// and shifts the history.
void CheckTimes(ScanState& state, const CheckContext& context);
