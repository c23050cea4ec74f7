// Rendering of the surface and the box on the recording canvas: painter's
// order, colour coding, the cell handler, substituted canvases, box faces.
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <utility>
#include <vector>

#include "plot/plot3d.h"
#include "plot/recordingcanvas.h"

namespace {

struct Render : ::testing::Test {
    TPlot3D plot;
    RecordingHost host;
    Render() {
        plot.SetHost(&host);
        plot.SetHoldPaint(true);
        plot.SetVisibleXCoords(false);
        plot.SetVisibleYCoords(false);
        plot.SetVisibleZCoords(false);
        plot.SetBoundBoxStyle(bbNone);
        plot.SetFrameStyle(fsNone);
    }
    void Fill(int cols, int rows, double (*f)(int, int)) {
        plot.SurfaceData().Resize(cols, rows);
        for (int i = 1; i <= cols; ++i)
            for (int j = 1; j <= rows; ++j) plot.SurfaceData().SetCell(i, j, f(i, j));
    }
    void Paint() {
        plot.SetHoldPaint(false);
        plot.SetHoldPaint(true);
    }
    std::vector<std::pair<int, int>> CellsInDrawingOrder() {
        std::vector<std::pair<int, int>> cells;
        plot.OnBeforeRenderPolygon = [&](TPlot3D&, Canvas*&, bool&, int i, int j, TQuad, TColor&) {
            cells.emplace_back(i, j);
        };
        Paint();
        plot.OnBeforeRenderPolygon = nullptr;
        return cells;
    }
};

double Zero(int, int) {
    return 0;
}

TEST_F(Render, PaintersOrder) {
    struct Row {
        const char* name;
        double angleX, angleZ;
        bool rowsAscend, colsAscend;
    };
    const Row rows[] = {
        {"x<=180 z<90", 60, 15, true, true},          {"x<=180 z 90..180", 66, 115, false, true},
        {"x<=180 z 180..270", 60, 200, false, false}, {"x<=180 z>270", 60, 300, true, false},
        {"x>180 z<90", 200, 15, false, false},        {"x>180 z 90..180", 200, 100, true, false},
        {"x>180 z 180..270", 200, 250, true, true},   {"x>180 z>270", 200, 300, false, true},
        {"x exactly 180", 180, 15, true, true},       {"z exactly 90", 60, 90, false, true},
        {"z exactly 180", 60, 180, false, true},      {"z exactly 270", 60, 270, false, false},
        {"x 180 z 270", 180, 270, false, false},      {"x 360 z 0", 360, 0, false, false},
    };
    const int C = 5, N = 4;
    Fill(C, N, Zero);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetViewAngleX(r.angleX);
        plot.SetViewAngleZ(r.angleZ);
        const auto cells = CellsInDrawingOrder();
        ASSERT_EQ(cells.size(), size_t((C - 1) * (N - 1)));
        const int firstI = r.colsAscend ? 1 : C - 1, lastI = r.colsAscend ? C - 1 : 1;
        const int firstJ = r.rowsAscend ? 1 : N - 1, lastJ = r.rowsAscend ? N - 1 : 1;
        EXPECT_EQ(cells.front(), std::make_pair(firstI, firstJ));
        // Columns form the inner loop.
        EXPECT_EQ(cells[1], std::make_pair(firstI + (r.colsAscend ? 1 : -1), firstJ));
        EXPECT_EQ(cells[C - 1], std::make_pair(firstI, firstJ + (r.rowsAscend ? 1 : -1)));
        EXPECT_EQ(cells.back(), std::make_pair(lastI, lastJ));
    }
}

TEST_F(Render, DrawingOrderNumbers) {
    struct Row {
        const char* name;
        double angleX, angleZ;
        int lastI, lastJ;
    };
    const Row rows[] = {{"both ascending", 60, 15, 35, 35},
                        {"main window view", 66, 115, 35, 1},
                        {"both descending", 60, 200, 1, 1}};
    Fill(36, 36, Zero);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        plot.SetViewAngleX(r.angleX);
        plot.SetViewAngleZ(r.angleZ);
        const auto cells = CellsInDrawingOrder();
        ASSERT_EQ(cells.size(), 1225u);
        EXPECT_EQ(cells.back(), std::make_pair(r.lastI, r.lastJ));
        // The last cell's P2 is (i+1, j+1) and carries 35*36 + 35 + 1.
        EXPECT_EQ(plot.DrawOrderGrid().Cell(r.lastI + 1, r.lastJ + 1), 1296);
    }
    // Both ascending: P0 of the first cell is never drawn again; P1 of the
    // first cell is overwritten as P0 of the second, with the same number.
    plot.SetViewAngleX(60);
    plot.SetViewAngleZ(15);
    Paint();
    EXPECT_EQ(plot.DrawOrderGrid().Cell(1, 1), 1);
    EXPECT_EQ(plot.DrawOrderGrid().Cell(2, 1), 2);
    EXPECT_EQ(plot.DrawOrderGrid().Cell(1, 2), 37);
    EXPECT_EQ(plot.DrawOrderGrid().Cell(36, 1), 36);
}

