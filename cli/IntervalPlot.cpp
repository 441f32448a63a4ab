#include "cli/IntervalPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "cli/PlotAxes.h"
#include "cli/SvgText.h"

namespace {

// The picture and its plot area, in pixels.
constexpr int kWidth = 1200, kHeight = 500;
constexpr int kPlotLeft = 92, kPlotRight = 1148, kPlotTop = 74, kPlotBottom = 410;
constexpr int kPlotWidth = kPlotRight - kPlotLeft, kPlotHeight = kPlotBottom - kPlotTop;
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
constexpr std::size_t kKinds = 3;
// Drawn in this order, so the small circles of repeated times stay on top.
constexpr TKindStyle kStyles[kKinds] = {
    {AnomalyKind::StepChanged, "interval-change", "interval change", "#009e73", "m0-5.5l5.5 5.5-5.5 5.5-5.5-5.5z"},
    {AnomalyKind::MovedBack, "moved-back", "moved back", "#d55e00", "m-5-4h10l-5 9z"},
    {AnomalyKind::SameTime, "same-time", "same time", "#0072b2", "m-4 0a4 4 0 1 0 8 0a4 4 0 1 0-8 0z"},
};

// Where values land: seconds from the anchor across, seconds of interval up.
struct TArea {
    TTimeAxis Times;
    TValueAxis Values;
    double X(double offsetSeconds) const {
        return kPlotLeft + (offsetSeconds - Times.From) / (Times.To - Times.From) * kPlotWidth;
    }
    double Y(double seconds) const {
        return kPlotBottom - (seconds - Values.Lo()) / (Values.Hi() - Values.Lo()) * kPlotHeight;
    }
};

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

// Title, count of times, legend, the plot area's frame and the interval caption.
void PutFrame(std::string& svg, std::wstring_view title, const TIntervalSeries& series) {
    Put(svg, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"", kWidth,
        "\" height=\"", kHeight, "\" viewBox=\"0 0 ", kWidth, ' ', kHeight,
        "\" font-family=\"sans-serif\" font-size=\"12\" fill=\"", kTextColour, "\">\n");
    const std::u32string name = XmlChars(title);
    const std::u32string shown =
        name.size() > kTitleChars ? U"\u2026" + name.substr(name.size() - (kTitleChars - 1)) : name;
    Put(svg, "<title>", XmlText(name), "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n");
    PutText(svg, 16, 26, " font-size=\"16\" font-weight=\"bold\"", XmlText(shown));
    const std::int64_t times = series.TimeCount(), pauses = series.PauseCount();
    PutText(svg, 16, 52, " fill=\"#666\"", Text(times, times == 1 ? " RMC time" : " RMC times"));

    // The legend, right-aligned above the plot area, at about 7 px per
    // character: the line, a gap in it when there are pauses, the markers.
    const std::string pauseText = Text("pause over ", static_cast<std::int64_t>(kPauseSeconds), " s (", pauses, ')');
    std::string texts[kKinds] = {};
    for (std::size_t k = 0; k < kKinds; ++k)
        texts[k] = Text(kStyles[k].Label, " (", series.AnomalyCount(kStyles[k].Kind), ')');
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
    PutText(svg, 22, middle, Text(" text-anchor=\"middle\" transform=\"rotate(-90 22 ", middle, ")\""), "interval (s)");
}

void PutMessage(std::string& svg, std::string_view message) {
    PutText(svg, (kPlotLeft + kPlotRight) / 2.0, (kPlotTop + kPlotBottom) / 2.0,
            " text-anchor=\"middle\" font-size=\"15\"", message);
}

// Grid lines and labels of both axes, and the caption of the time axis.
void PutAxes(std::string& svg, const TArea& area) {
    std::string grid = Text("<path fill=\"none\" stroke=\"", kGridColour, "\" d=\"");
    const TValueAxis& values = area.Values;
    for (std::int64_t tick = values.FirstTick; tick <= values.LastTick; ++tick) {
        const double y = area.Y(static_cast<double>(tick) * values.Step);
        if (tick != values.FirstTick && tick != values.LastTick) Put(grid, 'M', kPlotLeft, ' ', y, 'H', kPlotRight);
        PutText(svg, kPlotLeft - 6, y + 4, " text-anchor=\"end\"", values.Label(tick));
    }

    const TTimeAxis& times = area.Times;
    for (std::int64_t tick = times.FirstTick; tick <= times.LastTick; ++tick) {
        const double x = area.X(times.TickOffset(tick));
        Put(grid, 'M', x, ' ', kPlotTop, 'V', kPlotBottom);
        PutText(svg, x, kPlotBottom + 18, " text-anchor=\"middle\"", times.TickLabel(tick));
        if (const auto date = times.TickDate(tick))
            PutText(svg, x, kPlotBottom + 34, " text-anchor=\"middle\" fill=\"#666\"", *date);
    }
    Put(svg, grid, "\"/>\n");
    if (values.FirstTick < 0 && values.LastTick > 0)
        Put(svg, "<path d=\"M", kPlotLeft, ' ', area.Y(0.0), 'H', kPlotRight, "\" stroke=\"#999\"/>\n");
    PutText(svg, (kPlotLeft + kPlotRight) / 2.0, kHeight - 14, " text-anchor=\"middle\"", times.Caption());
}

// The interval: time cells merged into pixel columns, each drawn from its
// highest to its lowest interval so that a single spike stays visible.
void PutInterval(std::string& svg, const TArea& area, const TIntervalSeries& series) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct TColumn {
        double Min = kInf, Max = -kInf;
        bool PauseEnds = false;
    };
    std::vector<TColumn> columns(kPlotWidth);
    for (const TTimeCell& cell : series.Cells()) {
        const double x = area.X(cell.OffsetSeconds) - kPlotLeft;
        TColumn& column = columns[static_cast<std::size_t>(std::clamp(std::floor(x), 0.0, kPlotWidth - 1.0))];
        column.PauseEnds = column.PauseEnds || cell.PauseEnds;
        if (cell.Min > cell.Max) continue;
        column.Min = std::min(column.Min, cell.Min);
        column.Max = std::max(column.Max, cell.Max);
    }
    Put(svg, "<path id=\"interval\" fill=\"none\" stroke=\"", kLineColour,
        "\" stroke-width=\"1.2\" stroke-linejoin=\"round\" d=\"");
    int drawn = 0;
    bool pause = false;  // a pause ended since the last column drawn: the line starts anew
    double x = 0, y = 0;
    for (int c = 0; c < kPlotWidth; ++c) {
        const TColumn& column = columns[static_cast<std::size_t>(c)];
        pause = pause || column.PauseEnds;
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
void PutAnomalies(std::string& svg, const TArea& area, const TIntervalSeries& series) {
    for (const TKindStyle& style : kStyles) {
        Put(svg, "<path id=\"", style.Id, "\" fill=\"", style.Colour, "\" d=\"");
        TPixelSet taken;
        series.ForEachMark(style.Kind, [&](const TMarkCell& mark) {
            const double x = area.X(mark.OffsetSeconds), y = area.Y(mark.Seconds);
            if (taken.Take(x, y)) Put(svg, 'M', x, ' ', y, style.Shape);
        });
        svg += "\"/>\n";
    }
}

}  // namespace

std::string IntervalSvg(const TIntervalSeries& series, std::wstring_view title) {
    std::string svg;
    svg.reserve(64 * 1024);
    PutFrame(svg, title, series);
    if (!series.HasAnchor()) {
        PutMessage(svg, "no RMC times");
    } else {
        const TArea area{TTimeAxis(series.Anchor(), series.FirstOffsetSeconds(), series.LastOffsetSeconds()),
                         TValueAxis(series.HasValue(), series.LowSeconds(), series.HighSeconds())};
        PutAxes(svg, area);
        if (series.HasIntervals()) PutInterval(svg, area, series);
        if (series.TimeCount() == 1) PutMessage(svg, "one RMC time: no interval");
        if (series.HasMarks()) PutAnomalies(svg, area, series);
    }
    return svg += "</svg>\n";
}
