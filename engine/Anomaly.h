// One anomaly found by the time checks, as numbers, for hosts that keep
// anomalies as data (machine-readable results, plots) besides the report line.
#pragma once

#include <cstdint>

#include "dates/DateTime.h"

enum class AnomalyKind { StepChanged, MovedBack, SameTime };

struct TAnomaly {
    AnomalyKind Kind = AnomalyKind::StepChanged;
    std::int64_t Line = 0;    // 1-based line of the log holding the sentence that raised it
    TDateTime Time = 0.0;     // the time the report line names: the sentence before
    TDateTime NewTime = 0.0;  // the time of the sentence that raised it
    // Interval changes: the interval before and the new one, in seconds.
    double PrevIntervalSeconds = 0.0;
    double NewIntervalSeconds = 0.0;
    // Same time: whether place and speed repeat too, with their values.
    bool SamePlace = false;
    bool SameSpeed = false;
    double Lat = 0.0, Lon = 0.0, Speed = 0.0;
};
