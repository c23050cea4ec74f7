// A full TPlot3D paint on the recording canvas with fuzzed properties, view
// angles, size, scale factors and grid values (NaN and infinities included),
// followed by a few mouse moves that drag, zoom or pan and hit-test.
//
// Input: a stream of property values, the grid size and values, the mouse
// moves; a short input leaves the rest at zero. The size is bounded (at most
// 2000 x 2000 pixels, 64 x 64 grid points) so that one paint stays fast. The
// plot raises nothing: any exception, crash or sanitizer report is a finding.
#include "app/windowplot.h"
#include "fuzz/fuzz_input.h"
#include "plot/plot3d.h"
#include "plot/recordingcanvas.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kMaxSize = 2000;
constexpr int kMaxGrid = 64;
constexpr int kMaxMoves = 3;

// One host for all inputs, so that its recording keeps its capacity; its
// canvas state is put back to the defaults for every input.
RecordingHost& Host() {
    static RecordingHost host;
    RecordingCanvas& c = host.canvas;
    c.ops.clear();
    c.SetPenColor(clBlack);
    c.SetBrushColor(clWhite);
    c.SetFontName("DejaVu Sans");
    c.SetFontSize(8);
    c.SetFontColor(clBlack);
    c.MoveTo(0, 0);
    host.paints = host.presents = 0;
    return host;
}

std::size_t DrawableCells(const TMatrix& grid) {
    std::size_t count = 0;
    for (int i = 1; i < grid.NrOfColumns(); ++i)
        for (int j = 1; j < grid.NrOfRows(); ++j)
            if (std::isfinite(grid.Cell(i, j)) && std::isfinite(grid.Cell(i + 1, j)) &&
                std::isfinite(grid.Cell(i, j + 1)) && std::isfinite(grid.Cell(i + 1, j + 1)))
                ++count;
    return count;
}

std::size_t CountPolygons(const RecordingCanvas& canvas) {
    std::size_t n = 0;
    for (const DrawOp& op : canvas.ops) n += op.kind == DrawOp::Poly;
    return n;
}

// Mostly small grids, which paint fast; now and then one up to kMaxGrid.
int GridCount(FuzzInput& in) {
    const std::uint8_t b = in.Byte();
    return b < 224 ? 1 + b % 16 : 1 + b % kMaxGrid;
}

TColor AnyColor(FuzzInput& in) {
    return in.U32();
}

void SetProperties(TPlot3D& plot, FuzzInput& in) {
    plot.SetBoundBoxStyle(static_cast<TBoundingBox>(in.Byte() % 3));
    plot.SetCentX(static_cast<int>(in.U32()));
    plot.SetCentY(static_cast<int>(in.U32()));
    plot.SetColorFrame(AnyColor(in));
    plot.SetColorBakGnd(AnyColor(in));
    plot.SetColorCodeAvg(in.Bit());
    plot.SetColorCubeFrame(AnyColor(in));
    plot.SetColorCubeHidLin(AnyColor(in));
    plot.SetColorCubeFaceLow(AnyColor(in));
    plot.SetColorCubeFaceHigh(AnyColor(in));
    plot.SetColorXCoords(AnyColor(in));
    plot.SetColorYCoords(AnyColor(in));
    plot.SetColorZCoords(AnyColor(in));
    plot.SetColorMesh(AnyColor(in));
    plot.SetColorHigh(AnyColor(in));
    plot.SetColorMid(AnyColor(in));
    plot.SetColorLow(AnyColor(in));
    plot.SetColorScaleHigh(in.InterestingDouble());
    plot.SetColorScaleLow(in.InterestingDouble());
    plot.SetColorCodingMode(static_cast<TColorCodingMode>(in.Byte() % 2));
    plot.SetColorScheme(static_cast<TColorScheme>(in.Byte() % 2));
    plot.SetDecPlaceX(static_cast<int>(in.U32()));
    plot.SetDecPlaceY(in.IntIn(-3, 13));
    plot.SetDecPlaceZ(in.IntIn(-3, 13));
    plot.SetFrameStyle(static_cast<TFrameStyle>(in.Byte() % 6));
    plot.SetMeshVisible(in.Bit());
    plot.SetMagnification(in.InterestingDouble());
    plot.SetMouseAction(static_cast<TMouseActMode>(in.Byte() % 15));
    plot.SetMinTickX(static_cast<int>(in.U32()));
    plot.SetMinTickY(in.IntIn(0, 21));
    plot.SetMinTickZ(in.IntIn(0, 21));
    plot.SetRangeXLow(in.InterestingDouble());
    plot.SetRangeYLow(in.InterestingDouble());
    plot.SetRangeZLow(in.InterestingDouble());
    plot.SetRangeXHigh(in.InterestingDouble());
    plot.SetRangeYHigh(in.InterestingDouble());
    plot.SetRangeZHigh(in.InterestingDouble());
    plot.SetScaleFactX(in.InterestingDouble());
    plot.SetScaleFactY(in.InterestingDouble());
    plot.SetScaleFactZ(in.InterestingDouble());
    plot.SetViewAngleX(in.InterestingDouble());
    plot.SetViewAngleZ(in.InterestingDouble());
    plot.SetVisibleXCoords(in.Bit());
    plot.SetVisibleYCoords(in.Bit());
    plot.SetVisibleZCoords(in.Bit());
}

