#include "cli/PlotAxes.h"

#include <algorithm>
#include <cmath>

#include "dates/FormatFixed.h"
#include "engine/WideText.h"

namespace {

// Tick counts aimed at: labels up to 12 characters stay apart.
constexpr int kMostTimeTicks = 8;
constexpr int kValueTicks = 8;
// Empty room left and right of the times, as a share of their span.
constexpr double kTimePadding = 0.01;
// A span shorter than this is drawn as a minute around the times.
constexpr double kShortestSpanSeconds = 0.001;
constexpr double kZeroSpanSeconds = 60.0;

}  // namespace

double NiceStep(double raw) {
    double step = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * step >= raw * (1.0 - 1e-9)) return m * step;
    }
    return 10.0 * step;
}

TValueAxis::TValueAxis(bool any, double low, double high) {
    double lo = any ? std::min(0.0, low) : 0.0;
    double hi = any ? std::max(0.0, high) : 1.0;
    if (!(hi > lo)) hi = lo + 1.0;
    Step = NiceStep((hi - lo) / kValueTicks);
    FirstTick = static_cast<std::int64_t>(std::floor(lo / Step * (1.0 + 1e-12)));
    LastTick = static_cast<std::int64_t>(std::ceil(hi / Step * (1.0 - 1e-12)));
    if (LastTick <= FirstTick) LastTick = FirstTick + 1;
    Decimals = std::max(0, -static_cast<int>(std::floor(std::log10(Step) + 1e-9)));
}

std::string TValueAxis::Label(std::int64_t tick) const {
    std::wstring format = L"%.";
    format += std::to_wstring(std::min(Decimals, 18));
    format += L'f';
    return WideToUtf8(FormatFixed(format, static_cast<double>(tick) * Step));
}

double TimeStepSeconds(double spanSeconds) {
    static constexpr double kSteps[] = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05,  0.1,   0.2,   0.5,
                                        1,     2,     5,     10,   15,   30,    60,    120,   300,
                                        600,   900,   1800,  3600, 7200, 10800, 21600, 43200, 86400};
    for (const double step : kSteps)
        if (spanSeconds / step <= kMostTimeTicks) return step;
    return NiceStep(spanSeconds / kSecondsPerDay / kMostTimeTicks) * kSecondsPerDay;
}

TTimeAxis::TTimeAxis(TDateTime anchor, double firstOffset, double lastOffset)
    : FAnchor(anchor), FFirstOffset(firstOffset), FLastOffset(lastOffset) {
    const double span = lastOffset - firstOffset;
    const double room = span < kShortestSpanSeconds ? kZeroSpanSeconds / 2 : span * kTimePadding;
    From = firstOffset - room;
    To = lastOffset + room;
    StepSeconds = TimeStepSeconds(To - From);
    const double anchorSeconds = anchor * kSecondsPerDay;
    FirstTick = static_cast<std::int64_t>(std::ceil((anchorSeconds + From) / StepSeconds));
    LastTick = std::min(static_cast<std::int64_t>(std::floor((anchorSeconds + To) / StepSeconds)),
                        FirstTick + 2 * kMostTimeTicks);
}

double TTimeAxis::TickOffset(std::int64_t tick) const {
    return static_cast<double>(tick) * StepSeconds - FAnchor * kSecondsPerDay;
}

TDateTime TTimeAxis::TickTime(std::int64_t tick) const {
    return static_cast<double>(tick) * StepSeconds / kSecondsPerDay;
}

std::string TTimeAxis::TickLabel(std::int64_t tick) const { return TimeLabel(TickTime(tick), StepSeconds); }

std::optional<std::string> TTimeAxis::TickDate(std::int64_t tick) const {
    if (StepSeconds >= kSecondsPerDay) return std::nullopt;
    std::string date = DateText(TickTime(tick));
    if (date == (tick == FirstTick ? std::string() : DateText(TickTime(tick - 1)))) return std::nullopt;
    return date;
}

std::string TTimeAxis::Caption() const {
    const std::string first = DateText(FAnchor + FFirstOffset / kSecondsPerDay);
    const std::string last = DateText(FAnchor + FLastOffset / kSecondsPerDay);
    return "UTC, " + first + (last == first ? "" : " to " + last);
}

std::string TimeLabel(TDateTime time, double stepSeconds) {
    if (stepSeconds >= kSecondsPerDay) return DateText(time);
    if (stepSeconds >= 60.0) return WideToUtf8(FormatByPattern(time, L"hh:nn").value_or(L""));
    const std::int32_t digits = stepSeconds >= 1.0 ? 0 : stepSeconds >= 0.1 ? 1 : stepSeconds >= 0.01 ? 2 : 3;
    return WideToUtf8(FormatTimeDecimals(time, L"hh:nn:ss", digits));
}

std::string DateText(TDateTime time) { return WideToUtf8(FormatByPattern(time, L"yyyy-mm-dd").value_or(L"")); }
