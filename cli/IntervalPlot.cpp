#include "cli/IntervalPlot.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "cli/SvgText.h"
#include "dates/FormatFixed.h"
#include "engine/TimeChecks.h"
#include "engine/WideText.h"

namespace {

// Cells widen only when what they hold outgrows the ring, so the times in
// use always span more than half of it: 4096 time cells keep a cell under
// half a pixel of the plot area's width, 1024 interval cells under a pixel of
// its height. Together about 1.6 MB, whatever the log.
constexpr std::int64_t kColumnCells = 4096;
constexpr std::int64_t kRowCells = 1024;
constexpr std::size_t kRowWords = kRowCells / 64;
constexpr std::size_t kKinds = 3;
constexpr std::size_t kColumnWords = kColumnCells / 64;

// The interval check takes a longer interval for a pause in the recording
// and reports nothing about it; the picture leaves a gap there.
constexpr double kPauseSeconds = kMaxReportedStepDays * kSecondsPerDay;

// 1899-12-30 (day 0) up to the end of 9999-12-31.
constexpr TDateTime kEndDay = 2958466.0;

// The picture and its plot area, in pixels.
constexpr int kWidth = 1200, kHeight = 500;
constexpr int kPlotLeft = 92, kPlotRight = 1148, kPlotTop = 74, kPlotBottom = 410;
constexpr int kPlotWidth = kPlotRight - kPlotLeft, kPlotHeight = kPlotBottom - kPlotTop;
// Empty room left and right of the times, as a share of their span.
constexpr double kTimePadding = 0.01;
// A span shorter than this is drawn as a minute around the times.
constexpr double kShortestSpanSeconds = 0.001;
constexpr double kZeroSpanSeconds = 60.0;
// Tick counts aimed at: labels up to 12 characters stay apart.
constexpr int kMostTimeTicks = 8;
constexpr int kValueTicks = 8;
// Longer titles keep their end, where a path has the log's file name.
constexpr std::size_t kTitleChars = 110;

constexpr const char* kLineColour = "#4d4d4d";
constexpr const char* kGridColour = "#e3e3e3";
constexpr const char* kTextColour = "#222";

// How each kind is drawn; shapes are paths relative to the marker's centre.
struct TKindStyle {
    AnomalyKind Kind;
    const char* Id;
    const char* Label;
    const char* Colour;
    const char* Shape;
};
// Drawn in this order, so the small circles of repeated times stay on top.
constexpr TKindStyle kStyles[kKinds] = {
    {AnomalyKind::StepChanged, "interval-change", "interval change", "#009e73",
     "m0-5.5l5.5 5.5-5.5 5.5-5.5-5.5z"},
    {AnomalyKind::MovedBack, "moved-back", "moved back", "#d55e00", "m-5-4h10l-5 9z"},
    {AnomalyKind::SameTime, "same-time", "same time", "#0072b2",
     "m-4 0a4 4 0 1 0 8 0a4 4 0 1 0-8 0z"},
};

// Index into kStyles; kKinds for a value outside the enumeration.
std::size_t StyleIndex(AnomalyKind kind) {
    for (std::size_t i = 0; i < kKinds; ++i)
        if (kStyles[i].Kind == kind) return i;
    return kKinds;
}

bool Usable(TDateTime time) { return time >= 0.0 && time < kEndDay; }

std::int64_t FloorHalf(std::int64_t i) { return i >= 0 ? i / 2 : -((1 - i) / 2); }

std::size_t Slot(std::int64_t index, std::int64_t capacity) {
    return static_cast<std::size_t>(static_cast<std::uint64_t>(index) &
                                    static_cast<std::uint64_t>(capacity - 1));
}

bool BitAt(const std::vector<std::uint64_t>& bits, std::int64_t column) {
    const std::size_t slot = Slot(column, kColumnCells);
    return !bits.empty() && (bits[slot / 64] >> (slot % 64) & 1u) != 0;
}

void SetBit(std::vector<std::uint64_t>& bits, std::int64_t column) {
    const std::size_t slot = Slot(column, kColumnCells);
    bits[slot / 64] |= std::uint64_t{1} << (slot % 64);
}

std::size_t MarkWord(std::size_t kind, std::int64_t column) {
    return (kind * kColumnCells + Slot(column, kColumnCells)) * kRowWords;
}

std::string Ascii(const std::wstring& text) { return WideToUtf8(text); }

// ---- Axes

// The smallest of 1, 2 or 5 times a power of ten that is at least raw (> 0).
double NiceStep(double raw) {
    double step = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * step >= raw * (1.0 - 1e-9)) return m * step;
    }
    return 10.0 * step;
}

