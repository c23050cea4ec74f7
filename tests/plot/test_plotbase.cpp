// The shared plot helpers: rounding, colours, ticks, decimals, label text and
// frames.
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "plot/plotbase.h"
#include "plot/recordingcanvas.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(PlotBase, NearestRoundsHalfToEvenAndNeverOverflows) {
    struct Row {
        const char* name;
        double t;
        int expected;
    };
    const Row rows[] = {
        {"half down to even", 0.5, 0},
        {"half up to even", 1.5, 2},
        {"2.5 to 2", 2.5, 2},
        {"-0.5 to 0", -0.5, 0},
        {"-1.5 to -2", -1.5, -2},
        {"127.5 to 128", 127.5, 128},
        {"plain", 3.4999, 3},
        {"NaN", NaN, 0},
        {"huge", 1e300, NearestLimit},
        {"-inf", -Inf, -NearestLimit},
        {"just inside", 16777215.4, 16777215},
    };
    for (const Row& r : rows) EXPECT_EQ(Nearest(r.t), r.expected) << r.name;
}

TEST(PlotBase, ColorBytes) {
    EXPECT_EQ(GetRValue(clRed), 255);
    EXPECT_EQ(GetBValue(clBlue), 255);
    EXPECT_EQ(RGB(255, 128, 128), 0x8080FFu);
    EXPECT_EQ(ColorToRGB(0x12345678), 0x345678u);
    EXPECT_EQ(ColorToRGB(clBtnFace), clSilver);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
}

TEST(PlotBase, Ticks) {
    struct Row {
        const char* name;
        int n;
        double low, high, step, first;
    };
    const Row rows[] = {
        {"main window x range", 3, -3.996, 3.996, 2, -2},
        {"unit range", 3, 0, 1, 0.2, 0},
        {"reversed y range", 3, 4, -4, -2, 4},
        {"power of ten", 3, 0, 30, 10, 0},
        {"five", 2, 0, 15, 5, 0},
        {"exact 2 per interval falls back to 1", 5, 0, 1, 0.1, 0},
        {"low just past a tick", 3, 0.0005, 1, 0.2, 0.2},
        {"low within a thousandth of a step", 3, 0.0001, 1, 0.2, 0},
        {"exact 5 per interval falls back to 2", 3, -7, 8, 2, -6},
        {"large", 3, 0, 2000000, 500000, 0},
        {"small", 3, 0, 0.001, 0.0002, 0},
        {"equal ends", 3, 2.5, 2.5, 0, 2.5},
    };
    for (const Row& r : rows) {
        const TTicks t = CalcTicks(r.n, r.low, r.high);
        EXPECT_NEAR(t.step, r.step, 1e-9 * std::fabs(r.step) + 1e-300) << r.name;
        EXPECT_NEAR(t.first, r.first, 1e-9 * std::fabs(r.step) + 1e-300) << r.name;
    }
}

TEST(PlotBase, TicksOfBrokenRangesTerminate) {
    EXPECT_FALSE(std::isfinite(CalcTicks(3, -Inf, 1).step));
    const TTicks far = CalcTicks(3, 1e17, 1e17 + 16);
    EXPECT_TRUE(std::isfinite(far.first));
    EXPECT_TRUE(std::isnan(CalcTicks(3, NaN, 1).first));
}

TEST(PlotBase, AutoDecimals) {
    struct Row {
        const char* name;
        int decPlace;
        double low, high;
        int expected;
    };
    const Row rows[] = {
        {"fixed stays", 3, 0, 8, 3},        {"exponential stays", -1, 0, 8, -1},
        {"width 8", -2, -4, 4, 1},          {"width 50", -2, 0, 50, 0},
        {"width 0.01", -2, 0, 0.01, 4},     {"width 2e6", -2, -1e6, 1e6, -1},
        {"width 100", -2, 0, 100, 0},       {"width 1e-4", -2, 0, 0.0001, -1},
        {"reversed width 8", -2, 4, -4, 1}, {"width 1", -2, 0, 1, 2},
    };
    for (const Row& r : rows)
        EXPECT_EQ(AutoDecimals(r.decPlace, r.low, r.high), r.expected) << r.name;
}

