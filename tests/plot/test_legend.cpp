// The legend: its numbers and labels read back as the colours drawn beside
// them.
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

#include "plot/legend.h"
#include "plot/plot3d.h"
#include "plot/recordingcanvas.h"

namespace {

int ChannelDistance(TColor a, TColor b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

TEST(Legend, BarNumbersStandAtTheirColours) {
    const struct {
        const char* name;
        TSurfaceColoring coloring;
        double low, high; // colour scale, or z range
        bool log;
        int labels; // at least
    } rows[] = {
        {"the window's colour scale", scHeight, -7, 8, false, 4},
        {"a narrow z interval", scHeightZRange, -0.09, 0.09, false, 4},
        {"a wide z interval", scHeightZRange, -291, 291, false, 4},
        {"log heights", scHeightZRange, -2, 3, true, 6},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        TPlot3D plot;
        plot.SetSize(823, 653);
        plot.SetColorLow(clFuchsia);
        plot.SetColorHigh(clYellow);
        plot.SetColorScaleLow(r.low);
        plot.SetColorScaleHigh(r.high);
        plot.SetRangeZLow(r.low);
        plot.SetRangeZHigh(r.high);
        plot.SetLogScaleZ(r.log);
        plot.SetSurfaceColoring(r.coloring);
        RecordingCanvas canvas;
        DrawLegend(canvas, plot);
        const auto rects = canvas.OpsOf(DrawOp::Rect);
        const auto texts = canvas.OpsOf(DrawOp::Text);
        ASSERT_GE(texts.size(), static_cast<std::size_t>(r.labels));
        // The ramp runs over the bar: low at the bottom, high at the top.
        EXPECT_EQ(rects.back().brushColor, plot.ColorCode(r.low));
        EXPECT_EQ(rects.front().brushColor, plot.ColorCode(r.high));
        const int step = 255 / static_cast<int>(rects.size()) + 1;
        for (const DrawOp& text : texts) {
            double value = std::stod(text.text);
            if (r.log) value = std::log10(value);
            const int row = text.points[0].y + canvas.LineHeight / 2;
            const DrawOp* stripe = nullptr;
            for (const DrawOp& rect : rects)
                if (rect.points[0].y == row) stripe = &rect;
            ASSERT_NE(stripe, nullptr) << text.text;
            EXPECT_LE(ChannelDistance(stripe->brushColor, plot.ColorCode(value)), step)
                << text.text;
            EXPECT_GT(text.points[0].x, stripe->points[1].x) << "right of the bar";
        }
    }
}

TEST(Legend, WheelLabelsPointAtTheirPhases) {
    const double pi = std::numbers::pi;
    const struct {
        const char* label;
        double phase;
    } rows[] = {{"0", 0}, {"pi/2", pi / 2}, {"pi", pi}, {"-pi/2", -pi / 2}};
    for (TPhaseWheel wheel : {pwEvenLightness, pwHsv}) {
        TPlot3D plot;
        plot.SetSize(823, 653);
        plot.SetSurfaceColoring(scPhase);
        plot.SetPhaseWheel(wheel);
        RecordingCanvas canvas;
        DrawLegend(canvas, plot);
        const auto polygons = canvas.OpsOf(DrawOp::Poly);
        ASSERT_FALSE(polygons.empty());
        double cx = 0, cy = 0;
        for (const DrawOp& p : polygons)
            for (const TPoint& q : p.points) {
                cx += q.x / (4.0 * polygons.size());
                cy += q.y / (4.0 * polygons.size());
            }
        EXPECT_GT(cx, 823 - 120) << "at the right edge";
        const auto texts = canvas.OpsOf(DrawOp::Text);
        ASSERT_EQ(texts.size(), std::size(rows));
        for (const auto& r : rows) {
            const DrawOp* text = nullptr;
            for (const DrawOp& t : texts)
                if (t.text == r.label) text = &t;
            ASSERT_NE(text, nullptr) << r.label;
            const double x = text->points[0].x + canvas.TextWidth(r.label) / 2.0 - cx;
            const double y = cy - (text->points[0].y + canvas.LineHeight / 2.0);
            EXPECT_NEAR(std::remainder(std::atan2(y, x) - r.phase, 2 * pi), 0, 0.1) << r.label;
            // The sector on that ray, nearest the label, has the label's colour.
            const DrawOp* nearest = nullptr;
            double best = 1e9;
            for (const DrawOp& p : polygons) {
                const double px = (p.points[1].x + p.points[2].x) / 2.0 - cx;
                const double py = cy - (p.points[1].y + p.points[2].y) / 2.0;
                const double d = std::hypot(px - x, py - y);
                if (d < best) best = d, nearest = &p;
            }
            EXPECT_LE(ChannelDistance(nearest->brushColor, PhaseColor(r.phase, wheel)), 12)
                << r.label << " on wheel " << wheel;
        }
    }
}

TEST(Legend, DrawnOnlyWhenVisible) {
    TPlot3D plot;
    RecordingHost host;
    plot.SetHost(&host);
    plot.SetVisibleXCoords(false);
    plot.SetVisibleYCoords(false);
    plot.SetVisibleZCoords(false);
    plot.SetSurfaceColoring(scPhase);
    EXPECT_TRUE(host.canvas.OpsOf(DrawOp::Text).empty());
    plot.SetLegendVisible(true);
    EXPECT_EQ(host.canvas.OpsOf(DrawOp::Text).size(), 4u);
}

} // namespace