struct TScale {
    double From, To, PxFrom, PxTo;
    double operator()(double v) const { return PxFrom + (v - From) / (To - From) * (PxTo - PxFrom); }
};

// The interval axis: from min(0, low) to high, widened to whole steps.
struct TValueAxis {
    std::int64_t FirstTick = 0, LastTick = 1;  // tick k stands at k * Step
    double Step = 1.0;
    int Decimals = 0;

    TValueAxis(bool any, double low, double high) {
        double lo = any ? std::min(0.0, low) : 0.0;
        double hi = any ? std::max(0.0, high) : 1.0;
        if (!(hi > lo)) hi = lo + 1.0;
        Step = NiceStep((hi - lo) / kValueTicks);
        FirstTick = static_cast<std::int64_t>(std::floor(lo / Step * (1.0 + 1e-12)));
        LastTick = static_cast<std::int64_t>(std::ceil(hi / Step * (1.0 - 1e-12)));
        if (LastTick <= FirstTick) LastTick = FirstTick + 1;
        Decimals = std::max(0, -static_cast<int>(std::floor(std::log10(Step) + 1e-9)));
    }
    double Lo() const { return static_cast<double>(FirstTick) * Step; }
    double Hi() const { return static_cast<double>(LastTick) * Step; }
    std::string Label(std::int64_t tick) const {
        std::wstring format = L"%.";
        format += std::to_wstring(std::min(Decimals, 18));
        format += L'f';
        return Ascii(FormatFixed(format, static_cast<double>(tick) * Step));
    }
};

// Tick spacing of the time axis, in seconds, for at most kMostTimeTicks ticks.
double TimeStepSeconds(double spanSeconds) {
    static constexpr double kSteps[] = {
        0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30,
        60, 120, 300, 600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
    for (const double step : kSteps)
        if (spanSeconds / step <= kMostTimeTicks) return step;
    return NiceStep(spanSeconds / kSecondsPerDay / kMostTimeTicks) * kSecondsPerDay;
}

std::string TimeLabel(TDateTime time, double stepSeconds) {
    if (stepSeconds >= kSecondsPerDay) return Ascii(FormatByPattern(time, L"yyyy-mm-dd").value_or(L""));
    if (stepSeconds >= 60.0) return Ascii(FormatByPattern(time, L"hh:nn").value_or(L""));
    const std::int32_t digits = stepSeconds >= 1.0 ? 0 : stepSeconds >= 0.1 ? 1 : stepSeconds >= 0.01 ? 2 : 3;
    return Ascii(FormatTimeDecimals(time, L"hh:nn:ss", digits));
}

std::string DateText(TDateTime time) { return Ascii(FormatByPattern(time, L"yyyy-mm-dd").value_or(L"")); }

// One marker per pixel of the plot area, for one kind at a time.
class TPixelSet {
public:
    TPixelSet() : FBits(static_cast<std::size_t>(kPlotWidth + 1) * (kPlotHeight + 1)) {}
    // True iff the pixel of (x, y) was free; clamped into the plot area.
    bool Take(double x, double y) {
        const auto col = static_cast<std::size_t>(std::clamp(std::floor(x) - kPlotLeft, 0.0, double{kPlotWidth}));
        const auto row = static_cast<std::size_t>(std::clamp(std::floor(y) - kPlotTop, 0.0, double{kPlotHeight}));
        const std::size_t at = row * (kPlotWidth + 1) + col;
        if (FBits[at]) return false;
        FBits[at] = true;
        return true;
    }

private:
    std::vector<bool> FBits;
};

}  // namespace

// ---- Collecting

bool TIntervalPlot::TCells::Fits(double value, std::int64_t capacity, std::int64_t& index) const {
    index = static_cast<std::int64_t>(std::floor(value / Width));
    if (Lo > Hi) return true;
    return std::max(Hi, index) - std::min(Lo, index) < capacity;
}

void TIntervalPlot::TCells::Use(std::int64_t index) {
    if (Lo > Hi) {
        Lo = Hi = index;
    } else {
        Lo = std::min(Lo, index);
        Hi = std::max(Hi, index);
    }
}

