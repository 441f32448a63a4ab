// Times and anomalies on 2019-05-01 for the tests of the interval series and
// its picture; a Sink is either of them.
#pragma once

#include <cmath>
#include <cstdint>

#include "dates/DateTime.h"
#include "engine/Anomaly.h"

inline constexpr double kDay = 43586.0;  // 2019-05-01

inline TDateTime At(double hours, double seconds = 0.0) { return kDay + (hours * 3600.0 + seconds) / kSecondsPerDay; }

inline TAnomaly Anomaly(AnomalyKind kind, TDateTime before, TDateTime at) {
    TAnomaly anomaly;
    anomaly.Kind = kind;
    anomaly.Time = before;
    anomaly.NewTime = at;
    return anomaly;
}

// count times from start, stepSeconds apart, in whole tenths as a receiver writes them.
template <typename Sink>
void Feed(Sink& sink, TDateTime start, std::int64_t count, double stepSeconds) {
    const double startTenths = std::round((start - kDay) * kSecondsPerDay * 10.0);
    for (std::int64_t i = 0; i < count; ++i)
        sink.AddTime(kDay + (startTenths + static_cast<double>(i) * std::round(stepSeconds * 10.0)) / 864000.0);
}

// count times at 10 Hz from midnight with one jump of jumpSeconds (and its
// anomaly) after hour; returns the time jumped to.
template <typename Sink>
TDateTime FeedWithJump(Sink& sink, std::int64_t count, double hour, double jumpSeconds) {
    const auto before = static_cast<std::int64_t>(hour * 36000);
    Feed(sink, At(0), before, 0.1);
    const TDateTime last = At(0, static_cast<double>(before - 1) / 10.0);
    const TDateTime jumped = last + jumpSeconds / kSecondsPerDay;
    sink.AddAnomaly(Anomaly(jumpSeconds > 0 ? AnomalyKind::StepChanged : AnomalyKind::MovedBack, last, jumped));
    Feed(sink, jumped, count - before, 0.1);
    return jumped;
}

// count times at 10 Hz, each written twice and reported as the same time.
template <typename Sink>
void FeedEachTimeTwice(Sink& sink, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
        const TDateTime t = kDay + static_cast<double>(i) / 864000.0;
        sink.AddTime(t);
        sink.AddTime(t);
        sink.AddAnomaly(Anomaly(AnomalyKind::SameTime, t, t));
    }
}