// Optional event handlers: they change colours, skip cells, rewrite labels
// and, on a drag, write unchecked view values back into the plot.
void SetEvents(TPlot3D& plot, FuzzInput& in) {
    const std::uint8_t which = in.Byte();
    if (which & 1) {
        const std::uint8_t skip = in.Byte();
        plot.OnBeforeRenderPolygon = [skip](TPlot3D&, Canvas*&, bool& handled, int cellX, int cellY,
                                            TQuad, TColor& color) {
            handled = ((cellX + cellY) & 7) == (skip & 7);
            color ^= skip;
        };
    }
    if (which & 2) {
        const std::size_t length = in.Byte();
        plot.OnBeforeDrawScaleLabel = [length](TPlot3D&, Canvas*&, TP3ScaleKind, std::string& label,
                                               int, int) { label.assign(length, 'W'); };
    }
    if (which & 4) windowplot::UseLabelFont(plot);
    if (which & 8) {
        const double angleX = in.InterestingDouble();
        const double angleZ = in.InterestingDouble();
        const double magnification = in.InterestingDouble();
        const int cx = static_cast<int>(in.U32());
        const int cy = static_cast<int>(in.U32());
        plot.OnMouseAction = [=](TPlot3D&, int& centerX, int& centerY, double& rotX, double& rotZ,
                                 double& mag, TShiftState) {
            centerX = cx;
            centerY = cy;
            rotX = angleX;
            rotZ = angleZ;
            mag = magnification;
        };
    }
}

void CheckGrids(const TPlot3D& plot) {
    const int cols = plot.SurfaceData().NrOfColumns();
    const int rows = plot.SurfaceData().NrOfRows();
    const TIntMatrix& order = plot.DrawOrderGrid();
    if (order.NrOfColumns() != cols || order.NrOfRows() != rows ||
        plot.ScreenXGrid().NrOfColumns() != cols || plot.ScreenYGrid().NrOfRows() != rows)
        FuzzFail("integer grids do not follow the data grid's size");
    for (int i = 1; i <= cols; ++i)
        for (int j = 1; j <= rows; ++j) {
            const std::int32_t n = order.Cell(i, j);
            if (n < 0 || n > cols * rows) FuzzFail("drawing-order number outside 0..C*N");
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    TPlot3D plot;
    RecordingHost& host = Host();
    plot.SetHost(&host);
    plot.SetHoldPaint(true);
    plot.SetSize(in.IntIn(-1, kMaxSize), in.IntIn(-1, kMaxSize));
    plot.SetDesigning((in.Byte() & 15) == 0);
    SetProperties(plot, in);
    const bool withEvents = in.Bit();
    if (withEvents) SetEvents(plot, in);

    const int cols = GridCount(in);
    const int rows = GridCount(in);
    TMatrix& grid = plot.SurfaceData();
    grid.Resize(cols, rows);
    const std::uint8_t fill = in.Byte();
    for (int i = 1; i <= cols && in.Remaining() > 0; ++i)
        for (int j = 1; j <= rows && in.Remaining() > 0; ++j)
            grid.SetCell(i, j, (fill & 1) ? in.InterestingDouble() : in.RawDouble());

    plot.SetHoldPaint(false);
    CheckGrids(plot);

    // Without hooks and box, the cells are the only polygons: one per cell
    // whose four corners are finite (a cell with a NaN or infinite corner is
    // left undrawn).
    if (!withEvents && !plot.Designing() && plot.BoundBoxStyle() == bbNone) {
        if (CountPolygons(host.canvas) != DrawableCells(grid))
            FuzzFail("a paint does not fill one polygon per drawable cell");
    }

    const int moves = in.Byte() % (kMaxMoves + 1);
    for (int k = 0; k < moves; ++k) {
        TShiftState shift;
        const std::uint8_t buttons = in.Byte();
        shift.left = buttons & 1;
        shift.right = buttons & 2;
        shift.shift = buttons & 4;
        const int x = in.IntIn(-50, kMaxSize + 50);
        const int y = in.IntIn(-50, kMaxSize + 50);
        plot.MouseMoveMessage(shift, x, y);
        int cellX = -1, cellY = -1;
        const bool hit = plot.HitTest(x, y, cellX, cellY);
        if (hit ? (cellX < 1 || cellX >= cols || cellY < 1 || cellY >= rows)
                : (cellX != 0 || cellY != 0))
            FuzzFail("hit test reports a cell outside the grid");
    }
    CheckGrids(plot);
    return 0;
}
