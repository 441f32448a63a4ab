#include "cli/IntervalPlot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/cli/PlotFeed.h"

namespace {

bool Has(const std::string& svg, const std::string& text) { return svg.find(text) != std::string::npos; }

struct Point {
    double X, Y;
};

// The M, L and V points of the path with this id. Markers start with "M x y"
// at their centre; their relative shapes are skipped.
std::vector<Point> PathPoints(const std::string& svg, const std::string& id) {
    std::vector<Point> points;
    const auto at = svg.find("id=\"" + id + "\"");
    if (at == std::string::npos) return points;
    for (const char* p = svg.c_str() + svg.find(" d=\"", at) + 4; *p != '"';) {
        const char command = *p++;
        char* end = nullptr;
        if (command == 'M' || command == 'L') {
            const double x = std::strtod(p, &end);
            points.push_back({x, std::strtod(end, &end)});
            p = end;
        } else if (command == 'V') {
            points.push_back({points.back().X, std::strtod(p, &end)});
            p = end;
        }
    }
    return points;
}

// The height of a label of the interval axis ("60", "-10", "0.0").
double ValueTickY(const std::string& svg, const std::string& label) {
    const auto at = svg.find("text-anchor=\"end\">" + label + "</text>");
    if (at == std::string::npos) return std::nan("");
    return std::strtod(svg.c_str() + svg.rfind(" y=\"", at) + 4, nullptr) - 4.0;
}

// Empty when svg is well-formed as far as this writer goes: valid UTF-8
// without control characters, entities only as &amp; &lt; &gt; &quot;, no
// "<" or ">" outside tags, elements balanced under one <svg>, no number that
// is not finite and nothing that reaches outside the file.
std::string XmlFault(const std::string& svg) {
    for (std::size_t i = 0, length = 1; i < svg.size(); i += length) {
        const auto b = static_cast<unsigned char>(svg[i]);
        length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (length == 0 || (b < 0x20 && b != '\n')) return "byte " + std::to_string(i);
        for (std::size_t k = 1; k < length; ++k)
            if (i + k >= svg.size() || (static_cast<unsigned char>(svg[i + k]) & 0xC0) != 0x80) return "UTF-8";
    }
    for (const char* word : {"nan", "NaN", "inf", "<script", "href", "url(", "@import"})
        if (Has(svg, word)) return std::string("holds ") + word;
    std::vector<std::string> open;
    for (std::size_t i = svg.find("<svg"); i < svg.size(); i = svg.find_first_of("<>&", i + 1)) {
        if (svg[i] == '&') {
            if (svg.compare(i, 5, "&amp;") && svg.compare(i, 4, "&lt;") && svg.compare(i, 4, "&gt;") &&
                svg.compare(i, 6, "&quot;"))
                return "raw & at " + std::to_string(i);
            continue;
        }
        const std::size_t end = svg.find('>', i);  // attribute values never hold < or >
        if (svg[i] == '>' || svg.find('<', i + 1) < end) return "stray < or > at " + std::to_string(i);
        const bool closing = svg[i + 1] == '/';
        const std::size_t name = i + (closing ? 2 : 1);
        const std::string tag = svg.substr(name, svg.find_first_of(" />", name) - name);
        if (closing && (open.empty() || open.back() != tag)) return "</" + tag + "> unmatched";
        if (closing) open.pop_back();
        else if (svg[end - 1] != '/') open.push_back(tag);
        if (open.empty() && svg.find('<', end) != std::string::npos) return "a second root";
        i = end;
    }
    return open.empty() ? "" : "<" + open.back() + "> left open";
}

TEST(IntervalPlotSvg, EscapesTitlesOfAnyCharacters) {
    TIntervalPlot plot;
    Feed(plot, At(12), 10, 1.0);
    const struct {
        std::wstring Title;
        std::string Shown;
    } rows[] = {
        {L"a&b<c>\"d\".nmea", "a&amp;b&lt;c&gt;&quot;d&quot;.nmea"},
        {L"a]]>b", "a]]&gt;b"},
        {L"\u65e5\u672c.nmea", "\xe6\x97\xa5\xe6\x9c\xac.nmea"},
        {L"smile\U0001F600.log", "smile\xf0\x9f\x98\x80.log"},
        // what XML cannot carry becomes U+FFFD
        {std::wstring(L"a\x01"
                      L"b\tc\nd\x7f"
                      L"e",
                      9),
         "a\xef\xbf\xbd"
         "b\xef\xbf\xbd"
         "c\xef\xbf\xbd"
         "d\xef\xbf\xbd"
         "e"},
        {L"byte\xDC80.nmea", "byte\xef\xbf\xbd.nmea"},  // an undecodable name byte
        {L"half\xD800.nmea", "half\xef\xbf\xbd.nmea"},  // an unpaired surrogate
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.Shown));
        const std::string svg = plot.Svg(r.Title);
        EXPECT_EQ(XmlFault(svg), "");
        EXPECT_TRUE(Has(svg, "<title>" + r.Shown + "</title>"));
        EXPECT_TRUE(Has(svg, ">" + r.Shown + "</text>"));
    }
}

