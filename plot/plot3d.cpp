// TPlot3D: construction, properties and their setter rules, the view
// geometry and the paint sequence.
#include "plot/plot3d.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

// The canvas a plot without a host paints on: it draws nothing.
class DiscardCanvas : public Canvas {
  public:
    void Rectangle(int, int, int, int) override {}
    void LineTo(int x, int y) override { m_penPos = {x, y}; }
    void Polygon(const TQuad&) override {}
    void TextOut(int, int, const std::string&) override {}
    int TextWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return 13; }
};

DiscardCanvas& Discard() {
    static DiscardCanvas canvas;
    return canvas;
}

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

} // namespace

TPlot3D::TPlot3D() {
    // m_holdPaint starts true so no default below can paint.
    SetSize(650, 500);
    m_centX = m_width / 2;
    m_centY = m_height / 2;
    m_surface.OnChange = [this](TMatrix&) { DataChanged(); };
    BuildBoxCorners();
    BuildRotation();
    m_anchor = {0, 0, m_centX, m_centY, m_magnification, m_viewAngleX, m_viewAngleZ};
    m_holdPaint = false;
}

TPlot3D::~TPlot3D() {
    m_surface.OnChange = nullptr;
}

void TPlot3D::SetSize(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
}

void TPlot3D::SetHoldPaint(bool hold) {
    if (hold == m_holdPaint) return;
    m_holdPaint = hold;
    if (!hold) Paint();
}

void TPlot3D::DataChanged() {
    BuildBoxCorners();
    const int cols = m_surface.NrOfColumns();
    const int rows = m_surface.NrOfRows();
    m_screenX.Resize(cols, rows);
    m_screenY.Resize(cols, rows);
    m_drawOrder.Resize(cols, rows);
}

// --- geometry ----------------------------------------------------------

void TPlot3D::BuildBoxCorners() {
    const int half = BoxSize / 2;
    for (int c = 0; c < 8; ++c)
        m_corners[c] = {(c & 4) ? half : -half, (c & 2) ? half : -half, (c & 1) ? half : -half};
}

void TPlot3D::BuildRotation() {
    const double a = m_viewAngleX * (1.0 / 180) * std::numbers::pi;
    const double b = m_viewAngleZ * (1.0 / 180) * std::numbers::pi;
    m_r[0][0] = std::cos(b);
    m_r[0][1] = -std::sin(b);
    m_r[0][2] = 0;
    m_r[1][0] = std::cos(a) * std::sin(b);
    m_r[1][1] = std::cos(a) * std::cos(b);
    m_r[1][2] = -std::sin(a);
    m_r[2][0] = std::sin(a) * std::sin(b);
    m_r[2][1] = std::sin(a) * std::cos(b);
    m_r[2][2] = std::cos(a);
    // Exact zeros keep axis-aligned views free of rounding noise; the z
    // scale relies on R13 being exactly 0.
    for (auto& row : m_r)
        for (double& v : row)
            if (std::fabs(v) < 1e-6) v = 0;
}

void TPlot3D::UpdateZMapping() {
    m_zScale = BoxSize / (m_rangeHigh[2] - m_rangeLow[2]);
    m_zOffset = -BoxSize / 2.0 - m_rangeLow[2] * m_zScale;
}

TPoint TPlot3D::Project(double x, double y, double z) const {
    const double X = m_scaleFact[0] * x, Y = m_scaleFact[1] * y, Z = m_scaleFact[2] * z;
    return {Nearest((m_r[0][0] * X + m_r[0][1] * Y + m_r[0][2] * Z) * m_magnification + m_centX),
            Nearest((m_r[1][0] * X + m_r[1][1] * Y + m_r[1][2] * Z) * m_magnification + m_centY)};
}

double TPlot3D::Depth(double x, double y, double z) const {
    const double X = m_scaleFact[0] * x, Y = m_scaleFact[1] * y, Z = m_scaleFact[2] * z;
    return m_r[2][0] * X + m_r[2][1] * Y + m_r[2][2] * Z;
}

int TPlot3D::FarCorner() const {
    int far = 0;
    double best = 2147483647;
    for (int c = 0; c < 8; ++c) {
        const double dc = ((c & 4) ? 1 : -1) * m_r[2][0] + ((c & 2) ? 1 : -1) * m_r[2][1] +
                          ((c & 1) ? 1 : -1) * m_r[2][2];
        if (dc < best) {
            best = dc;
            far = c;
        }
    }
    return far;
}

void TPlot3D::GridToModel(int i, int j, double v, double& x, double& y, double& z) const {
    const int cols = m_surface.NrOfColumns(), rows = m_surface.NrOfRows();
    const double stepX = cols > 1 ? double(BoxSize) / (cols - 1) : 1.0;
    const double stepY = rows > 1 ? double(BoxSize) / (rows - 1) : 1.0;
    x = stepX * (i - cols / 2.0 - 0.5);
    y = stepY * (j - rows / 2.0 - 0.5);
    z = m_zScale * v + m_zOffset;
}

