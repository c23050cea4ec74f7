// The plot's mouse handling: rotating, zooming and panning by dragging, and
// the hit test that finds the cell under the pointer.
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

#include "plot/plot3d.h"
#include "plot/recordingcanvas.h"

namespace {

constexpr TShiftState NoButton{};
constexpr TShiftState Left{false, false, false, true, false, false};
constexpr TShiftState Right{false, false, false, false, true, false};
constexpr TShiftState Both{false, false, false, true, true, false};

// The main window's plot: 823 x 653, angles 66 and 115.
struct Mouse : ::testing::Test {
    TPlot3D plot;
    RecordingHost host;
    int actions = 0;
    Mouse() {
        plot.SetHost(&host);
        plot.SetSize(823, 653);
        plot.SetViewAngleX(66);
        plot.SetViewAngleZ(115);
        plot.OnMouseAction = [this](TPlot3D&, int&, int&, double&, double&, double&, TShiftState) {
            ++actions;
        };
    }
};

TEST_F(Mouse, RotateDrag) {
    plot.MouseMove(NoButton, 400, 300);
    plot.MouseMove(Left, 450, 320); // intermediate moves do not move the anchor
    plot.MouseMove(Left, 500, 250); // 100 right, 50 up
    EXPECT_DOUBLE_EQ(plot.ViewAngleZ(), 115 - 36000.0 / 823);
    EXPECT_DOUBLE_EQ(plot.ViewAngleX(), 66 + 18000.0 / 653);
    EXPECT_NEAR(plot.ViewAngleZ(), 71.26, 0.005);
    EXPECT_NEAR(plot.ViewAngleX(), 93.57, 0.005);
    EXPECT_NEAR(plot.R(3, 3), std::cos(plot.ViewAngleX() * std::numbers::pi / 180), 1e-12);
    EXPECT_EQ(actions, 2);
}

TEST_F(Mouse, RotateWrapsAndClamps) {
    struct Row {
        const char* name;
        TMouseActMode mode;
        double angleX, angleZ;
        int anchorX, anchorY, x, y;
        double expectedX, expectedZ;
    };
    // Width 820 here so that half the width is exactly 180 degrees.
    const Row rows[] = {
        {"right by half the width", maRotate, 66, 10, 0, 300, 410, 300, 66, 190},
        {"left past 360", maRotate, 66, 300, 410, 300, 0, 300, 66, 120},
        {"far below 0 is clamped", maRotate, 66, 115, 100, -2000, 100, 0, 0, 115},
        {"far above 360 is clamped", maRotate, 66, 115, 100, 2000, 100, 653, 360, 115},
        {"no clamping when zooming too", maRotAndZoom, 66, 115, 100, -2000, 100, 0,
         66 - 2000.0 * 360 / 653 + 360, 115},
        {"x only, dragging down raises", maRotXOnly, 66, 115, 100, 100, 300, 200,
         66 + 100.0 * 360 / 653, 115},
        {"z only", maRotZOnly, 66, 115, 100, 100, 0, 300, 66, 115 + 100.0 * 360 / 820},
        {"landing exactly on 360 stays there", maRotZOnly, 66, 180, 410, 300, 0, 300, 66, 360},
    };
    plot.SetSize(820, 653);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetMouseAction(r.mode);
        plot.SetViewAngleX(r.angleX);
        plot.SetViewAngleZ(r.angleZ);
        plot.MouseMove(NoButton, r.anchorX, r.anchorY);
        plot.MouseMove(Left, r.x, r.y);
        EXPECT_DOUBLE_EQ(plot.ViewAngleX(), r.expectedX);
        EXPECT_DOUBLE_EQ(plot.ViewAngleZ(), r.expectedZ);
    }
}

