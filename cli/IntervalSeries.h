// The output interval of one log over UTC time, in fixed memory whatever the
// log's length: intervals are kept as the lowest and highest value per time
// cell, anomalies as one bit per kind and cell, the ends of pauses as one bit
// per time cell. Cells double in width (or height) when the data outgrows
// them; fewer than kColumnCells time cells and kRowCells interval cells are
// in use at a time.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "dates/DateTime.h"
#include "engine/Anomaly.h"
#include "engine/TimeChecks.h"

// The interval check takes a longer interval for a pause in the recording
// and reports nothing about it.
inline constexpr double kPauseSeconds = kMaxReportedStepDays * kSecondsPerDay;

// One time cell in use. Offsets count in seconds from the series' anchor.
struct TTimeCell {
    double OffsetSeconds;  // the middle of the cell
    double Min, Max;       // lowest and highest interval in it, seconds; Min > Max when it holds none
    bool PauseEnds;        // a pause ended in it
};

// One anomaly cell that holds an anomaly, at the middle of the cell.
struct TMarkCell {
    double OffsetSeconds;  // time, seconds from the anchor
    double Seconds;        // interval, NewTime - Time
};

class TIntervalSeries {
public:
    static constexpr std::int64_t kColumnCells = 4096;
    static constexpr std::int64_t kRowCells = 1024;

    // Every accepted RMC time, in log order. The interval of a time is its
    // distance in seconds from the time before (negative when time moved
    // back); one longer than kPauseSeconds is a pause, counted and kept as
    // the end of a line, not as a value. Times before 1899-12-30, after
    // 9999-12-31 or not finite are left out.
    void AddTime(TDateTime time);
    // Every anomaly the checks reported, kept at NewTime with the interval
    // NewTime - Time in seconds. Anomalies with unusable times or of no known
    // kind are left out.
    void AddAnomaly(const TAnomaly& anomaly);

    // True once a usable time (of a time or an anomaly) came in.
    bool HasAnchor() const { return FHasAnchor; }
    // The first usable time; offsets count from it.
    TDateTime Anchor() const { return FAnchor; }
    // Earliest and latest usable time, seconds from the anchor; 0 without any.
    double FirstOffsetSeconds() const { return FFirstOffset; }
    double LastOffsetSeconds() const { return FLastOffset; }
    // Lowest and highest interval of times and anomalies, pauses left out;
    // HasValue() is false while there is none.
    bool HasValue() const { return FHasValue; }
    double LowSeconds() const { return FLowSeconds; }
    double HighSeconds() const { return FHighSeconds; }

    std::int64_t TimeCount() const { return FTimeCount; }
    std::int64_t PauseCount() const { return FPauseCount; }
    // 0 for a value outside the enumeration.
    std::int64_t AnomalyCount(AnomalyKind kind) const;

    // True iff an interval that is not a pause came in.
    bool HasIntervals() const { return !FBuckets.empty(); }
    // True iff an anomaly was kept.
    bool HasMarks() const { return !FMarks.empty(); }
    // Width of a time cell and height of an interval cell, seconds.
    double ColumnSeconds() const { return FColumns.Width; }
    double RowSeconds() const { return FRows.Width; }
    // The time cells in use, early to late.
    std::vector<TTimeCell> Cells() const;
    // The cells holding an anomaly of this kind: time cells early to late,
    // within one in the order they are stored.
    void ForEachMark(AnomalyKind kind, const std::function<void(const TMarkCell&)>& visit) const;

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

    std::int64_t TakeColumn(double offsetSeconds);
    std::int64_t TakeRow(double seconds);
    void WidenColumns();
    void WidenRows();
    void AddInterval(TDateTime time, double seconds);
    void NoteTime(TDateTime time);
    void NoteValue(double seconds);

    bool FHasAnchor = false;
    TDateTime FAnchor = 0.0;
    double FFirstOffset = 0.0;
    double FLastOffset = 0.0;
    bool FHasPrev = false;
    TDateTime FPrevTime = 0.0;
    std::int64_t FTimeCount = 0;
    bool FHasValue = false;
    double FLowSeconds = 0.0;
    double FHighSeconds = 0.0;
    std::array<std::int64_t, 3> FAnomalyCounts{};
    std::int64_t FPauseCount = 0;

    TCells FColumns;                        // time cells, shared by intervals and anomalies
    TCells FRows;                           // interval cells of the anomalies
    std::vector<TBucket> FBuckets;          // one per time cell, from the first interval on
    std::vector<std::uint64_t> FMarks;      // bits [kind][time cell][row], from the first anomaly on
    std::vector<std::uint64_t> FPauseEnds;  // bit per time cell: a pause ends there; from the first pause on
};
