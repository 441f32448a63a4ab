// The arithmetic of the interval picture's two axes: their ranges, tick
// steps and labels. Labels are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dates/DateTime.h"

// The smallest of 1, 2 or 5 times a power of ten that is at least raw (> 0).
double NiceStep(double raw);

// The interval axis, in seconds: from min(0, low) to max(0, high), widened to
// whole steps of about an eighth of the range; 0 to 1 when there is no value.
struct TValueAxis {
    std::int64_t FirstTick = 0, LastTick = 1;  // tick k stands at k * Step
    double Step = 1.0;
    int Decimals = 0;  // digits after the point in the labels

    TValueAxis(bool any, double low, double high);
    double Lo() const { return static_cast<double>(FirstTick) * Step; }
    double Hi() const { return static_cast<double>(LastTick) * Step; }
    std::string Label(std::int64_t tick) const;
};

// Tick spacing of a time axis spanning spanSeconds, for at most eight ticks:
// a step of the clock up to a day, whole days beyond.
double TimeStepSeconds(double spanSeconds);

// The time axis over the times from firstOffset to lastOffset (seconds from
// anchor), with a little room either side; a span under a millisecond is
// drawn as a minute around it. Ticks fall on whole steps of UTC.
struct TTimeAxis {
    double From, To;  // seconds from the anchor at the left and the right edge
    double StepSeconds;
    std::int64_t FirstTick, LastTick;  // tick k stands at k * StepSeconds after day 0; at most 17

    TTimeAxis(TDateTime anchor, double firstOffset, double lastOffset);
    // Where tick stands, in seconds from the anchor.
    double TickOffset(std::int64_t tick) const;
    // The clock time of a tick, or its date when the step is a day or more.
    std::string TickLabel(std::int64_t tick) const;
    // The date shown under a tick: under the first tick and wherever the day
    // changes, and only while the ticks show the clock.
    std::optional<std::string> TickDate(std::int64_t tick) const;
    // "UTC, " and the date of the first time, " to " and that of the last when it differs.
    std::string Caption() const;

private:
    TDateTime TickTime(std::int64_t tick) const;

    TDateTime FAnchor;
    double FFirstOffset, FLastOffset;
};

// A time as the clock shows it at this tick step: "hh:nn:ss" with as many
// decimals as the step needs, "hh:nn" from a minute on, the date from a day on.
std::string TimeLabel(TDateTime time, double stepSeconds);
// "yyyy-mm-dd"; empty when the time cannot be written.
std::string DateText(TDateTime time);