TEST_F(Mouse, MovesThatChangeNothing) {
    struct Row {
        const char* name;
        TMouseActMode mode;
        TShiftState shift;
        int x, y;
    };
    const Row rows[] = {
        {"outside to the right", maRotate, Left, 824, 300},
        {"outside above", maRotate, Left, 400, -1},
        {"no button", maRotate, NoButton, 500, 250},
        {"right button alone", maRotate, Right, 500, 250},
        {"mode without a rule", maRubberBand, Left, 500, 250},
        {"zoom with the right button", maZoom, Right, 500, 250},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetMouseAction(r.mode);
        plot.MouseMove(NoButton, 400, 300);
        const int paints = host.paints;
        actions = 0;
        plot.MouseMove(r.shift, r.x, r.y);
        EXPECT_EQ(actions, 0);
        EXPECT_EQ(host.paints, paints);
        EXPECT_EQ(plot.ViewAngleX(), 66);
        EXPECT_EQ(plot.ViewAngleZ(), 115);
        EXPECT_EQ(plot.Magnification(), 1.0);
    }
    // The right button froze the anchor: a left drag now measures from it.
    plot.SetMouseAction(maRotate);
    plot.MouseMove(NoButton, 400, 300);
    plot.MouseMove(Right, 0, 0);
    plot.MouseMove(Left, 400, 300);
    EXPECT_EQ(plot.ViewAngleZ(), 115);
    // The edges belong to the control.
    plot.MouseMove(Left, 823, 653);
    EXPECT_EQ(actions, 2);
}

TEST_F(Mouse, Zoom) {
    struct Row {
        const char* name;
        double start;
        int fromY, toY;
        double expected;
    };
    const Row rows[] = {
        {"up by the full height stops at 3", 2.5, 653, 0, 3.0},
        {"down by the full height stops at 0.001", 0.5, 0, 653, 0.001},
        {"up by the full height adds 1.4995", 1.0, 653, 0, 2.4995},
        {"half way down", 2.0, 0, 326, 2.0 - 2.999 * 326 / 653 / 2},
    };
    plot.SetMouseAction(maZoom);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetMagnification(r.start);
        const double r31 = plot.R(3, 1);
        plot.MouseMove(NoButton, 100, r.fromY);
        plot.MouseMove(Left, 100, r.toY);
        EXPECT_NEAR(plot.Magnification(), r.expected, 1e-12);
        EXPECT_EQ(plot.R(3, 1), r31);
    }
}

TEST_F(Mouse, PanFollowsThePointer) {
    plot.SetMouseAction(maPan);
    plot.SetCentX(411);
    plot.SetCentY(326);
    plot.MouseMove(NoButton, 100, 100);
    plot.MouseMove(Left, 130, 90);
    EXPECT_EQ(plot.CentX(), 441);
    EXPECT_EQ(plot.CentY(), 316);
    plot.MouseMove(Left, 0, 653); // not clamped like the setter
    EXPECT_EQ(plot.CentX(), 311);
    EXPECT_EQ(plot.CentY(), 879);
}

TEST_F(Mouse, RotateAndZoomWithBothButtons) {
    plot.SetMouseAction(maRotAndZoom);
    plot.SetMagnification(1.0);
    plot.MouseMove(NoButton, 400, 300);
    plot.MouseMove(Both, 500, 250);
    EXPECT_EQ(actions, 2);
    EXPECT_DOUBLE_EQ(plot.ViewAngleZ(), 115 - 36000.0 / 823);
    EXPECT_NEAR(plot.Magnification(), 1.0 + 2.999 * 50 / 653 / 2, 1e-12);
}

TEST_F(Mouse, ActionHandlerValuesAreUsedUnnormalised) {
    plot.OnMouseAction = [](TPlot3D&, int& cx, int&, double& rotX, double&, double& mag,
                            TShiftState shift) {
        EXPECT_TRUE(shift.left);
        rotX = 400;
        mag = 7;
        cx = 5000;
    };
    plot.MouseMove(NoButton, 400, 300);
    plot.MouseMove(Left, 410, 300);
    EXPECT_EQ(plot.ViewAngleX(), 400);
    EXPECT_EQ(plot.Magnification(), 7);
    EXPECT_EQ(plot.CentX(), 5000);
    EXPECT_NEAR(plot.R(3, 3), std::cos(400 * std::numbers::pi / 180), 1e-12);
}