TEST_F(Render, ScreenGridsHoldTheProjection) {
    Fill(6, 5, [](int i, int j) { return 0.1 * i - 0.2 * j; });
    plot.SetViewAngleX(66);
    plot.SetViewAngleZ(115);
    Paint();
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 5; ++j) {
            double x, y, z;
            plot.GridToModel(i, j, 0.1 * i - 0.2 * j, x, y, z);
            const TPoint p = plot.Project(x, y, z);
            EXPECT_EQ(plot.ScreenXGrid().Cell(i, j), p.x) << i << "," << j;
            EXPECT_EQ(plot.ScreenYGrid().Cell(i, j), p.y) << i << "," << j;
        }
    // The polygons are the cells' points in the order P0, P1, P2, P3.
    const auto polys = host.canvas.OpsOf(DrawOp::Poly);
    ASSERT_EQ(polys.size(), 20u);
    const auto grid = [&](int i, int j) {
        return TPoint{plot.ScreenXGrid().Cell(i, j), plot.ScreenYGrid().Cell(i, j)};
    };
    // Main window view: rows descend, columns ascend, so cell (1, 4) is first.
    EXPECT_EQ(polys[0].points,
              (std::vector<TPoint>{grid(1, 4), grid(2, 4), grid(2, 5), grid(1, 5)}));
}

TEST_F(Render, ColorCoding) {
    struct Row {
        const char* name;
        TColorCodingMode mode;
        double value;
        TColor expected;
    };
    // Main window colours: low fuchsia, mid white, high yellow, scale -7..8.
    const Row rows[] = {
        {"two colours, middle", ccmTwoColors, 0.5, RGB(255, 128, 128)},
        {"two colours, high end", ccmTwoColors, 8, clYellow},
        {"two colours, above", ccmTwoColors, 1e9, clYellow},
        {"two colours, low end", ccmTwoColors, -7, clFuchsia},
        {"two colours, below", ccmTwoColors, -100, clFuchsia},
        {"two colours, quarter", ccmTwoColors, -3.25, RGB(255, 64, 191)},
        {"three colours, middle", ccmThreeColors, 0.5, clWhite},
        {"three colours, three quarters", ccmThreeColors, 4.25, RGB(255, 255, 128)},
        {"three colours, quarter", ccmThreeColors, -3.25, RGB(255, 128, 255)},
        {"three colours, high", ccmThreeColors, 8, clYellow},
        {"NaN counts as the low end", ccmTwoColors, std::numeric_limits<double>::quiet_NaN(),
         clFuchsia},
    };
    plot.SetColorLow(clFuchsia);
    plot.SetColorMid(clWhite);
    plot.SetColorHigh(clYellow);
    plot.SetColorScaleHigh(8);
    plot.SetColorScaleLow(-7);
    for (const Row& r : rows) {
        plot.SetColorCodingMode(r.mode);
        EXPECT_EQ(plot.ColorCode(r.value), r.expected) << r.name;
    }
    // The fourth byte of a colour takes no part in the blend.
    plot.SetColorCodingMode(ccmTwoColors);
    plot.SetColorLow(0x7F000000 | clBlack);
    plot.SetColorHigh(0x7F000000 | clWhite);
    EXPECT_EQ(plot.ColorCode(8), clWhite);
}