TEST(IntervalPlotSvg, LongTitleShowsItsEnd) {
    const std::string svg = TIntervalPlot().Svg(std::wstring(300, L'x') + L"\\logs\\day.nmea");
    EXPECT_TRUE(Has(svg, "<title>" + std::string(300, 'x') + "\\logs\\day.nmea</title>"));
    const auto shown = svg.find(">\xe2\x80\xa6x");  // an ellipsis, then the end
    ASSERT_NE(shown, std::string::npos);
    EXPECT_EQ(svg.substr(shown + 4, svg.find("</text>", shown) - shown - 4), std::string(95, 'x') + "\\logs\\day.nmea");
}

TEST(IntervalPlotSvg, WithoutUsableTimesThePlotSaysSo) {
    TIntervalPlot plot;
    plot.AddTime(-1.0);
    const std::string svg = plot.Svg(L"empty.nmea");
    EXPECT_EQ(XmlFault(svg), "");
    EXPECT_TRUE(Has(svg, ">no RMC times</text>"));
    EXPECT_TRUE(Has(svg, ">0 RMC times</text>"));
    EXPECT_FALSE(Has(svg, "id=\"interval\""));
    for (const char* label : {">moved back (0)<", ">same time (0)<", ">interval change (0)<"})
        EXPECT_TRUE(Has(svg, label)) << label;
}

TEST(IntervalPlotSvg, OneTimeGetsATimeAxisAndTwoAVisiblePoint) {
    TIntervalPlot plot;
    plot.AddTime(At(12));
    std::string svg = plot.Svg(L"one.nmea");
    EXPECT_EQ(XmlFault(svg), "");
    EXPECT_TRUE(Has(svg, ">one RMC time: no interval</text>"));
    EXPECT_TRUE(Has(svg, ">12:00:00</text>"));
    EXPECT_TRUE(Has(svg, ">2019-05-01</text>"));
    EXPECT_TRUE(Has(svg, ">UTC, 2019-05-01</text>"));
    EXPECT_FALSE(Has(svg, "id=\"interval\""));

    plot.AddTime(At(12, 1));
    svg = plot.Svg(L"two.nmea");
    EXPECT_EQ(PathPoints(svg, "interval").size(), 1u);
    EXPECT_TRUE(Has(svg, "<circle"));  // a path of one point shows nothing
}

TEST(IntervalPlotSvg, EqualIntervalsMakeAFlatLineOnTheirTick) {
    const struct {
        std::int64_t Count;
        double Step;
        const char* Tick;
    } rows[] = {
        {3600, 1.0, "1.0"}, {50, 0.0, "0.0"},  // one time over and over
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Tick);
        TIntervalPlot plot;
        Feed(plot, At(12), r.Count, r.Step);
        const std::string svg = plot.Svg(L"flat.nmea");
        EXPECT_EQ(XmlFault(svg), "");
        const std::vector<Point> line = PathPoints(svg, "interval");
        ASSERT_FALSE(line.empty());
        for (const Point& p : line) ASSERT_EQ(p.Y, line[0].Y);
        EXPECT_NEAR(line[0].Y, ValueTickY(svg, r.Tick), 0.1);
    }
}

// A pause longer than the interval check's 600 s leaves a gap in the line
// and a note in the legend; it does not stretch the interval axis.
TEST(IntervalPlotSvg, PausesAreGapsNotIntervals) {
    const struct {
        double PauseSeconds;
        std::size_t Segments;
        bool Noted;
    } rows[] = {
        {601.0, 2, true}, {600.0, 1, false},  // still an interval the check looks at
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.PauseSeconds);
        TIntervalPlot plot;
        Feed(plot, At(10), 600, 1.0);
        Feed(plot, At(10, 599.0 + r.PauseSeconds), 600, 1.0);
        const std::string svg = plot.Svg(L"pause.nmea");
        EXPECT_EQ(XmlFault(svg), "");
        const auto at = svg.find("id=\"interval\"");
        const std::string path = svg.substr(at, svg.find("/>", at) - at);
        EXPECT_EQ(static_cast<std::size_t>(std::count(path.begin(), path.end(), 'M')), r.Segments);
        EXPECT_EQ(Has(svg, ">pause over 600 s (1)</text>"), r.Noted);
        EXPECT_EQ(std::isnan(ValueTickY(svg, "500")), r.Noted);
    }
}

