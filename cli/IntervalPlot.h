// The output interval of one log over UTC time, drawn as an SVG picture.
// The series behind it keeps fixed memory whatever the log's length; its
// cells stay finer than a pixel of the picture.
#pragma once

#include <string>
#include <string_view>

#include "cli/IntervalSeries.h"

// A self-contained UTF-8 SVG document of 1200 x 500 px showing the series;
// the title is the log's name and may hold any characters.
std::string IntervalSvg(const TIntervalSeries& series, std::wstring_view title);

// Collects the output interval of one log over UTC time and draws it as SVG.
class TIntervalPlot {
public:
    // Every accepted RMC time, in log order (see TIntervalSeries::AddTime).
    void AddTime(TDateTime time) { FSeries.AddTime(time); }
    // Every anomaly the checks reported (see TIntervalSeries::AddAnomaly).
    void AddAnomaly(const TAnomaly& anomaly) { FSeries.AddAnomaly(anomaly); }
    std::string Svg(std::wstring_view title) const { return IntervalSvg(FSeries, title); }

private:
    TIntervalSeries FSeries;
};