TEST_F(Mouse, ZeroSizedControlDoesNotDivideByZero) {
    plot.SetSize(0, 0);
    plot.MouseMove(NoButton, 0, 0);
    plot.MouseMove(Left, 0, 0);
    EXPECT_EQ(plot.ViewAngleX(), 66);
    EXPECT_EQ(plot.ViewAngleZ(), 115);
    plot.SetMouseAction(maZoom);
    plot.MouseMove(Left, 0, 0);
    EXPECT_EQ(plot.Magnification(), 1.0);
    plot.SetMouseAction(maPan);
    plot.MouseMove(NoButton, 0, 0);
    plot.MouseMove(Left, 0, 0);
    EXPECT_EQ(actions, 1); // panning still works
}

TEST_F(Mouse, EventOrderOfAMoveMessage) {
    std::vector<std::string> log;
    plot.OnMouseMove = [&](TPlot3D&, TShiftState, int x, int y) {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    plot.OnMouseAction = [&](TPlot3D&, int&, int&, double&, double&, double&, TShiftState) {
        log.push_back("action");
    };
    plot.OnDataRendered = [&](TPlot3D&, Canvas*&) { log.push_back("paint"); };
    plot.OnMouseMoveOverPlot = [&](TPlot3D&, bool, TShiftState shift, int, int) {
        log.push_back(shift.left ? "over, left" : "over");
    };
    plot.MouseMoveMessage(NoButton, 400, 300);
    plot.MouseMoveMessage(Left, 420, 300);
    const std::vector<std::string> expected = {"move 400,300", "over",  "move 420,300",
                                               "action",       "paint", "over, left"};
    EXPECT_EQ(log, expected);
}

// Seen straight down (angles 0, 0) each cell is an axis-aligned square.
struct HitTest : Mouse {
    HitTest() {
        plot.SetViewAngleX(0);
        plot.SetViewAngleZ(0);
        plot.SetCentX(400);
        plot.SetCentY(300);
        plot.SurfaceData().Resize(4, 4); // grid lines at -150, -50, 50, 150
        plot.Paint();
    }
};

TEST_F(HitTest, CellsAndMisses) {
    struct Row {
        const char* name;
        int x, y;
        bool found;
        int cellX, cellY;
        bool cornerWithoutHeight = false; // grid point 2,2, a corner of cell 1,1
    };
    const Row rows[] = {
        {"cell 1,1", 400 - 100, 300 - 100, true, 1, 1},
        {"cell 1,1 with a corner without height", 400 - 100, 300 - 100, false, 0, 0, true},
        {"cell 3,1", 400 + 100, 300 - 100, true, 3, 1},
        {"cell 2,3", 400, 300 + 100, true, 2, 3},
        {"left of the surface", 240, 300, false, 0, 0},
        {"below the surface", 400, 460, false, 0, 0},
        {"far away", -100000, 100000, false, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        bool reported = !r.found;
        int cx = -1, cy = -1;
        plot.OnMouseMoveOverPlot = [&](TPlot3D&, bool over, TShiftState, int i, int j) {
            reported = over;
            cx = i;
            cy = j;
        };
        plot.SurfaceData().SetCell(2, 2, r.cornerWithoutHeight ? NAN : 0);
        plot.Paint();
        plot.MouseMoveMessage(NoButton, r.x, r.y);
        EXPECT_EQ(reported, r.found);
        EXPECT_EQ(cx, r.cellX);
        EXPECT_EQ(cy, r.cellY);
    }
}

// A cell collapsed to a point (every corner at 0, 0 before the first paint,
// or a tiny magnification) makes every edge test zero; it holds only the
// pointer that lies on it.
TEST(HitTestCollapsed, OnlyThePointItself) {
    TPlot3D plot;
    plot.SetHoldPaint(true);
    plot.SurfaceData().Resize(3, 3);
    int cx = -1, cy = -1;
    EXPECT_FALSE(plot.HitTest(200, 200, cx, cy));
    EXPECT_EQ(cx, 0);
    EXPECT_EQ(cy, 0);
    EXPECT_TRUE(plot.HitTest(0, 0, cx, cy));
    EXPECT_EQ(cx, 1);
    EXPECT_EQ(cy, 1);
}

// Seen edge-on a flat row of cells is a line; the pointer on that line but
// beyond the surface's end is outside.
TEST(HitTestCollapsed, LineBeyondItsEnds) {
    TPlot3D plot;
    plot.SetViewAngleX(90);
    plot.SetViewAngleZ(0);
    plot.SurfaceData().Resize(3, 2);
    plot.Paint();
    const int y = plot.ScreenYGrid().Cell(1, 1);
    ASSERT_EQ(plot.ScreenYGrid().Cell(3, 2), y);
    const int left = plot.ScreenXGrid().Cell(1, 1), right = plot.ScreenXGrid().Cell(3, 1);
    int cx = 0, cy = 0;
    EXPECT_TRUE(plot.HitTest((left + right) / 2 + 10, y, cx, cy));
    EXPECT_EQ(cx, 2);
    EXPECT_FALSE(plot.HitTest(right + 50, y, cx, cy));
    EXPECT_FALSE(plot.HitTest(left - 50, y, cx, cy));
}

// Seen from the side (angle x 90) the surface of heights 0, 1, 3, 2, 0 along
// its rows folds: at height 0.5 the pointer is over the cells of rows 1 and
// 4. The cell whose first corner carries the greater drawing-order number
// wins, which is not always the one scanned last.
TEST(HitTestFold, GreaterDrawingOrderWins) {
    struct Row {
        const char* name;
        double angleZ;
        int expectedRow, otherRow;
    };
    const Row rows[] = {{"rows ascending: numbers 1 and 7", 0, 4, 1},
                        {"rows descending: numbers 7 and 5", 180, 1, 4}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TPlot3D plot;
        plot.SetViewAngleX(90);
        plot.SetViewAngleZ(r.angleZ);
        plot.SetRangeZLow(0);
        plot.SetRangeZHigh(3);
        plot.SurfaceData().Resize(2, 5);
        const double heights[] = {0, 1, 3, 2, 0};
        for (int i = 1; i <= 2; ++i)
            for (int j = 1; j <= 5; ++j) plot.SurfaceData().SetCell(i, j, heights[j - 1]);
        plot.Paint();
        double x, y, z;
        plot.GridToModel(1, 1, 0.5, x, y, z);
        const TPoint p = plot.Project(0, 0, z);
        int cx = 0, cy = 0;
        ASSERT_TRUE(plot.HitTest(p.x, p.y, cx, cy));
        EXPECT_EQ(cx, 1);
        EXPECT_EQ(cy, r.expectedRow);
        EXPECT_GT(plot.DrawOrderGrid().Cell(1, r.expectedRow),
                  plot.DrawOrderGrid().Cell(1, r.otherRow));
        // Without the winner the other cell would be reported: a real fold.
        plot.SurfaceData().SetCell(1, r.expectedRow, 3);
        plot.SurfaceData().SetCell(2, r.expectedRow, 3);
        plot.SurfaceData().SetCell(1, r.expectedRow + 1, 3);
        plot.SurfaceData().SetCell(2, r.expectedRow + 1, 3);
        plot.Paint();
        ASSERT_TRUE(plot.HitTest(p.x, p.y, cx, cy));
        EXPECT_EQ(cy, r.otherRow);
    }
}

} // namespace