// A million times at 10 Hz with one jump: the line still reaches the jump,
// with the marker on the line's tip, however the cells around it were merged
// into pixel columns.
TEST(IntervalPlotSvg, SpikeAndItsMarkerSurviveDecimation) {
    const struct {
        double Hour, JumpSeconds;
        const char* Id;
        const char* Tick;
    } rows[] = {
        {18.0, 60.0, "interval-change", "60"},  // a gap
        {0.5, 60.0, "interval-change", "60"},   // a gap early, with many merges after it
        {3.0, -30.0, "moved-back", "-30"},      // a move back
        {23.5, -30.0, "moved-back", "-30"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Hour);
        TIntervalPlot plot;
        FeedWithJump(plot, 1000000, r.Hour, r.JumpSeconds);
        const std::string svg = plot.Svg(L"day.nmea");
        EXPECT_EQ(XmlFault(svg), "");
        EXPECT_LT(svg.size(), 100u * 1024u);

        const std::vector<Point> line = PathPoints(svg, "interval"), marks = PathPoints(svg, r.Id);
        const auto tip = std::max_element(line.begin(), line.end(),
                                          [&](Point a, Point b) { return r.JumpSeconds > 0 ? a.Y > b.Y : a.Y < b.Y; });
        ASSERT_EQ(marks.size(), 1u);
        EXPECT_NEAR(tip->Y, ValueTickY(svg, r.Tick), 1.0);
        EXPECT_NEAR(marks[0].Y, tip->Y, 1.0);
        EXPECT_NEAR(marks[0].X, tip->X, 1.0);
    }
}

TEST(IntervalPlotSvg, EveryKindIsMarkedAndCounted) {
    TIntervalPlot plot;
    Feed(plot, At(12), 3600, 1.0);
    plot.AddAnomaly(Anomaly(AnomalyKind::StepChanged, At(12, 100), At(12, 102)));
    plot.AddAnomaly(Anomaly(AnomalyKind::SameTime, At(12, 200), At(12, 200)));
    plot.AddAnomaly(Anomaly(AnomalyKind::MovedBack, At(12, 300), At(12, 298)));
    plot.AddAnomaly(Anomaly(AnomalyKind::MovedBack, At(12, 300), At(12, 298)));  // on the same pixel
    const std::string svg = plot.Svg(L"kinds.nmea");
    EXPECT_EQ(XmlFault(svg), "");
    const double zero = ValueTickY(svg, "0.0"), perSecond = ValueTickY(svg, "1.0") - zero;
    const struct {
        const char* Id;
        const char* Legend;
        double Seconds;
    } rows[] = {
        {"interval-change", ">interval change (1)<", 2.0},
        {"same-time", ">same time (1)<", 0.0},
        {"moved-back", ">moved back (2)<", -2.0},
    };
    double previousX = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Id);
        EXPECT_TRUE(Has(svg, r.Legend));
        const std::vector<Point> marks = PathPoints(svg, r.Id);
        ASSERT_EQ(marks.size(), 1u);
        EXPECT_NEAR(marks[0].Y, zero + r.Seconds * perSecond, 1.0);
        EXPECT_GT(marks[0].X, previousX + 10);
        previousX = marks[0].X;
    }
}

TEST(IntervalPlotSvg, AnomaliesOnOnePixelMergeButStayCounted) {
    TIntervalPlot plot;
    FeedEachTimeTwice(plot, 300000);
    const std::string svg = plot.Svg(L"twice.nmea");
    EXPECT_EQ(XmlFault(svg), "");
    EXPECT_TRUE(Has(svg, ">same time (300000)<"));
    const std::size_t marks = PathPoints(svg, "same-time").size();
    EXPECT_GT(marks, 1000u);  // one per pixel column
    EXPECT_LE(marks, 1100u);
    EXPECT_LT(svg.size(), 100u * 1024u);
}

}  // namespace
