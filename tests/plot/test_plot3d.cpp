// TPlot3D's properties (defaults, clamping, repaint rules) and geometry
// (rotation, projection, grid-to-model mapping, extreme values).
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

#include "plot/plot3d.h"
#include "plot/recordingcanvas.h"

namespace {

constexpr double Deg = std::numbers::pi / 180;

struct PlotFixture : ::testing::Test {
    TPlot3D plot;
    RecordingHost host;
    PlotFixture() { plot.SetHost(&host); }
};

using Properties = PlotFixture;

TEST_F(Properties, ConstructorDefaults) {
    EXPECT_EQ(plot.Width(), 650);
    EXPECT_EQ(plot.Height(), 500);
    EXPECT_EQ(plot.CentX(), 325);
    EXPECT_EQ(plot.CentY(), 250);
    EXPECT_FALSE(plot.HoldPaint());
    EXPECT_EQ(plot.BoundBoxStyle(), bbFaces);
    EXPECT_EQ(plot.FrameStyle(), fsLowered);
    EXPECT_EQ(plot.ColorCubeFrame(), 0x404040u);
    EXPECT_EQ(plot.ColorCubeFaceHigh(), 0xFEEEEEu);
    EXPECT_EQ(plot.ColorXCoords(), clRed);
    EXPECT_EQ(plot.ColorYCoords(), clBlue);
    EXPECT_EQ(plot.ColorHigh(), 0x00FFFFu);
    EXPECT_EQ(plot.ColorMid(), 0xFF0000u);
    EXPECT_EQ(plot.ColorScaleHigh(), 100);
    EXPECT_EQ(plot.ColorScaleLow(), 0);
    EXPECT_EQ(plot.ColorScheme(), csSystem);
    EXPECT_EQ(plot.DecPlaceZ(), 2);
    EXPECT_EQ(plot.MouseAction(), maRotate);
    EXPECT_EQ(plot.ViewAngleX(), 60);
    EXPECT_EQ(plot.ViewAngleZ(), 15);
    EXPECT_EQ(plot.RangeZLow(), -1);
    EXPECT_EQ(plot.RangeZHigh(), 1);
    EXPECT_EQ(plot.ZScale(), 150);
    EXPECT_EQ(plot.ZOffset(), 0);
    EXPECT_TRUE(plot.MeshVisible());
    EXPECT_TRUE(plot.VisibleZCoords());
    EXPECT_EQ(plot.SurfaceData().NrOfColumns(), 1);
    EXPECT_EQ(host.paints, 0) << "construction must not paint";
}

TEST_F(Properties, ViewAngleNormalisation) {
    struct Row {
        const char* name;
        double value, expected;
    };
    const Row rows[] = {{"370", 370, 10},    {"720", 720, 0},        {"360 stays", 360, 360},
                        {"-30", -30, 330},   {"-360", -360, 360},    {"1090", 1090, 10},
                        {"-390", -390, 330}, {"plain", 123.5, 123.5}};
    for (const Row& r : rows) {
        plot.SetViewAngleX(45.25); // a value different from every row
        plot.SetViewAngleZ(45.25);
        plot.SetViewAngleX(r.value);
        plot.SetViewAngleZ(r.value);
        EXPECT_NEAR(plot.ViewAngleX(), r.expected, 1e-9) << r.name;
        EXPECT_NEAR(plot.ViewAngleZ(), r.expected, 1e-9) << r.name;
        EXPECT_NEAR(plot.R(3, 3), std::cos(r.expected * Deg), 1e-6) << r.name;
    }
}

TEST_F(Properties, ViewAngleUnchangedDoesNothing) {
    const int before = host.paints;
    plot.SetViewAngleX(60);
    plot.SetViewAngleZ(15);
    EXPECT_EQ(host.paints, before);
    plot.SetViewAngleX(61);
    EXPECT_EQ(host.paints, before + 1);
}

TEST_F(Properties, NonFiniteAnglesAreIgnored) {
    plot.SetViewAngleX(std::numeric_limits<double>::quiet_NaN());
    plot.SetViewAngleZ(std::numeric_limits<double>::infinity());
    EXPECT_EQ(plot.ViewAngleX(), 60);
    EXPECT_EQ(plot.ViewAngleZ(), 15);
}

TEST_F(Properties, Clamping) {
    struct Row {
        const char* name;
        std::function<void(double)> set;
        std::function<double()> get;
        double value, expected;
    };
    TPlot3D& p = plot;
    const Row rows[] = {
        {"magnification high", [&](double v) { p.SetMagnification(v); },
         [&] { return p.Magnification(); }, 5, 3.0},
        {"magnification low", [&](double v) { p.SetMagnification(v); },
         [&] { return p.Magnification(); }, 0, 0.001},
        {"min tick low", [&](double v) { p.SetMinTickX(int(v)); },
         [&] { return double(p.MinTickX()); }, 1, 2},
        {"min tick high", [&](double v) { p.SetMinTickY(int(v)); },
         [&] { return double(p.MinTickY()); }, 50, 20},
        {"dec place low", [&](double v) { p.SetDecPlaceX(int(v)); },
         [&] { return double(p.DecPlaceX()); }, -5, -2},
        {"dec place high", [&](double v) { p.SetDecPlaceZ(int(v)); },
         [&] { return double(p.DecPlaceZ()); }, 20, 12},
        {"centre x high", [&](double v) { p.SetCentX(int(v)); }, [&] { return double(p.CentX()); },
         5000, 1300},
        {"centre x low", [&](double v) { p.SetCentX(int(v)); }, [&] { return double(p.CentX()); },
         -5000, -650},
        {"centre y high", [&](double v) { p.SetCentY(int(v)); }, [&] { return double(p.CentY()); },
         2147483647, 1000},
        {"centre y low", [&](double v) { p.SetCentY(int(v)); }, [&] { return double(p.CentY()); },
         -2147483647 - 1.0, -500},
    };
    for (const Row& r : rows) {
        r.set(r.value);
        EXPECT_EQ(r.get(), r.expected) << r.name;
    }
}

TEST_F(Properties, ColorScaleEndsStayOrdered) {
    const int before = host.paints;
    plot.SetColorScaleHigh(0); // not above the low end 0
    plot.SetColorScaleHigh(-1);
    plot.SetColorScaleLow(100); // not below the high end 100
    EXPECT_EQ(plot.ColorScaleHigh(), 100);
    EXPECT_EQ(plot.ColorScaleLow(), 0);
    EXPECT_EQ(host.paints, before);
    plot.SetColorScaleHigh(8);
    plot.SetColorScaleLow(-7);
    EXPECT_EQ(plot.ColorScaleHigh(), 8);
    EXPECT_EQ(plot.ColorScaleLow(), -7);
    EXPECT_EQ(host.paints, before + 2);
}

TEST_F(Properties, EqualRangeEndsAreMovedApart) {
    plot.SetRangeZLow(1); // equal to the high end 1
    EXPECT_EQ(plot.RangeZLow(), 0);
    EXPECT_EQ(plot.ZScale(), 300);
    EXPECT_EQ(plot.ZOffset(), -150);
    plot.SetRangeXHigh(-1); // equal to the low end -1
    EXPECT_EQ(plot.RangeXHigh(), 0);
    plot.SetRangeYLow(5);
    plot.SetRangeYHigh(5);
    EXPECT_EQ(plot.RangeYHigh(), 6);
}

TEST_F(Properties, ZMappingFollowsEveryRangeSetter) {
    plot.SetRangeZLow(-4);
    plot.SetRangeZHigh(4);
    EXPECT_EQ(plot.ZScale(), 37.5);
    EXPECT_EQ(plot.ZOffset(), 0);
    plot.SetRangeZLow(0);
    EXPECT_EQ(plot.ZScale(), 75);
    EXPECT_EQ(plot.ZOffset(), -150);
    // Low maps to the box bottom and high to its top, reversed or not.
    plot.SetRangeZLow(10);
    plot.SetRangeZHigh(-2);
    EXPECT_DOUBLE_EQ(plot.ZScale() * 10 + plot.ZOffset(), -150);
    EXPECT_DOUBLE_EQ(plot.ZScale() * -2 + plot.ZOffset(), 150);
}

TEST_F(Properties, RepaintRules) {
    // Setters marked "if changed" do nothing on their current value; the
    // others repaint on every assignment.
    struct Row {
        const char* name;
        std::function<void()> assignCurrent;
        int paints;
    };
    TPlot3D& p = plot;
    const Row rows[] = {
        {"BoundBoxStyle", [&] { p.SetBoundBoxStyle(p.BoundBoxStyle()); }, 0},
        {"CentX", [&] { p.SetCentX(p.CentX()); }, 0},
        {"CentY", [&] { p.SetCentY(p.CentY()); }, 0},
        {"ColorCodeAvg", [&] { p.SetColorCodeAvg(p.ColorCodeAvg()); }, 0},
        {"ColorCodingMode", [&] { p.SetColorCodingMode(p.ColorCodingMode()); }, 0},
        {"ColorScheme", [&] { p.SetColorScheme(p.ColorScheme()); }, 0},
        {"FrameStyle", [&] { p.SetFrameStyle(p.FrameStyle()); }, 0},
        {"MeshVisible", [&] { p.SetMeshVisible(p.MeshVisible()); }, 0},
        {"MinTickZ", [&] { p.SetMinTickZ(p.MinTickZ()); }, 0},
        {"MouseAction", [&] { p.SetMouseAction(maZoom); }, 0},
        {"ColorFrame", [&] { p.SetColorFrame(p.ColorFrame()); }, 1},
        {"ColorMesh", [&] { p.SetColorMesh(p.ColorMesh()); }, 1},
        {"ColorLow", [&] { p.SetColorLow(p.ColorLow()); }, 1},
        {"DecPlaceY", [&] { p.SetDecPlaceY(p.DecPlaceY()); }, 1},
        {"Magnification", [&] { p.SetMagnification(p.Magnification()); }, 1},
        {"RangeXLow", [&] { p.SetRangeXLow(p.RangeXLow()); }, 1},
        {"ScaleFactZ", [&] { p.SetScaleFactZ(p.ScaleFactZ()); }, 1},
        {"VisibleYCoords", [&] { p.SetVisibleYCoords(p.VisibleYCoords()); }, 1},
    };
    for (const Row& r : rows) {
        const int before = host.paints;
        r.assignCurrent();
        EXPECT_EQ(host.paints - before, r.paints) << r.name;
        EXPECT_EQ(host.presents, host.paints) << r.name;
    }
}

TEST_F(Properties, HoldPaintBracketsABatch) {
    plot.SetHoldPaint(true);
    plot.SetViewAngleX(30);
    plot.SetColorMesh(clRed);
    plot.Paint();
    EXPECT_EQ(host.paints, 0);
    plot.SetHoldPaint(true); // unchanged: nothing
    EXPECT_EQ(host.paints, 0);
    plot.SetHoldPaint(false);
    EXPECT_EQ(host.paints, 1);
    plot.SetHoldPaint(false);
    EXPECT_EQ(host.paints, 1);
}

TEST_F(Properties, InvisiblePlotPaintsNothing) {
    plot.SetVisible(false);
    plot.SetColorMesh(clRed);
    plot.Paint();
    EXPECT_EQ(host.paints, 0);
    EXPECT_EQ(host.presents, 0);
    plot.SetVisible(true);
    plot.Paint();
    EXPECT_EQ(host.paints, 1);
    EXPECT_EQ(host.width, 650);
    EXPECT_EQ(host.height, 500);
}

TEST_F(Properties, DataChangesResizeTheGridsWithoutPainting) {
    plot.SurfaceData().Resize(36, 20);
    plot.SurfaceData().SetCell(3, 3, 1.0);
    EXPECT_EQ(plot.ScreenXGrid().NrOfColumns(), 36);
    EXPECT_EQ(plot.ScreenYGrid().NrOfRows(), 20);
    EXPECT_EQ(plot.DrawOrderGrid().NrOfColumns(), 36);
    EXPECT_EQ(host.paints, 0);
}

using Geometry = PlotFixture;

TEST_F(Geometry, RotationMatrix) {
    plot.SetViewAngleX(66);
    plot.SetViewAngleZ(115);
    const double a = 66 * Deg, b = 115 * Deg;
    const double expected[3][3] = {
        {std::cos(b), -std::sin(b), 0},
        {std::cos(a) * std::sin(b), std::cos(a) * std::cos(b), -std::sin(a)},
        {std::sin(a) * std::sin(b), std::sin(a) * std::cos(b), std::cos(a)},
    };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(plot.R(r + 1, c + 1), expected[r][c], 1e-12) << r << c;
    EXPECT_EQ(plot.R(1, 3), 0.0);
}

TEST_F(Geometry, TinyEntriesBecomeExactZeros) {
    plot.SetViewAngleX(90);
    plot.SetViewAngleZ(0);
    EXPECT_EQ(plot.R(2, 1), 0.0);
    EXPECT_EQ(plot.R(2, 2), 0.0); // cos 90 degrees is 6e-17 before the clean-up
    EXPECT_EQ(plot.R(3, 3), 0.0);
    EXPECT_EQ(plot.R(1, 2), 0.0);
    EXPECT_EQ(plot.R(2, 3), -1.0);
    // Side view: screen x follows x only, screen y the height only.
    const TPoint p = plot.Project(10, 0, 20);
    EXPECT_EQ(plot.Project(10, 140, 20), p);
    EXPECT_EQ(plot.Project(10, -90, 35).x, p.x);
    EXPECT_EQ(plot.Project(-40, 60, 20).y, p.y);
}

TEST_F(Geometry, ProjectionRoundsHalfToEven) {
    plot.SetViewAngleX(0);
    plot.SetViewAngleZ(0); // identity rotation
    struct Row {
        double x;
        int expected;
    };
    const Row rows[] = {{0.5, 326}, {1.5, 326}, {-0.5, 324}, {-1.5, 324}, {0.25, 325}};
    for (const Row& r : rows) EXPECT_EQ(plot.Project(r.x, 0, 0).x, r.expected) << r.x;
    plot.SetMagnification(2);
    plot.SetScaleFactY(0.25);
    EXPECT_EQ(plot.Project(0, 1, 0).y, 250); // 250.5 goes to the even 250
    EXPECT_EQ(plot.Project(0, 3, 0).y, 252); // 251.5 goes to 252
}

TEST_F(Geometry, GridToModelSpansTheBox) {
    plot.SurfaceData().Resize(36, 5);
    plot.SetRangeZLow(-4);
    plot.SetRangeZHigh(4);
    double x, y, z;
    plot.GridToModel(1, 1, -4, x, y, z);
    EXPECT_DOUBLE_EQ(x, -150);
    EXPECT_DOUBLE_EQ(y, -150);
    EXPECT_DOUBLE_EQ(z, -150);
    plot.GridToModel(36, 5, 4, x, y, z);
    EXPECT_DOUBLE_EQ(x, 150);
    EXPECT_DOUBLE_EQ(y, 150);
    EXPECT_DOUBLE_EQ(z, 150);
    plot.GridToModel(2, 3, 8, x, y, z);
    EXPECT_DOUBLE_EQ(x, -150 + 300.0 / 35);
    EXPECT_DOUBLE_EQ(y, 0);
    EXPECT_DOUBLE_EQ(z, 300);        // outside the z range: not clipped
    plot.SurfaceData().Resize(1, 3); // a single column steps by 1.0
    plot.GridToModel(1, 1, 0, x, y, z);
    EXPECT_DOUBLE_EQ(x, 0);
    EXPECT_DOUBLE_EQ(y, -150);
    plot.GridToModel(2, 1, 0, x, y, z);
    EXPECT_DOUBLE_EQ(x, 1);
}

TEST_F(Geometry, FarCorner) {
    struct Row {
        double angleX, angleZ;
        int far;
    };
    // The far corner lies opposite the viewer: its signs are those that
    // make sx*R31 + sy*R32 + sz*R33 smallest.
    const Row rows[] = {{60, 15, 0},  {66, 115, 2}, {60, 200, 6}, {60, 300, 4},
                        {120, 15, 1}, {240, 15, 7}, {0, 0, 0}};
    for (const Row& r : rows) {
        plot.SetViewAngleX(r.angleX);
        plot.SetViewAngleZ(r.angleZ);
        EXPECT_EQ(plot.FarCorner(), r.far) << r.angleX << "/" << r.angleZ;
    }
}

TEST_F(Geometry, BrokenValuesNeverLeaveTheScreenRange) {
    plot.SetScaleFactX(1e300);
    plot.SetRangeZLow(std::numeric_limits<double>::quiet_NaN());
    const TPoint far = plot.Project(150, 0, 0);
    EXPECT_LE(std::abs(far.x), NearestLimit);
    double x, y, z;
    plot.GridToModel(1, 1, 0, x, y, z);
    const TPoint nan = plot.Project(x, y, z);
    EXPECT_LE(std::abs(nan.x), NearestLimit);
    plot.SurfaceData().Resize(3, 3);
    plot.SurfaceData().SetCell(2, 2, std::numeric_limits<double>::infinity());
    const int before = host.paints;
    plot.Paint(); // must not trip the sanitizer
    EXPECT_EQ(host.paints, before + 1);
}

TEST_F(Geometry, ExtremeValuesPaintWithinTheScreenRange) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    struct Row {
        const char* name;
        std::function<void(TPlot3D&)> set;
    };
    const Row rows[] = {
        {"NaN scale factor", [](TPlot3D& p) { p.SetScaleFactY(nan); }},
        {"huge scale factor", [](TPlot3D& p) { p.SetScaleFactZ(1e300); }},
        {"infinite z range", [](TPlot3D& p) { p.SetRangeZHigh(inf); }},
        {"widest colour scale",
         [](TPlot3D& p) {
             p.SetColorScaleHigh(1.7e308);
             p.SetColorScaleLow(-1.7e308);
         }},
        {"infinite colour scale", [](TPlot3D& p) { p.SetColorScaleHigh(inf); }},
        {"NaN x range", [](TPlot3D& p) { p.SetRangeXLow(nan); }},
        {"handler writes NaN and huge values",
         [](TPlot3D& p) {
             p.OnMouseAction = [](TPlot3D&, int& cx, int&, double& rx, double& rz, double& mag,
                                  TShiftState) {
                 cx = 2147483647;
                 rx = nan;
                 rz = 1e300;
                 mag = -inf;
             };
             p.MouseMove(TShiftState{}, 10, 10);
             p.MouseMove(TShiftState{false, false, false, true, false, false}, 20, 20);
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TPlot3D p;
        RecordingHost h;
        p.SetHost(&h);
        p.SurfaceData().Resize(4, 4);
        p.SurfaceData().SetCell(1, 1, nan);
        p.SurfaceData().SetCell(2, 2, inf);
        p.SurfaceData().SetCell(3, 3, -1e308);
        r.set(p);
        p.Paint();
        for (int i = 1; i <= 4; ++i)
            for (int j = 1; j <= 4; ++j) {
                EXPECT_LE(std::abs(p.ScreenXGrid().Cell(i, j)), NearestLimit);
                EXPECT_LE(std::abs(p.ScreenYGrid().Cell(i, j)), NearestLimit);
            }
        for (const DrawOp& op : h.canvas.ops)
            EXPECT_EQ(op.brushColor >> 24, 0u); // plain 24-bit colours
        int cx = 0, cy = 0;
        p.HitTest(100, 100, cx, cy);
    }
}

TEST_F(Geometry, DesignTimePicture) {
    struct Row {
        const char* name;
        TColor background, text;
    };
    const Row rows[] = {{"white", clWhite, clBlack},
                        {"navy", clNavy, clWhite},
                        {"exactly 50000", RGB(200, 100, 0), clWhite},
                        {"just above", RGB(200, 100, 1), clBlack}};
    plot.SurfaceData().Resize(4, 4);
    plot.SetDesigning(true);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetColorBakGnd(r.background);
        const auto texts = host.canvas.OpsOf(DrawOp::Text);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, "Plot3D");
        EXPECT_EQ(texts[0].points[0], (TPoint{10, 10}));
        EXPECT_EQ(texts[0].fontColor, r.text);
        EXPECT_TRUE(host.canvas.OpsOf(DrawOp::Poly).empty());
        EXPECT_EQ(host.canvas.OpsOf(DrawOp::Line).size(), 8u); // the lowered frame
    }
}

TEST_F(Geometry, PaintClearsTheWholeBitmapFirst) {
    plot.SetColorBakGnd(clNavy);
    const DrawOp& first = host.canvas.ops.front();
    EXPECT_EQ(first.kind, DrawOp::Rect);
    EXPECT_EQ(first.points[0], (TPoint{0, 0}));
    EXPECT_EQ(first.points[1], (TPoint{650, 500}));
    EXPECT_EQ(first.brushColor, clNavy);
    EXPECT_EQ(first.penColor, clNavy);
    EXPECT_EQ(first.brushStyle, bsSolid);
}

} // namespace
