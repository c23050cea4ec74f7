// The three scales on the recording canvas: tick labels, edges, label
// placement, colours, the label hook and broken ranges.
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

#include "plot/plot3d.h"
#include "plot/recordingcanvas.h"

namespace {

// One scale at a time on an empty grid: every line is a tick, every text a
// label. The recording canvas measures 6 pixels per character, 13 high.
struct Scales : ::testing::Test {
    TPlot3D plot;
    RecordingHost host;
    Scales() {
        plot.SetHost(&host);
        plot.SetHoldPaint(true);
        plot.SetBoundBoxStyle(bbNone);
        plot.SetFrameStyle(fsNone);
        Show(skXScale);
    }
    void Show(TP3ScaleKind kind) {
        plot.SetVisibleXCoords(kind == skXScale);
        plot.SetVisibleYCoords(kind == skYScale);
        plot.SetVisibleZCoords(kind == skZScale);
    }
    void SetRange(TP3ScaleKind kind, double low, double high) {
        // Move the ends apart first so neither assignment meets the other.
        if (kind == skXScale) {
            plot.SetRangeXLow(-1e9);
            plot.SetRangeXHigh(high);
            plot.SetRangeXLow(low);
        } else if (kind == skYScale) {
            plot.SetRangeYLow(-1e9);
            plot.SetRangeYHigh(high);
            plot.SetRangeYLow(low);
        } else {
            plot.SetRangeZLow(-1e9);
            plot.SetRangeZHigh(high);
            plot.SetRangeZLow(low);
        }
    }
    void Paint() {
        plot.SetHoldPaint(false);
        plot.SetHoldPaint(true);
    }
    std::vector<std::string> Labels() {
        std::vector<std::string> labels;
        for (const DrawOp& op : host.canvas.OpsOf(DrawOp::Text)) labels.push_back(op.text);
        return labels;
    }
    TPoint Corner(int c) {
        return plot.Project((c & 4) ? 150 : -150, (c & 2) ? 150 : -150, (c & 1) ? 150 : -150);
    }
};

using LabelList = std::vector<std::string>;

TEST_F(Scales, TickLabels) {
    struct Row {
        const char* name;
        TP3ScaleKind kind;
        double low, high;
        int minTick, decPlace;
        LabelList expected;
    };
    const Row rows[] = {
        {"main window x range", skXScale, -3.996, 3.996, 3, 1, {"-2.0", "0.0", "2.0"}},
        {"reversed y range", skYScale, 4, -4, 3, 1, {"4.0", "2.0", "0.0", "-2.0", "-4.0"}},
        {"unit z range", skZScale, 0, 1, 3, 1, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
        {"automatic decimals", skZScale, -4, 4, 3, -2, {"-4.0", "-2.0", "0.0", "2.0", "4.0"}},
        {"exponential; exactly 0.5 per interval gives the step 0.2",
         skXScale,
         0,
         1,
         2,
         -1,
         {" 0.0E+0000", " 2.0E-0001", " 4.0E-0001", " 6.0E-0001", " 8.0E-0001", " 1.0E+0000"}},
        {"wide range zero with decimals",
         skYScale,
         -200000,
         200000,
         3,
         2,
         {"-200000.00", "-100000.00", "0.0", "100000.00", "200000.00"}},
        {"wide range zero without decimals",
         skYScale,
         -200000,
         200000,
         3,
         0,
         {"-200000", "-100000", "0", "100000", "200000"}},
        // clang-format off
        {"label decimals: ticks 0.02 apart", skXScale, -0.03996, 0.03996, 3, 1, {"-0.02", "0.00", "0.02"}},
        {"label decimals: ticks 0.05 apart", skYScale, -0.09, 0.09, 3, 1, {"-0.05", "0.00", "0.05"}},
        {"label decimals: more than asked where the step needs them", skZScale, 0, 1, 3, 0, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
        {"label decimals: a step too fine for fixed labels", skZScale, -4e-14, 4e-14, 3, 1, {"-4.0E-0014", "-2.0E-0014", " 0.0E+0000", " 2.0E-0014", " 4.0E-0014"}},
        // clang-format on
        {"more ticks",
         skXScale,
         0,
         10,
         10,
         0,
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Show(r.kind);
        SetRange(r.kind, r.low, r.high);
        const int axis = r.kind;
        if (axis == 0) {
            plot.SetMinTickX(r.minTick);
            plot.SetDecPlaceX(r.decPlace);
        } else if (axis == 1) {
            plot.SetMinTickY(r.minTick);
            plot.SetDecPlaceY(r.decPlace);
        } else {
            plot.SetMinTickZ(r.minTick);
            plot.SetDecPlaceZ(r.decPlace);
        }
        Paint();
        EXPECT_EQ(Labels(), r.expected);
        EXPECT_EQ(host.canvas.OpsOf(DrawOp::Line).size(), r.expected.size());
    }
}

TEST_F(Scales, LogZScaleReadsPowersOfTen) {
    struct Row {
        const char* name;
        double low, high;
        LabelList expected;
    };
    const Row rows[] = {
        // clang-format off
        {"the window's z range: a step of 2 computed as 1.9999999999999996", -4, 4, {"1e-4", "1e-2", "1", "1e2", "1e4"}},
        {"a step of tenths becomes whole powers", -1, 1, {"0.1", "1", "10"}},
        {"two decades, upper end only just above a power", -1, 1.5, {"0.1", "1", "10"}},
        {"within one decade: three significant digits", 0.2, 0.8, {"1.58", "2", "2.51", "3.16", "3.98", "5.01", "6.31"}},
        {"one whole power among tenths", -2.5, -1.2, {"3.98e-3", "6.31e-3", "1e-2", "0.0158", "0.0251", "0.0398", "0.0631"}},
        {"far below 1", -3.5, -3.2, {"3.16e-4", "3.98e-4", "5.01e-4", "6.31e-4"}},
        // clang-format on
    };
    plot.SetLogScaleZ(true);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Show(skZScale);
        SetRange(skZScale, r.low, r.high);
        Paint();
        EXPECT_EQ(Labels(), r.expected);
    }
    Show(skXScale); // the other scales stay linear
    SetRange(skXScale, -4, 4);
    Paint();
    EXPECT_EQ(Labels(), (LabelList{"-4.0", "-2.0", "0.0", "2.0", "4.0"}));
}

TEST_F(Scales, TinyTickValueIsLabelledZero) {
    // With the step 1.99999999998 the middle tick of -4..4 is 4.4e-16.
    SetRange(skXScale, -4, 4);
    plot.SetDecPlaceX(-1);
    Paint();
    const LabelList expected = {"-4.0E+0000", "-2.0E+0000", " 0.0E+0000", " 2.0E+0000",
                                " 4.0E+0000"};
    EXPECT_EQ(Labels(), expected);
}

TEST_F(Scales, LabelsAreCutToFourteenCharacters) {
    Show(skZScale);
    SetRange(skZScale, 0, 1000);
    plot.SetMinTickZ(10); // step 100
    plot.SetDecPlaceZ(12);
    std::vector<std::string> seen;
    plot.OnBeforeDrawScaleLabel = [&](TPlot3D&, Canvas*&, TP3ScaleKind kind, std::string& label,
                                      int, int) {
        EXPECT_EQ(kind, skZScale);
        seen.push_back(label);
        if (label == "200.0000000000") label = "a label of twenty ch";
    };
    Paint();
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0], "0.000000000000");
    EXPECT_EQ(seen[1], "100.0000000000");
    EXPECT_EQ(Labels()[2], "a label of twenty ch");
}

TEST_F(Scales, ScaleEdges) {
    struct Row {
        const char* name;
        double angleX, angleZ;
        int xA, xB, yA, yB, zA, zB;
    };
    const Row rows[] = {
        {"default view, near corner 7", 60, 15, 2, 6, 4, 6, 4, 5},
        {"main window view, near corner 5", 66, 115, 0, 4, 4, 6, 0, 1},
        {"from beneath, near corner 6", 120, 15, 3, 7, 5, 7, 4, 5},
        {"turned, near corner 1", 60, 200, 0, 4, 0, 2, 2, 3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetViewAngleX(r.angleX);
        plot.SetViewAngleZ(r.angleZ);
        const TP3ScaleKind kinds[] = {skXScale, skYScale, skZScale};
        const int ends[3][2] = {{r.xA, r.xB}, {r.yA, r.yB}, {r.zA, r.zB}};
        for (int k = 0; k < 3; ++k) {
            Show(kinds[k]);
            SetRange(kinds[k], 0, 1); // first tick at A, last at B
            Paint();
            const auto ticks = host.canvas.OpsOf(DrawOp::Line);
            ASSERT_EQ(ticks.size(), 6u);
            EXPECT_EQ(ticks.front().points[0], Corner(ends[k][0])) << k;
            EXPECT_EQ(ticks.back().points[0], Corner(ends[k][1])) << k;
        }
    }
}

TEST_F(Scales, LabelPlacement) {
    struct Row {
        const char* name;
        TP3ScaleKind kind;
        double angleX, angleZ;
        TPoint tick;  // tick end minus foot
        TPoint label; // label's top-left minus tick end, first label "-2.0"
    };
    plot.SetDecPlaceZ(1);
    // "-2.0" is 24 pixels wide (half 12); text height 13.
    const Row rows[] = {
        {"x down", skXScale, 60, 15, {0, 8}, {-12 - 3, 0}}, // sin 15 * 12 = 3.1
        {"x at 90 still down", skXScale, 90, 15, {0, 8}, {-15, 0}},
        {"x up", skXScale, 120, 15, {0, -8}, {-15, -13}},
        {"x at 180 up", skXScale, 180, 15, {0, -8}, {-15, -13}},
        {"x turned", skXScale, 60, 115, {0, 8}, {-12 + 11, 0}}, // sin 115 * 12 = 10.9
        {"x from below", skXScale, 200, 15, {0, 8}, {-12 + 3, 0}},
        {"x at 270 down", skXScale, 270, 15, {0, 8}, {-9, 0}},
        {"x above 270 up", skXScale, 300, 15, {0, -8}, {-9, -13}},
        {"y", skYScale, 60, 15, {0, 8}, {-12 + 12, 0}},         // cos 15 * 12 = 11.6
        {"y turned", skYScale, 60, 200, {0, 8}, {-12 + 11, 0}}, // -(cos 200 * 12) = 11.3
        {"y turned exactly 180", skYScale, 60, 180, {0, 8}, {-12 - 12, 0}}, // cos 180 * 12
        {"y from below turned", skYScale, 200, 200, {0, 8}, {-12 - 11, 0}},
        {"z", skZScale, 60, 15, {8, 0}, {8 - 8 + 3, -6}},
        {"z from below", skZScale, 200, 15, {8, 0}, {3, -6}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetViewAngleX(r.angleX);
        plot.SetViewAngleZ(r.angleZ);
        Show(r.kind);
        SetRange(r.kind, -3.996, 3.996);
        Paint();
        const auto ticks = host.canvas.OpsOf(DrawOp::Line);
        const auto texts = host.canvas.OpsOf(DrawOp::Text);
        ASSERT_EQ(texts.size(), 3u);
        ASSERT_EQ(texts[0].text, "-2.0");
        const TPoint foot = ticks[0].points[0], end = ticks[0].points[1];
        EXPECT_EQ(end.x - foot.x, r.tick.x);
        EXPECT_EQ(end.y - foot.y, r.tick.y);
        EXPECT_EQ(texts[0].points[0].x - end.x, r.label.x);
        EXPECT_EQ(texts[0].points[0].y - end.y, r.label.y);
    }
}

TEST_F(Scales, ColoursFontAndHook) {
    plot.SetColorXCoords(clBlue);
    plot.SetColorYCoords(clRed);
    plot.SetVisibleXCoords(true);
    plot.SetVisibleYCoords(true);
    SetRange(skXScale, -3.996, 3.996);
    RecordingCanvas other;
    std::vector<TPoint> feet;
    plot.OnBeforeDrawScaleLabel = [&](TPlot3D&, Canvas*& canvas, TP3ScaleKind kind,
                                      std::string& label, int x, int y) {
        if (kind != skXScale) return;
        feet.push_back({x, y});
        label = "<" + label + ">";
        canvas = &other;
    };
    Paint();
    // The hook's canvas takes the rest of the x scale, its first label
    // included; the y scale is drawn on the bitmap again.
    const auto texts = host.canvas.OpsOf(DrawOp::Text);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0].text, "-1.0");
    EXPECT_EQ(texts[0].fontColor, clRed);
    EXPECT_EQ(texts[0].fontSize, 8);
    EXPECT_EQ(texts[0].brushStyle, bsClear);
    const auto moved = other.OpsOf(DrawOp::Text);
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_EQ(moved[0].text, "<-2.0>");
    EXPECT_EQ(moved[2].text, "<2.0>");
    // Only the first x tick was drawn before the hook ran; the hook gets
    // each tick's foot.
    const auto ticks = host.canvas.OpsOf(DrawOp::Line);
    ASSERT_EQ(ticks.size(), 1u + 5u);
    EXPECT_EQ(ticks[0].penColor, clBlue);
    EXPECT_EQ(ticks[1].penColor, clRed);
    ASSERT_EQ(feet.size(), 3u);
    EXPECT_EQ(feet[0], ticks[0].points[0]);
    EXPECT_EQ(feet[1], other.OpsOf(DrawOp::Line)[0].points[0]);
}

TEST_F(Scales, BrokenRangesDrawFewTicksAndEnd) {
    struct Row {
        const char* name;
        double low, high;
        size_t maxTicks;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Row rows[] = {
        {"equal beyond 2^53", 1e17, 1e17, 1},
        {"infinite", -inf, inf, 1},
        {"NaN", std::numeric_limits<double>::quiet_NaN(), 1, 1},
        {"barely apart far out", 1e17, 1e17 + 16, 20},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetRangeXHigh(1e300);
        plot.SetRangeXLow(r.low);
        plot.SetRangeXHigh(r.high);
        Paint();
        const size_t n = host.canvas.OpsOf(DrawOp::Text).size();
        EXPECT_GE(n, 1u);
        EXPECT_LE(n, r.maxTicks);
    }
}

} // namespace