std::int64_t TIntervalPlot::TakeColumn(double offsetSeconds) {
    std::int64_t index = 0;
    while (!FColumns.Fits(offsetSeconds, kColumnCells, index)) WidenColumns();
    FColumns.Use(index);
    return index;
}

std::int64_t TIntervalPlot::TakeRow(double seconds) {
    std::int64_t index = 0;
    while (!FRows.Fits(seconds, kRowCells, index)) WidenRows();
    FRows.Use(index);
    return index;
}

// Pairs of time cells become one cell of twice the width.
void TIntervalPlot::WidenColumns() {
    const TCells old = FColumns;
    FColumns.Width *= 2.0;
    FColumns.Lo = FloorHalf(old.Lo);
    FColumns.Hi = FloorHalf(old.Hi);
    if (old.Lo > old.Hi) return;
    if (!FBuckets.empty()) {
        std::vector<TBucket> wider(FBuckets.size(), TBucket{std::numeric_limits<double>::infinity(),
                                                            -std::numeric_limits<double>::infinity()});
        for (std::int64_t i = old.Lo; i <= old.Hi; ++i) {
            const TBucket& from = FBuckets[Slot(i, kColumnCells)];
            TBucket& to = wider[Slot(FloorHalf(i), kColumnCells)];
            to.Min = std::min(to.Min, from.Min);
            to.Max = std::max(to.Max, from.Max);
        }
        FBuckets.swap(wider);
    }
    if (!FMarks.empty()) {
        std::vector<std::uint64_t> wider(FMarks.size(), 0);
        for (std::size_t kind = 0; kind < kKinds; ++kind) {
            for (std::int64_t i = old.Lo; i <= old.Hi; ++i) {
                const std::size_t from = MarkWord(kind, i), to = MarkWord(kind, FloorHalf(i));
                for (std::size_t w = 0; w < kRowWords; ++w) wider[to + w] |= FMarks[from + w];
            }
        }
        FMarks.swap(wider);
    }
    if (!FPauseEnds.empty()) {
        std::vector<std::uint64_t> wider(kColumnWords, 0);
        for (std::int64_t i = old.Lo; i <= old.Hi; ++i)
            if (BitAt(FPauseEnds, i)) SetBit(wider, FloorHalf(i));
        FPauseEnds.swap(wider);
    }
}

// Pairs of interval cells become one cell of twice the height.
void TIntervalPlot::WidenRows() {
    const TCells old = FRows;
    FRows.Width *= 2.0;
    FRows.Lo = FloorHalf(old.Lo);
    FRows.Hi = FloorHalf(old.Hi);
    if (old.Lo > old.Hi || FMarks.empty() || FColumns.Lo > FColumns.Hi) return;
    const std::size_t loSlot = Slot(old.Lo, kRowCells);
    for (std::size_t kind = 0; kind < kKinds; ++kind) {
        for (std::int64_t i = FColumns.Lo; i <= FColumns.Hi; ++i) {
            std::uint64_t* words = &FMarks[MarkWord(kind, i)];
            std::array<std::uint64_t, kRowWords> bits;
            std::copy(words, words + kRowWords, bits.begin());
            std::fill(words, words + kRowWords, 0);
            for (std::size_t w = 0; w < kRowWords; ++w) {
                for (std::uint64_t set = bits[w]; set != 0; set &= set - 1) {
                    const std::size_t slot = w * 64 + static_cast<std::size_t>(std::countr_zero(set));
                    const std::int64_t row = old.Lo + static_cast<std::int64_t>((slot - loSlot) & (kRowCells - 1));
                    const std::size_t to = Slot(FloorHalf(row), kRowCells);
                    words[to / 64] |= std::uint64_t{1} << (to % 64);
                }
            }
        }
    }
}

void TIntervalPlot::NoteTime(TDateTime time) {
    if (!FHasAnchor) {
        FHasAnchor = true;
        FAnchor = time;
    }
    const double offset = (time - FAnchor) * kSecondsPerDay;
    FFirstOffset = std::min(FFirstOffset, offset);
    FLastOffset = std::max(FLastOffset, offset);
}

void TIntervalPlot::NoteValue(double seconds) {
    FLowSeconds = FHasValue ? std::min(FLowSeconds, seconds) : seconds;
    FHighSeconds = FHasValue ? std::max(FHighSeconds, seconds) : seconds;
    FHasValue = true;
}

void TIntervalPlot::AddTime(TDateTime time) {
    if (!Usable(time)) return;
    NoteTime(time);
    ++FTimeCount;
    if (FHasPrev) AddInterval(time, (time - FPrevTime) * kSecondsPerDay);
    FHasPrev = true;
    FPrevTime = time;
}

