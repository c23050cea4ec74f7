// TPlot3D's rendering step: box faces and hidden edges, the cells in
// painter's order with their colour coding and mesh, front edges, scales.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "plot/legend.h"
#include "plot/plot3d.h"

namespace {

// Box faces as corner numbers in polygon order.
enum Face { Top, Back, Bottom, Front, Right, Left };
constexpr int FaceCorners[6][4] = {
    {1, 5, 7, 3}, // top, z = +150
    {2, 3, 7, 6}, // back, y = +150
    {2, 6, 4, 0}, // bottom, z = -150
    {0, 4, 5, 1}, // front, y = -150
    {4, 5, 7, 6}, // right, x = +150
    {0, 1, 3, 2}, // left, x = -150
};
// The three faces that meet at each corner, in drawing order.
constexpr Face FacesAtCorner[8][3] = {
    {Left, Front, Bottom},  {Top, Front, Left},  {Back, Bottom, Left},  {Top, Back, Left},
    {Front, Right, Bottom}, {Top, Front, Right}, {Back, Bottom, Right}, {Top, Right, Back},
};

// One colour channel blended from 'from' to 'to' by f in 0..1.
int BlendChannel(int from, int to, double f) {
    return std::clamp(Nearest(f * (to - from) + from), 0, 255);
}

TColor Blend(TColor from, TColor to, double f) {
    return RGB(BlendChannel(GetRValue(from), GetRValue(to), f),
               BlendChannel(GetGValue(from), GetGValue(to), f),
               BlendChannel(GetBValue(from), GetBValue(to), f));
}

std::int32_t OrderNumber(std::int64_t n) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, INT32_MIN, INT32_MAX));
}

} // namespace

TColor TPlot3D::ColorCode(double value) const {
    const bool zRange = m_surfaceColoring == scHeightZRange;
    const double low = zRange ? m_rangeLow[2] : m_colorScaleLow;
    const double high = zRange ? m_rangeHigh[2] : m_colorScaleHigh;
    if (value < low) value = low;
    if (value > high) value = high;
    double t = (value - low) / (high - low);
    // A NaN value (or a scale too wide for doubles) is coloured as the low end.
    if (!(t >= 0)) t = 0;
    if (t > 1) t = 1;
    if (m_colorCodingMode == ccmThreeColors) {
        if (t >= 0.5) return Blend(m_colorMid, m_colorHigh, 2 * (t - 0.5));
        return Blend(m_colorLow, m_colorMid, 2 * t);
    }
    return Blend(m_colorLow, m_colorHigh, t);
}

void TPlot3D::Render(Canvas*& canvas) {
    const int far = FarCorner();
    const int near = 7 - far;
    if (m_boundBoxStyle != bbNone) {
        DrawBoxFaces(*canvas, near);
        DrawBoxEdges(*canvas, far, m_colorCubeHidLin);
    }
    canvas->SetBrushColor(m_colorHigh);
    canvas->SetPenColor(m_colorMesh);
    DrawCells(canvas);
    if (m_boundBoxStyle != bbNone) DrawBoxEdges(*canvas, near, m_colorCubeFrame);
    DrawScales(canvas, near);
    if (m_legendVisible) DrawLegend(*canvas, *this);
    if (OnDataRendered) OnDataRendered(*this, canvas);
}