TEST_F(Render, CellValueIsTheLargestCornerOrTheMean) {
    plot.SurfaceData().Resize(2, 2);
    plot.SurfaceData().SetCell(2, 2, 10);
    plot.SetColorLow(clBlack);
    plot.SetColorHigh(clWhite);
    plot.SetColorScaleLow(0);
    plot.SetColorScaleHigh(10);
    Paint();
    ASSERT_EQ(host.canvas.OpsOf(DrawOp::Poly).size(), 1u);
    EXPECT_EQ(host.canvas.OpsOf(DrawOp::Poly)[0].brushColor, clWhite);
    plot.SetColorCodeAvg(true);
    Paint();
    EXPECT_EQ(host.canvas.OpsOf(DrawOp::Poly)[0].brushColor, RGB(64, 64, 64)); // 2.5 of 10
}

TEST_F(Render, MeshAndHandledCells) {
    Fill(3, 2, [](int i, int) { return double(i); });
    plot.SetColorMesh(clMaroon);
    plot.SetColorScaleLow(0);
    plot.SetColorScaleHigh(3);
    Paint();
    for (const DrawOp& op : host.canvas.OpsOf(DrawOp::Poly)) EXPECT_EQ(op.penColor, clMaroon);
    plot.SetMeshVisible(false);
    Paint();
    for (const DrawOp& op : host.canvas.OpsOf(DrawOp::Poly)) EXPECT_EQ(op.penColor, op.brushColor);

    // A handler may skip a cell or change its colour; grids still update.
    plot.OnBeforeRenderPolygon = [](TPlot3D&, Canvas*&, bool& handled, int i, int, TQuad,
                                    TColor& color) {
        if (i == 1) handled = true;
        color = clAqua;
    };
    Paint();
    const auto polys = host.canvas.OpsOf(DrawOp::Poly);
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ(polys[0].brushColor, clAqua);
    double x, y, z;
    plot.GridToModel(1, 1, 1, x, y, z);
    EXPECT_EQ(plot.ScreenXGrid().Cell(1, 1), plot.Project(x, y, z).x);
    EXPECT_EQ(plot.DrawOrderGrid().Cell(1, 1), 1);
}

// A mesh step k draws only the cell edges on every k-th grid line: on a 5 x 5
// grid with k = 2, lines 1, 3 and 5 in each direction, 4 edges each, the
// inner line's edges drawn by the cells on both sides: 2 * (4 + 8 + 4).
TEST_F(Render, MeshEveryKthLine) {
    Fill(5, 5, [](int i, int j) { return 0.1 * i * j; });
    plot.SetColorMesh(clMaroon);
    plot.SetMeshStep(2);
    Paint();
    for (const DrawOp& op : host.canvas.OpsOf(DrawOp::Poly)) EXPECT_EQ(op.penColor, op.brushColor);
    const auto lines = host.canvas.OpsOf(DrawOp::Line);
    EXPECT_EQ(lines.size(), 32u);
    for (const DrawOp& op : lines) EXPECT_EQ(op.penColor, clMaroon);
    plot.SetMeshStep(1);
    Paint();
    EXPECT_TRUE(host.canvas.OpsOf(DrawOp::Line).empty());
}

TEST_F(Render, QuadPassedToTheHandlerIsTheDrawnOne) {
    Fill(2, 2, [](int i, int j) { return 0.3 * i * j; });
    TQuad seen{};
    plot.OnBeforeRenderPolygon = [&](TPlot3D&, Canvas*&, bool&, int, int, TQuad q, TColor&) {
        seen = q;
        q[0] = {-1, -1}; // a copy: changing it changes nothing
    };
    Paint();
    const auto polys = host.canvas.OpsOf(DrawOp::Poly);
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ(polys[0].points, std::vector<TPoint>(seen.begin(), seen.end()));
}

TEST_F(Render, SubstitutedCanvasTakesTheRestOfTheRendering) {
    Fill(3, 2, Zero);
    plot.SetBoundBoxStyle(bbFaces);
    plot.SetVisibleZCoords(true);
    RecordingCanvas other;
    plot.OnBeforeRenderPolygon = [&](TPlot3D&, Canvas*& canvas, bool&, int, int, TQuad, TColor&) {
        canvas = &other;
    };
    Canvas* rendered = nullptr;
    plot.OnDataRendered = [&](TPlot3D&, Canvas*& canvas) { rendered = canvas; };
    plot.SetFrameStyle(fsSimple);
    Paint();
    EXPECT_EQ(rendered, &other);
    EXPECT_EQ(other.OpsOf(DrawOp::Poly).size(), 2u);       // both cells
    EXPECT_EQ(host.canvas.OpsOf(DrawOp::Poly).size(), 3u); // box faces only
    EXPECT_FALSE(other.OpsOf(DrawOp::Text).empty());       // the z scale
    EXPECT_TRUE(host.canvas.OpsOf(DrawOp::Text).empty());
    // The frame goes to the bitmap.
    const auto lines = host.canvas.OpsOf(DrawOp::Line);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines.back().points[1], (TPoint{0, 0}));
}