// A pause is kept as the end of a line, not as a value.
void TIntervalPlot::AddInterval(TDateTime time, double seconds) {
    const std::int64_t column = TakeColumn((time - FAnchor) * kSecondsPerDay);
    if (seconds > kPauseSeconds) {
        if (FPauseEnds.empty()) FPauseEnds.assign(kColumnWords, 0);
        SetBit(FPauseEnds, column);
        ++FPauseCount;
        return;
    }
    if (FBuckets.empty())
        FBuckets.assign(kColumnCells, TBucket{std::numeric_limits<double>::infinity(),
                                              -std::numeric_limits<double>::infinity()});
    TBucket& bucket = FBuckets[Slot(column, kColumnCells)];
    bucket.Min = std::min(bucket.Min, seconds);
    bucket.Max = std::max(bucket.Max, seconds);
    NoteValue(seconds);
}

void TIntervalPlot::AddAnomaly(const TAnomaly& anomaly) {
    const std::size_t kind = StyleIndex(anomaly.Kind);
    if (kind == kKinds || !Usable(anomaly.NewTime) || !Usable(anomaly.Time)) return;
    const double seconds = (anomaly.NewTime - anomaly.Time) * kSecondsPerDay;
    NoteTime(anomaly.NewTime);
    NoteValue(seconds);
    const std::int64_t column = TakeColumn((anomaly.NewTime - FAnchor) * kSecondsPerDay);
    const std::int64_t row = TakeRow(seconds);
    if (FMarks.empty()) FMarks.assign(kKinds * kColumnCells * kRowWords, 0);
    const std::size_t bit = Slot(row, kRowCells);
    FMarks[MarkWord(kind, column) + bit / 64] |= std::uint64_t{1} << (bit % 64);
    ++FAnomalyCounts[kind];
}

// ---- Drawing

// Where values land: seconds from the anchor across, seconds of interval up.
struct TIntervalPlot::TArea {
    double From, To;  // seconds from the anchor at the left and the right edge
    TValueAxis Values;
    double X(double offsetSeconds) const { return kPlotLeft + (offsetSeconds - From) / (To - From) * kPlotWidth; }
    double Y(double seconds) const {
        return kPlotBottom - (seconds - Values.Lo()) / (Values.Hi() - Values.Lo()) * kPlotHeight;
    }
};

namespace {

// Title, count of times, legend, the plot area's frame and the interval caption.
void PutFrame(std::string& svg, std::wstring_view title, std::int64_t times,
              const std::array<std::int64_t, kKinds>& counts, std::int64_t pauses) {
    Put(svg, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"",
        kWidth, "\" height=\"", kHeight, "\" viewBox=\"0 0 ", kWidth, ' ', kHeight,
        "\" font-family=\"sans-serif\" font-size=\"12\" fill=\"", kTextColour, "\">\n");
    const std::u32string name = XmlChars(title);
    const std::u32string shown =
        name.size() > kTitleChars ? U"\u2026" + name.substr(name.size() - (kTitleChars - 1)) : name;
    Put(svg, "<title>", XmlText(name), "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n");
    PutText(svg, 16, 26, " font-size=\"16\" font-weight=\"bold\"", XmlText(shown));
    PutText(svg, 16, 52, " fill=\"#666\"", Text(times, times == 1 ? " RMC time" : " RMC times"));

    // The legend, right-aligned above the plot area, at about 7 px per
    // character: the line, a gap in it when there are pauses, the markers.
    const std::string pauseText = Text("pause over ", static_cast<std::int64_t>(kPauseSeconds), " s (", pauses, ')');
    std::string texts[kKinds] = {};
    for (std::size_t k = 0; k < kKinds; ++k) texts[k] = Text(kStyles[k].Label, " (", counts[k], ')');
    const auto itemWidth = [](std::string_view text) { return 44.0 + 7.0 * static_cast<double>(text.size()); };
    double x = kPlotRight + 18.0 - itemWidth("interval") - (pauses > 0 ? itemWidth(pauseText) : 0.0);
    for (const std::string& text : texts) x -= itemWidth(text);
    Put(svg, "<path d=\"M", x, " 48h20\" fill=\"none\" stroke=\"", kLineColour, "\" stroke-width=\"1.5\"/>\n");
    PutText(svg, x + 26, 52, "", "interval");
    x += itemWidth("interval");
    if (pauses > 0) {
        Put(svg, "<path d=\"M", x, " 48h7m6 0h7\" fill=\"none\" stroke=\"", kLineColour, "\" stroke-width=\"1.5\"/>\n");
        PutText(svg, x + 26, 52, "", pauseText);
        x += itemWidth(pauseText);
    }
    for (std::size_t k = 0; k < kKinds; ++k) {
        Put(svg, "<path d=\"M", x + 10, " 48", kStyles[k].Shape, "\" fill=\"", kStyles[k].Colour, "\"/>\n");
        PutText(svg, x + 26, 52, "", texts[k]);
        x += itemWidth(texts[k]);
    }

    Put(svg, "<rect x=\"", kPlotLeft, "\" y=\"", kPlotTop, "\" width=\"", kPlotWidth, "\" height=\"", kPlotHeight,
        "\" fill=\"none\" stroke=\"#999\"/>\n");
    const double middle = (kPlotTop + kPlotBottom) / 2.0;
    PutText(svg, 22, middle, Text(" text-anchor=\"middle\" transform=\"rotate(-90 22 ", middle, ")\""),
            "interval (s)");
}

void PutMessage(std::string& svg, std::string_view message) {
    PutText(svg, (kPlotLeft + kPlotRight) / 2.0, (kPlotTop + kPlotBottom) / 2.0,
            " text-anchor=\"middle\" font-size=\"15\"", message);
}

}  // namespace