void TPlot3D::DrawCells(Canvas*& canvas) {
    const int cols = m_surface.NrOfColumns(), rows = m_surface.NrOfRows();
    if (cols < 2 || rows < 2) return;
    // Painter's order: along both loops the depth contributed by x and y
    // never decreases, so later cells cover earlier ones.
    const bool xAbove180 = m_viewAngleX > 180;
    const bool rowsAscend = xAbove180 != (m_viewAngleZ < 90 || m_viewAngleZ > 270);
    const bool colsAscend = xAbove180 == (m_viewAngleZ > 180);
    const std::int64_t c64 = cols;
    // Each grid point is a corner of up to four cells. Without a handler to
    // change the view in between, its height and screen point are taken once.
    const bool once = !OnBeforeRenderPolygon;
    std::vector<double> heights;
    std::vector<TPoint> points;
    // By phase, every grid point's phase as a unit vector; none (grey cells)
    // while the phase grid does not match the surface.
    const bool byPhase = m_surfaceColoring == scPhase;
    std::vector<PhaseVector> phases;
    if (byPhase) {
        phases.resize(static_cast<std::size_t>(cols) * rows);
        if (m_phase.NrOfColumns() == cols && m_phase.NrOfRows() == rows)
            for (int j = 1; j <= rows; ++j)
                for (int i = 1; i <= cols; ++i)
                    phases[static_cast<std::size_t>(j - 1) * cols + (i - 1)] =
                        ToPhaseVector(m_phase.Cell(i, j));
    }
    if (once) {
        heights.resize(static_cast<std::size_t>(cols) * rows);
        points.resize(heights.size());
        for (int j = 1; j <= rows; ++j)
            for (int i = 1; i <= cols; ++i) {
                const std::size_t at = static_cast<std::size_t>(j - 1) * cols + (i - 1);
                heights[at] = m_surface.Cell(i, j);
                double x, y, z;
                GridToModel(i, j, heights[at], x, y, z);
                points[at] = Project(x, y, z);
            }
    }

    for (int m = 1; m <= rows - 1; ++m) {
        const int j = rowsAscend ? m : rows - m;
        for (int h = 1; h <= cols - 1; ++h) {
            const int i = colsAscend ? h : cols - h;
            const int ci[4] = {i, i + 1, i + 1, i};
            const int cj[4] = {j, j, j + 1, j + 1};
            const std::int64_t order[4] = {(m - 1) * c64 + h, (m - 1) * c64 + h + 1,
                                           m * c64 + h + 1, m * c64 + h};
            TQuad quad;
            double v[4];
            PhaseVector corners[4];
            bool finite = true;
            for (int k = 0; k < 4; ++k) {
                if (byPhase)
                    corners[k] = phases[static_cast<std::size_t>(cj[k] - 1) * cols + (ci[k] - 1)];
                if (once) {
                    const std::size_t at = static_cast<std::size_t>(cj[k] - 1) * cols + (ci[k] - 1);
                    v[k] = heights[at];
                    quad[k] = points[at];
                } else {
                    v[k] = m_surface.Cell(ci[k], cj[k]);
                    double x, y, z;
                    GridToModel(ci[k], cj[k], v[k], x, y, z);
                    quad[k] = Project(x, y, z);
                }
                m_screenX.SetCell(ci[k], cj[k], quad[k].x);
                m_screenY.SetCell(ci[k], cj[k], quad[k].y);
                m_drawOrder.SetCell(ci[k], cj[k], OrderNumber(order[k]));
                finite = finite && std::isfinite(v[k]);
            }
            // A corner without a height has no place on the screen.
            if (!finite) continue;
            TColor color = byPhase ? PhaseColor(CellPhase(corners, 4), m_phaseWheel) : CellColor(v);
            bool handled = false;
            if (OnBeforeRenderPolygon)
                OnBeforeRenderPolygon(*this, canvas, handled, i, j, quad, color);
            if (handled) continue;
            canvas->SetBrushColor(color);
            if (!m_meshVisible || m_meshStep > 1) canvas->SetPenColor(color);
            canvas->Polygon(quad);
            if (m_meshVisible && m_meshStep > 1) DrawMeshEdges(*canvas, quad, i, j);
        }
    }
}

// The height colour of a cell with corner values v: of their mean, or of the
// largest.
TColor TPlot3D::CellColor(const double (&v)[4]) const {
    double value;
    if (m_colorCodeAvg) {
        value = (v[0] + v[1] + v[2] + v[3]) / 4;
    } else {
        value = v[0];
        for (int k = 1; k < 4; ++k)
            if (v[k] > value) value = v[k];
    }
    return ColorCode(value);
}

// The edges of cell (i, j) that lie on every MeshStep-th grid line: its
// corners run (i, j), (i+1, j), (i+1, j+1), (i, j+1).
void TPlot3D::DrawMeshEdges(Canvas& canvas, const TQuad& quad, int i, int j) {
    const bool onLine[4] = {(j - 1) % m_meshStep == 0, i % m_meshStep == 0, j % m_meshStep == 0,
                            (i - 1) % m_meshStep == 0};
    canvas.SetPenColor(m_colorMesh);
    for (int k = 0; k < 4; ++k) {
        if (!onLine[k]) continue;
        canvas.MoveTo(quad[k].x, quad[k].y);
        canvas.LineTo(quad[(k + 1) % 4].x, quad[(k + 1) % 4].y);
    }
}

void TPlot3D::DrawBoxFaces(Canvas& canvas, int nearCorner) {
    canvas.SetPenColor(m_colorCubeFrame);
    for (Face face : FacesAtCorner[nearCorner]) {
        TQuad quad;
        double dcSum = 0;
        for (int k = 0; k < 4; ++k) {
            const int c = FaceCorners[face][k];
            quad[k] = CornerPoint(c);
            dcSum += ((c & 4) ? 1 : -1) * m_r[2][0] + ((c & 2) ? 1 : -1) * m_r[2][1] +
                     ((c & 1) ? 1 : -1) * m_r[2][2];
        }
        // Shade 0 (edge-on) .. 200 (head-on); for a face at the near corner
        // it is 200 |R3k|, so the clamp only guards a broken rotation.
        const int shade = std::clamp(Nearest(50 * dcSum), 0, 200);
        const auto channel = [&](int low, int high) { return low + (high - low) * shade / 200; };
        canvas.SetBrushColor(
            RGB(channel(GetRValue(m_colorCubeFaceLow), GetRValue(m_colorCubeFaceHigh)),
                channel(GetGValue(m_colorCubeFaceLow), GetGValue(m_colorCubeFaceHigh)),
                channel(GetBValue(m_colorCubeFaceLow), GetBValue(m_colorCubeFaceHigh))));
        canvas.SetBrushStyle(m_boundBoxStyle == bbFrame ? bsClear : bsSolid);
        canvas.Polygon(quad);
    }
}

void TPlot3D::DrawBoxEdges(Canvas& canvas, int corner, TColor color) {
    canvas.SetPenColor(color);
    const TPoint from = CornerPoint(corner);
    // The neighbours differ in one bit; visit them in ascending order.
    int neighbours[3] = {corner ^ 1, corner ^ 2, corner ^ 4};
    std::sort(std::begin(neighbours), std::end(neighbours));
    for (int n : neighbours) {
        canvas.MoveTo(from.x, from.y);
        const TPoint to = CornerPoint(n);
        canvas.LineTo(to.x, to.y);
    }
}