TEST_F(Render, DataRenderedComesAfterTheScalesAndBeforeTheFrame) {
    Fill(3, 3, Zero);
    plot.SetVisibleXCoords(true);
    size_t opsAtEvent = 0;
    plot.OnDataRendered = [&](TPlot3D&, Canvas*& canvas) {
        opsAtEvent = static_cast<RecordingCanvas*>(canvas)->ops.size();
        canvas->SetFontName("Verdana");
    };
    plot.SetFrameStyle(fsRaised);
    Paint();
    const auto& ops = host.canvas.ops;
    ASSERT_EQ(ops.size(), opsAtEvent + 8); // the bevel's eight lines follow
    EXPECT_EQ(ops[opsAtEvent - 1].kind, DrawOp::Text);
    // A font face set by the handler stays for later paints.
    plot.OnDataRendered = nullptr;
    Paint();
    EXPECT_EQ(host.canvas.OpsOf(DrawOp::Text)[0].fontName, "Verdana");
}

TEST_F(Render, GridsTooSmallDrawNoCells) {
    for (auto size : {std::make_pair(1, 36), std::make_pair(36, 1), std::make_pair(1, 1)}) {
        plot.SurfaceData().Resize(size.first, size.second);
        plot.SetBoundBoxStyle(bbFaces);
        plot.SetVisibleXCoords(true);
        Paint();
        EXPECT_EQ(host.canvas.OpsOf(DrawOp::Poly).size(), 3u); // the box only
        EXPECT_FALSE(host.canvas.OpsOf(DrawOp::Text).empty());
    }
}

TEST_F(Render, CellsWithANonFiniteCornerAreNotDrawn) {
    const struct {
        const char* name;
        double value;
    } rows[] = {{"NaN", std::numeric_limits<double>::quiet_NaN()},
                {"+inf", std::numeric_limits<double>::infinity()},
                {"-inf", -std::numeric_limits<double>::infinity()}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Fill(4, 3, Zero);
        plot.SurfaceData().SetCell(1, 1, r.value); // a corner of cell (1, 1) only
        const auto cells = CellsInDrawingOrder();
        EXPECT_EQ(cells.size(), 5u);
        EXPECT_EQ(std::count(cells.begin(), cells.end(), std::make_pair(1, 1)), 0);
        EXPECT_EQ(host.canvas.OpsOf(DrawOp::Poly).size(), 5u);
        // Nor does the pointer find it where its corners would put it.
        int x = 0, y = 0;
        for (auto [i, j] : {std::make_pair(1, 1), {2, 1}, {2, 2}, {1, 2}}) {
            x += plot.ScreenXGrid().Cell(i, j) / 4;
            y += plot.ScreenYGrid().Cell(i, j) / 4;
        }
        int cx = 0, cy = 0;
        plot.HitTest(x, y, cx, cy);
        EXPECT_NE(std::make_pair(cx, cy), std::make_pair(1, 1));
    }
}

using Box = Render;