// The times seen with a little room either side, and the intervals from
// min(0, lowest) to the highest.
TIntervalPlot::TArea TIntervalPlot::Area() const {
    double from = FFirstOffset, to = FLastOffset;
    const double room = to - from < kShortestSpanSeconds ? kZeroSpanSeconds / 2 : (to - from) * kTimePadding;
    return TArea{from - room, to + room, TValueAxis(FHasValue, FLowSeconds, FHighSeconds)};
}

// Grid lines and labels of both axes. Time ticks fall on whole steps of UTC,
// with the date under the first tick and wherever the day changes.
void TIntervalPlot::PutAxes(std::string& svg, const TArea& area) const {
    std::string grid = Text("<path fill=\"none\" stroke=\"", kGridColour, "\" d=\"");
    const TValueAxis& values = area.Values;
    for (std::int64_t tick = values.FirstTick; tick <= values.LastTick; ++tick) {
        const double y = area.Y(static_cast<double>(tick) * values.Step);
        if (tick != values.FirstTick && tick != values.LastTick) Put(grid, 'M', kPlotLeft, ' ', y, 'H', kPlotRight);
        PutText(svg, kPlotLeft - 6, y + 4, " text-anchor=\"end\"", values.Label(tick));
    }

    const double step = TimeStepSeconds(area.To - area.From);
    const double anchorSeconds = FAnchor * kSecondsPerDay;
    const auto firstTick = static_cast<std::int64_t>(std::ceil((anchorSeconds + area.From) / step));
    const auto lastTick = static_cast<std::int64_t>(std::floor((anchorSeconds + area.To) / step));
    std::string previousDate;
    for (std::int64_t tick = firstTick; tick <= lastTick && tick - firstTick <= 2 * kMostTimeTicks; ++tick) {
        const double seconds = static_cast<double>(tick) * step;
        const double x = area.X(seconds - anchorSeconds);
        Put(grid, 'M', x, ' ', kPlotTop, 'V', kPlotBottom);
        const TDateTime time = seconds / kSecondsPerDay;
        PutText(svg, x, kPlotBottom + 18, " text-anchor=\"middle\"", TimeLabel(time, step));
        const std::string date = DateText(time);
        if (step < kSecondsPerDay && date != previousDate)
            PutText(svg, x, kPlotBottom + 34, " text-anchor=\"middle\" fill=\"#666\"", date);
        previousDate = date;
    }
    Put(svg, grid, "\"/>\n");
    if (values.FirstTick < 0 && values.LastTick > 0)
        Put(svg, "<path d=\"M", kPlotLeft, ' ', area.Y(0.0), 'H', kPlotRight, "\" stroke=\"#999\"/>\n");

    const std::string firstDate = DateText(FAnchor + FFirstOffset / kSecondsPerDay);
    const std::string lastDate = DateText(FAnchor + FLastOffset / kSecondsPerDay);
    PutText(svg, (kPlotLeft + kPlotRight) / 2.0, kHeight - 14, " text-anchor=\"middle\"",
            Text("UTC, ", firstDate, lastDate == firstDate ? "" : " to ", lastDate == firstDate ? "" : lastDate));
}