TPoint TPlot3D::CornerPoint(int corner) const {
    const auto& c = m_corners[corner];
    return Project(c[0], c[1], c[2]);
}

// --- paint -------------------------------------------------------------

void TPlot3D::Paint() {
    if (m_holdPaint || !m_visible) return;
    Canvas& bitmap = m_host ? m_host->BeginPaint(m_width, m_height) : Discard();
    bitmap.SetPenStyleSolid();
    bitmap.SetPenModeCopy();
    bitmap.SetBrushStyle(bsSolid);
    bitmap.SetBrushColor(m_colorBakGnd);
    bitmap.SetPenColor(m_colorBakGnd);
    bitmap.Rectangle(0, 0, m_width, m_height);
    if (m_designing) {
        DrawDesignPicture(bitmap);
    } else {
        Canvas* canvas = &bitmap;
        Render(canvas);
    }
    DrawFrame(bitmap, m_frameStyle, 0, 0, m_width - 1, m_height - 1, m_colorFrame);
    if (m_host) m_host->Present();
}

void TPlot3D::DrawDesignPicture(Canvas& canvas) {
    const int r = GetRValue(m_colorBakGnd), g = GetGValue(m_colorBakGnd),
              b = GetBValue(m_colorBakGnd);
    canvas.SetFontColor(r * r + g * g + b * b > 50000 ? clBlack : clWhite);
    canvas.TextOut(10, 10, "Plot3D");
}

// --- properties --------------------------------------------------------

void TPlot3D::SetColor(TColor& field, TColor v) {
    field = v;
    Paint();
}

void TPlot3D::SetBoundBoxStyle(TBoundingBox v) {
    if (v == m_boundBoxStyle) return;
    m_boundBoxStyle = v;
    Paint();
}

void TPlot3D::SetCentX(int v) {
    if (v == m_centX) return;
    m_centX =
        ClampToInt(std::clamp<std::int64_t>(v, -std::int64_t(m_width), 2 * std::int64_t(m_width)));
    Paint();
}

void TPlot3D::SetCentY(int v) {
    if (v == m_centY) return;
    m_centY = ClampToInt(
        std::clamp<std::int64_t>(v, -std::int64_t(m_height), 2 * std::int64_t(m_height)));
    Paint();
}

void TPlot3D::SetColorFrame(TColor v) {
    SetColor(m_colorFrame, v);
}
void TPlot3D::SetColorBakGnd(TColor v) {
    SetColor(m_colorBakGnd, v);
}
void TPlot3D::SetColorCubeFrame(TColor v) {
    SetColor(m_colorCubeFrame, v);
}
void TPlot3D::SetColorCubeHidLin(TColor v) {
    SetColor(m_colorCubeHidLin, v);
}
void TPlot3D::SetColorCubeFaceLow(TColor v) {
    SetColor(m_colorCubeFaceLow, v);
}
void TPlot3D::SetColorCubeFaceHigh(TColor v) {
    SetColor(m_colorCubeFaceHigh, v);
}
void TPlot3D::SetColorXCoords(TColor v) {
    SetColor(m_colorXCoords, v);
}
void TPlot3D::SetColorYCoords(TColor v) {
    SetColor(m_colorYCoords, v);
}
void TPlot3D::SetColorZCoords(TColor v) {
    SetColor(m_colorZCoords, v);
}
void TPlot3D::SetColorMesh(TColor v) {
    SetColor(m_colorMesh, v);
}
void TPlot3D::SetColorHigh(TColor v) {
    SetColor(m_colorHigh, v);
}
void TPlot3D::SetColorMid(TColor v) {
    SetColor(m_colorMid, v);
}
void TPlot3D::SetColorLow(TColor v) {
    SetColor(m_colorLow, v);
}

void TPlot3D::SetColorCodeAvg(bool v) {
    if (v == m_colorCodeAvg) return;
    m_colorCodeAvg = v;
    Paint();
}

void TPlot3D::SetColorScaleHigh(double v) {
    if (!(v > m_colorScaleLow)) return;
    m_colorScaleHigh = v;
    Paint();
}

void TPlot3D::SetColorScaleLow(double v) {
    if (!(v < m_colorScaleHigh)) return;
    m_colorScaleLow = v;
    Paint();
}

void TPlot3D::SetColorCodingMode(TColorCodingMode v) {
    if (v == m_colorCodingMode) return;
    m_colorCodingMode = v;
    Paint();
}

void TPlot3D::SetColorScheme(TColorScheme v) {
    if (v == m_colorScheme) return;
    m_colorScheme = v;
    Paint();
}