TEST_F(Box, FacesEdgesAndShading) {
    Fill(3, 3, Zero);
    plot.SetBoundBoxStyle(bbFaces);
    plot.SetColorCubeFaceLow(0xC0C0C0);
    plot.SetColorCubeFaceHigh(0xFEEEEE);
    plot.SetColorCubeFrame(0x404040);
    plot.SetColorCubeHidLin(0xB0B0B0);
    Paint(); // default view 60/15: far corner 0, near corner 7
    const auto& ops = host.canvas.ops;
    // ops[0] is the background.
    const auto corner = [&](int c) {
        return plot.Project((c & 4) ? 150 : -150, (c & 2) ? 150 : -150, (c & 1) ? 150 : -150);
    };
    struct Face {
        const char* name;
        int corners[4];
        TColor color;
    };
    // Shades by hand: top 200*cos 60 = 100, right 200*sin 60*sin 15 = 44.8 -> 45,
    // back 200*sin 60*cos 15 = 167.3 -> 167; channel = low + (high - low)*H/200.
    const Face faces[] = {
        {"top", {1, 5, 7, 3}, RGB(192 + 46 * 100 / 200, 215, 192 + 62 * 100 / 200)},
        {"right", {4, 5, 7, 6}, RGB(202, 202, 205)},
        {"back", {2, 3, 7, 6}, RGB(230, 230, 243)},
    };
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(faces[k].name);
        const DrawOp& op = ops[1 + k];
        ASSERT_EQ(op.kind, DrawOp::Poly);
        for (int p = 0; p < 4; ++p) EXPECT_EQ(op.points[p], corner(faces[k].corners[p]));
        EXPECT_EQ(op.brushColor, faces[k].color);
        EXPECT_EQ(op.brushStyle, bsSolid);
        EXPECT_EQ(op.penColor, 0x404040u);
    }
    // Hidden edges from the far corner 0 to 1, 2, 4, before the surface.
    for (int k = 0; k < 3; ++k) {
        const DrawOp& op = ops[4 + k];
        ASSERT_EQ(op.kind, DrawOp::Line);
        EXPECT_EQ(op.points[0], corner(0));
        EXPECT_EQ(op.points[1], corner(1 << k));
        EXPECT_EQ(op.penColor, 0xB0B0B0u);
    }
    EXPECT_EQ(ops[7].kind, DrawOp::Poly); // the first cell
    // Front edges from the near corner 7 to 3, 5, 6, over the surface.
    const size_t n = ops.size();
    const int front[] = {3, 5, 6};
    for (int k = 0; k < 3; ++k) {
        const DrawOp& op = ops[n - 3 + k];
        ASSERT_EQ(op.kind, DrawOp::Line);
        EXPECT_EQ(op.points[0], corner(7));
        EXPECT_EQ(op.points[1], corner(front[k]));
        EXPECT_EQ(op.penColor, 0x404040u);
    }
    EXPECT_EQ(ops[n - 4].kind, DrawOp::Poly); // the last cell
}

TEST_F(Box, FacesAtEachNearCorner) {
    struct Row {
        double angleX, angleZ;
        int near;
        int faces[3][4];
    };
    const Row rows[] = {
        {66, 115, 5, {{1, 5, 7, 3}, {0, 4, 5, 1}, {4, 5, 7, 6}}}, // top, front, right
        {120, 15, 6, {{2, 3, 7, 6}, {2, 6, 4, 0}, {4, 5, 7, 6}}}, // back, bottom, right
        {60, 200, 1, {{1, 5, 7, 3}, {0, 4, 5, 1}, {0, 1, 3, 2}}}, // top, front, left
        {240, 15, 0, {{0, 1, 3, 2}, {0, 4, 5, 1}, {2, 6, 4, 0}}}, // left, front, bottom
    };
    Fill(2, 2, Zero);
    plot.SetBoundBoxStyle(bbFrame);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.near);
        plot.SetViewAngleX(r.angleX);
        plot.SetViewAngleZ(r.angleZ);
        ASSERT_EQ(7 - plot.FarCorner(), r.near);
        Paint();
        const auto polys = host.canvas.OpsOf(DrawOp::Poly);
        ASSERT_EQ(polys.size(), 4u);
        for (int k = 0; k < 3; ++k) {
            const int c = r.faces[k][0];
            EXPECT_EQ(polys[k].points[0], plot.Project((c & 4) ? 150 : -150, (c & 2) ? 150 : -150,
                                                       (c & 1) ? 150 : -150));
            EXPECT_EQ(polys[k].brushStyle, bsClear); // outlined, not filled
        }
        EXPECT_EQ(polys[3].brushStyle, bsSolid); // the cell is filled again
    }
}

TEST_F(Box, HeadOnFaceGetsTheHighColour) {
    Fill(2, 2, Zero);
    plot.SetBoundBoxStyle(bbFaces);
    plot.SetViewAngleX(0);
    plot.SetViewAngleZ(0);
    plot.SetColorCubeFaceLow(RGB(10, 20, 30));
    plot.SetColorCubeFaceHigh(RGB(110, 220, 31));
    Paint();
    // Near corner 7: top seen head-on, right and back edge-on.
    const auto polys = host.canvas.OpsOf(DrawOp::Poly);
    EXPECT_EQ(polys[0].brushColor, RGB(110, 220, 31));
    EXPECT_EQ(polys[1].brushColor, RGB(10, 20, 30));
    EXPECT_EQ(polys[2].brushColor, RGB(10, 20, 30));
}

} // namespace