// The interval: time cells merged into pixel columns, each drawn from its
// highest to its lowest interval so that a single spike stays visible.
void TIntervalPlot::PutInterval(std::string& svg, const TArea& area) const {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    std::vector<TBucket> columns(kPlotWidth, TBucket{kInf, -kInf});
    std::vector<bool> pauseEnds(kPlotWidth, false);
    for (std::int64_t i = FColumns.Lo; i <= FColumns.Hi; ++i) {
        const double x = area.X((static_cast<double>(i) + 0.5) * FColumns.Width) - kPlotLeft;
        const auto c = static_cast<std::size_t>(std::clamp(std::floor(x), 0.0, kPlotWidth - 1.0));
        if (BitAt(FPauseEnds, i)) pauseEnds[c] = true;
        const TBucket& bucket = FBuckets[Slot(i, kColumnCells)];
        if (bucket.Min > bucket.Max) continue;
        TBucket& column = columns[c];
        column.Min = std::min(column.Min, bucket.Min);
        column.Max = std::max(column.Max, bucket.Max);
    }
    Put(svg, "<path id=\"interval\" fill=\"none\" stroke=\"", kLineColour,
        "\" stroke-width=\"1.2\" stroke-linejoin=\"round\" d=\"");
    int drawn = 0;
    bool pause = false;   // a pause ended since the last column drawn: the line starts anew
    double x = 0, y = 0;
    for (int c = 0; c < kPlotWidth; ++c) {
        const TBucket& column = columns[static_cast<std::size_t>(c)];
        pause = pause || pauseEnds[static_cast<std::size_t>(c)];
        if (column.Min > column.Max) continue;
        x = kPlotLeft + c + 0.5;
        y = area.Y(column.Max);
        Put(svg, drawn++ == 0 || pause ? 'M' : 'L', x, ' ', y);
        pause = false;
        if (area.Y(column.Min) - y >= 0.05) Put(svg, 'V', area.Y(column.Min));
    }
    svg += "\"/>\n";
    if (drawn == 1)  // a lone column would be a line of no length
        Put(svg, "<circle r=\"2.5\" fill=\"", kLineColour, "\" cx=\"", x, "\" cy=\"", y, "\"/>\n");
}

// One marker per kind and pixel, each starting "M x y" at its centre.
void TIntervalPlot::PutAnomalies(std::string& svg, const TArea& area) const {
    const std::size_t loRowSlot = Slot(FRows.Lo, kRowCells);
    for (std::size_t k = 0; k < kKinds; ++k) {
        const TKindStyle& style = kStyles[k];
        Put(svg, "<path id=\"", style.Id, "\" fill=\"", style.Colour, "\" d=\"");
        TPixelSet taken;
        for (std::int64_t i = FColumns.Lo; i <= FColumns.Hi; ++i) {
            const std::size_t first = MarkWord(k, i);
            const double x = area.X((static_cast<double>(i) + 0.5) * FColumns.Width);
            for (std::size_t w = 0; w < kRowWords; ++w) {
                for (std::uint64_t set = FMarks[first + w]; set != 0; set &= set - 1) {
                    const std::size_t slot = w * 64 + static_cast<std::size_t>(std::countr_zero(set));
                    const std::int64_t row = FRows.Lo + static_cast<std::int64_t>((slot - loRowSlot) & (kRowCells - 1));
                    const double y = area.Y((static_cast<double>(row) + 0.5) * FRows.Width);
                    if (taken.Take(x, y)) Put(svg, 'M', x, ' ', y, style.Shape);
                }
            }
        }
        svg += "\"/>\n";
    }
}

std::string TIntervalPlot::Svg(std::wstring_view title) const {
    std::string svg;
    svg.reserve(64 * 1024);
    PutFrame(svg, title, FTimeCount, FAnomalyCounts, FPauseCount);
    if (!FHasAnchor) {
        PutMessage(svg, "no RMC times");
    } else {
        const TArea area = Area();
        PutAxes(svg, area);
        if (!FBuckets.empty()) PutInterval(svg, area);
        if (FTimeCount == 1) PutMessage(svg, "one RMC time: no interval");
        if (!FMarks.empty()) PutAnomalies(svg, area);
    }
    return svg += "</svg>\n";
}