void TPlot3D::SetDecPlace(int axis, int v) {
    m_decPlace[axis] = std::clamp(v, -2, 12);
    Paint();
}
void TPlot3D::SetDecPlaceX(int v) {
    SetDecPlace(0, v);
}
void TPlot3D::SetDecPlaceY(int v) {
    SetDecPlace(1, v);
}
void TPlot3D::SetDecPlaceZ(int v) {
    SetDecPlace(2, v);
}

void TPlot3D::SetLogScaleZ(bool v) {
    if (v == m_logScaleZ) return;
    m_logScaleZ = v;
    Paint();
}

void TPlot3D::SetSurfaceColoring(TSurfaceColoring v) {
    if (v == m_surfaceColoring) return;
    m_surfaceColoring = v;
    Paint();
}

void TPlot3D::SetPhaseWheel(TPhaseWheel v) {
    if (v == m_phaseWheel) return;
    m_phaseWheel = v;
    Paint();
}

void TPlot3D::SetLegendVisible(bool v) {
    if (v == m_legendVisible) return;
    m_legendVisible = v;
    Paint();
}

void TPlot3D::SetFrameStyle(TFrameStyle v) {
    if (v == m_frameStyle) return;
    m_frameStyle = v;
    Paint();
}

void TPlot3D::SetMeshVisible(bool v) {
    if (v == m_meshVisible) return;
    m_meshVisible = v;
    Paint();
}

void TPlot3D::SetMeshStep(int step) {
    step = std::max(step, 1);
    if (step == m_meshStep) return;
    m_meshStep = step;
    Paint();
}

void TPlot3D::SetMagnification(double v) {
    if (std::isnan(v)) return; // no magnification to clamp it to
    m_magnification = std::clamp(v, 0.001, 3.0);
    Paint();
}

void TPlot3D::SetMinTick(int axis, int v) {
    if (v == m_minTick[axis]) return;
    m_minTick[axis] = std::clamp(v, 2, 20);
    Paint();
}
void TPlot3D::SetMinTickX(int v) {
    SetMinTick(0, v);
}
void TPlot3D::SetMinTickY(int v) {
    SetMinTick(1, v);
}
void TPlot3D::SetMinTickZ(int v) {
    SetMinTick(2, v);
}

void TPlot3D::SetRangeLow(int axis, double v) {
    m_rangeLow[axis] = v == m_rangeHigh[axis] ? v - 1 : v;
    UpdateZMapping();
    Paint();
}

void TPlot3D::SetRangeHigh(int axis, double v) {
    m_rangeHigh[axis] = v == m_rangeLow[axis] ? v + 1 : v;
    UpdateZMapping();
    Paint();
}

void TPlot3D::SetRange(TP3ScaleKind axis, double low, double high) {
    m_rangeLow[axis] = low;
    m_rangeHigh[axis] = high == low ? low + 1 : high;
    UpdateZMapping();
    Paint();
}

void TPlot3D::SetRangeXLow(double v) {
    SetRangeLow(0, v);
}
void TPlot3D::SetRangeYLow(double v) {
    SetRangeLow(1, v);
}
void TPlot3D::SetRangeZLow(double v) {
    SetRangeLow(2, v);
}
void TPlot3D::SetRangeXHigh(double v) {
    SetRangeHigh(0, v);
}
void TPlot3D::SetRangeYHigh(double v) {
    SetRangeHigh(1, v);
}
void TPlot3D::SetRangeZHigh(double v) {
    SetRangeHigh(2, v);
}

void TPlot3D::SetScaleFactX(double v) {
    m_scaleFact[0] = v;
    Paint();
}
void TPlot3D::SetScaleFactY(double v) {
    m_scaleFact[1] = v;
    Paint();
}
void TPlot3D::SetScaleFactZ(double v) {
    m_scaleFact[2] = v;
    Paint();
}

void TPlot3D::SetViewAngle(double& field, double v) {
    if (v == field) return;
    // An angle that is not a finite number cannot be normalised; ignore it.
    if (!std::isfinite(v)) return;
    if (v > 360) v = (v / 360 - std::trunc(v / 360)) * 360;
    if (v < 0) v = (v / 360 - std::trunc(v / 360)) * 360 + 360;
    field = v;
    BuildRotation();
    Paint();
}
void TPlot3D::SetViewAngleX(double v) {
    SetViewAngle(m_viewAngleX, v);
}
void TPlot3D::SetViewAngleZ(double v) {
    SetViewAngle(m_viewAngleZ, v);
}

void TPlot3D::SetVisibleXCoords(bool v) {
    m_visibleCoords[0] = v;
    Paint();
}
void TPlot3D::SetVisibleYCoords(bool v) {
    m_visibleCoords[1] = v;
    Paint();
}
void TPlot3D::SetVisibleZCoords(bool v) {
    m_visibleCoords[2] = v;
    Paint();
}
