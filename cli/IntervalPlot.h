// The output interval of one log over UTC time, drawn as an SVG picture.
// Memory stays fixed whatever the log's length: intervals are kept as the
// lowest and highest value per time cell, anomalies as one bit per kind and
// cell, and cells double in width (or height) when the data outgrows them,
// so they stay finer than a pixel of the picture.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dates/DateTime.h"
#include "engine/Anomaly.h"

// Collects the output interval of one log over UTC time and draws it as SVG.
class TIntervalPlot {
public:
    // Every accepted RMC time, in log order. The interval of a time is its
    // distance in seconds from the time before (negative when time moved
    // back); one longer than the interval check's 600 s is a pause, drawn as
    // a gap in the line and counted in the legend. Times before 1899-12-30,
    // after 9999-12-31 or not finite are left out.
    void AddTime(TDateTime time);
    // Every anomaly the checks reported, drawn at NewTime with the interval
    // NewTime - Time in seconds. Anomalies with unusable times are left out.
    void AddAnomaly(const TAnomaly& anomaly);
    // A self-contained UTF-8 SVG document of 1200 x 500 px; the title is the
    // log's name and may hold any characters.
    std::string Svg(std::wstring_view title) const;

private:
    // Lowest and highest interval in one time cell; Min > Max while empty.
    struct TBucket {
        double Min;
        double Max;
    };
    // Cells of one axis: a value falls in cell floor(value / Width). Fewer
    // than a fixed capacity of consecutive cells are in use at a time, so
    // they are stored in a ring, by index modulo the capacity.
    struct TCells {
        double Width = 1.0 / 1048576.0;  // seconds; starts near a microsecond, then doubles
        std::int64_t Lo = 0, Hi = -1;    // cells in use; none while Lo > Hi
        // The cell of value; false when it and the cells in use span more than capacity.
        bool Fits(double value, std::int64_t capacity, std::int64_t& index) const;
        void Use(std::int64_t index);
    };

    struct TArea;  // where values land in the picture

    TArea Area() const;
    void PutAxes(std::string& svg, const TArea& area) const;
    void PutInterval(std::string& svg, const TArea& area) const;
    void PutAnomalies(std::string& svg, const TArea& area) const;
    std::int64_t TakeColumn(double offsetSeconds);
    std::int64_t TakeRow(double seconds);
    void WidenColumns();
    void WidenRows();
    void AddInterval(TDateTime time, double seconds);
    void NoteTime(TDateTime time);
    void NoteValue(double seconds);

    bool FHasAnchor = false;
    TDateTime FAnchor = 0.0;           // the first usable time; offsets count from it
    double FFirstOffset = 0.0;         // earliest and latest time, seconds from FAnchor
    double FLastOffset = 0.0;
    bool FHasPrev = false;
    TDateTime FPrevTime = 0.0;
    std::int64_t FTimeCount = 0;
    bool FHasValue = false;            // lowest and highest interval of times and anomalies
    double FLowSeconds = 0.0;
    double FHighSeconds = 0.0;
    std::array<std::int64_t, 3> FAnomalyCounts{};
    std::int64_t FPauseCount = 0;

    TCells FColumns;                   // time cells, shared by intervals and anomalies
    TCells FRows;                      // interval cells of the anomalies
    std::vector<TBucket> FBuckets;     // one per time cell, from the first interval on
    std::vector<std::uint64_t> FMarks; // bits [kind][time cell][row], from the first anomaly on
    std::vector<std::uint64_t> FPauseEnds;  // bit per time cell: a pause ends there; from the first pause on
};