TEST(PlotBase, NumberToText) {
    struct Row {
        const char* name;
        double value;
        int decimals;
        const char* expected;
    };
    const Row rows[] = {
        {"exponential", 1234.5, -1, " 1.2E+0003"},
        {"exponential negative", -0.00012, -1, "-1.2E-0004"},
        {"exponential rounds up", 9.96, -1, " 1.0E+0001"},
        {"exponential zero", 0, -1, " 0.0E+0000"},
        {"fixed", 2, 1, "2.0"},
        {"fixed negative", -2, 1, "-2.0"},
        {"no decimals no point", 3.4, 0, "3"},
        {"negative zero has no sign", -0.0, 1, "0.0"},
        {"padded decimals", 0.5, 3, "0.500"},
        {"NaN", NaN, 1, "NAN"},
        {"infinity", -Inf, -1, "-INF"},
    };
    for (const Row& r : rows) EXPECT_EQ(NumberToText(r.value, r.decimals), r.expected) << r.name;
    const std::string big = NumberToText(1e300, 12);
    EXPECT_EQ(big.size(), 301u + 13u);
    EXPECT_EQ(big.substr(0, 1), "1");
}

struct Seg {
    TPoint from, to;
    TColor color;
};

std::vector<Seg> Lines(const RecordingCanvas& canvas) {
    std::vector<Seg> result;
    for (const DrawOp& op : canvas.OpsOf(DrawOp::Line))
        result.push_back({op.points[0], op.points[1], op.penColor});
    return result;
}

TEST(PlotBase, SimpleFrame) {
    RecordingCanvas canvas;
    DrawFrame(canvas, fsSimple, 0, 0, 9, 7, clGray);
    const std::vector<Seg> lines = Lines(canvas);
    ASSERT_EQ(lines.size(), 4u);
    const TPoint path[] = {{0, 0}, {0, 7}, {9, 7}, {9, 0}, {0, 0}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(lines[k].from, path[k]);
        EXPECT_EQ(lines[k].to, path[k + 1]);
        EXPECT_EQ(lines[k].color, clGray);
    }
    RecordingCanvas none;
    DrawFrame(none, fsNone, 0, 0, 9, 7, clGray);
    EXPECT_TRUE(none.ops.empty());
}

TEST(PlotBase, BevelFrames) {
    struct Row {
        const char* name;
        TFrameStyle style;
        TColor c1, c2, c3, c4;
    };
    const Row rows[] = {
        {"lowered", fsLowered, 0x808080, 0xFFFFFF, 0x000000, 0xC0C0C0},
        {"raised", fsRaised, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x808080},
        {"embossed", fsEmbossed, 0xFFFFFF, 0x808080, 0x808080, 0xFFFFFF},
        {"engraved", fsEngraved, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x808080},
    };
    // Rectangle left 0, top 0, right 9, bottom 7.
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        RecordingCanvas canvas;
        DrawFrame(canvas, r.style, 0, 0, 9, 7, clFuchsia);
        const std::vector<Seg> lines = Lines(canvas);
        const Seg expected[] = {
            {{0, 7}, {0, 0}, r.c1},  {{0, 0}, {10, 0}, r.c1}, {{9, 1}, {9, 7}, r.c2},
            {{9, 7}, {-1, 7}, r.c2}, {{1, 6}, {1, 1}, r.c3},  {{1, 1}, {9, 1}, r.c3},
            {{8, 2}, {8, 6}, r.c4},  {{8, 6}, {0, 6}, r.c4},
        };
        ASSERT_EQ(lines.size(), 8u);
        for (int k = 0; k < 8; ++k) {
            EXPECT_EQ(lines[k].from, expected[k].from) << k;
            EXPECT_EQ(lines[k].to, expected[k].to) << k;
            EXPECT_EQ(lines[k].color, expected[k].color) << k;
        }
    }
}

TEST(PlotBase, ClearBrushTurnsSolidWhenColoured) {
    RecordingCanvas canvas;
    canvas.SetBrushStyle(bsClear);
    canvas.SetBrushColor(clRed);
    EXPECT_EQ(canvas.BrushStyle(), bsSolid);
}

} // namespace
