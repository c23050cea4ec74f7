// TPlot3D: a height field drawn as a colour-coded, meshed surface in a box,
// with scales and a frame, turned and zoomed by dragging the mouse.
//
// The plot is a plain object; a host (a widget, or a test) gives it its size,
// visibility and mouse moves and lends it an off-screen canvas through
// PaintHost. Every setter that repaints calls Paint() at once, so the events
// and the three integer grids are up to date when the setter returns.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "plot/canvas.h"
#include "plot/matrix.h"
#include "plot/phasecolor.h"
#include "plot/plotbase.h"

enum TColorCodingMode { ccmTwoColors, ccmThreeColors };
// What a cell's colour shows: its height on the colour scale (ColorScaleLow..
// ColorScaleHigh), the phase of F over it (PhaseData, on PhaseWheel), or its
// height on a ramp that spans exactly the z range.
enum TSurfaceColoring { scHeight, scPhase, scHeightZRange };
enum TP3ScaleKind { skXScale, skYScale, skZScale };

class TPlot3D;

using TRenderEvent = std::function<void(TPlot3D& sender, Canvas*& canvas)>;
using TBeforeRenderPolygonEvent =
    std::function<void(TPlot3D& sender, Canvas*& canvas, bool& handled, int cellX, int cellY,
                       TQuad quad, TColor& color)>;
using Tp3BeforeDrawScaleLabelEvent =
    std::function<void(TPlot3D& sender, Canvas*& canvas, TP3ScaleKind scaleType,
                       std::string& currentTickLabel, int chartX, int chartY)>;
using TMouseActionEvent =
    std::function<void(TPlot3D& sender, int& centerX, int& centerY, double& rotXAngle,
                       double& rotZAngle, double& magnification, TShiftState shift)>;
using TMouseMoveOverPlotEvent = std::function<void(
    TPlot3D& sender, bool overPlot, TShiftState shift, int mouseCellX, int mouseCellY)>;
using TMouseMoveEvent = std::function<void(TPlot3D& sender, TShiftState shift, int x, int y)>;

class TPlot3D {
  public:
    // Box edge length in model units; the box spans -150..150 on each axis.
    static constexpr int BoxSize = 300;

    TPlot3D();
    ~TPlot3D();
    TPlot3D(const TPlot3D&) = delete;
    TPlot3D& operator=(const TPlot3D&) = delete;

    // --- host side -------------------------------------------------------
    // The off-screen bitmap and screen; without a host the plot renders into
    // a canvas that discards everything (grids and events still update).
    void SetHost(PaintHost* host) { m_host = host; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Stores the size (negative counts as 0); does not paint.
    void SetSize(int width, int height);
    bool Visible() const { return m_visible; }
    // Stores the visibility; does not paint.
    void SetVisible(bool visible) { m_visible = visible; }
    bool Designing() const { return m_designing; }
    void SetDesigning(bool designing) { m_designing = designing; }

    // While true, Paint returns at once. Clearing it repaints.
    bool HoldPaint() const { return m_holdPaint; }
    void SetHoldPaint(bool hold);

    // Renders the whole picture into the host's bitmap and presents it.
    void Paint();

    // The data grid: column i is x, row j is y, the element the height.
    TMatrix& SurfaceData() { return m_surface; }
    const TMatrix& SurfaceData() const { return m_surface; }
    // The phase of F at every grid point (radians, NaN where F has none), for
    // the colouring by phase; read only while it has the surface's size.
    TMatrix& PhaseData() { return m_phase; }
    const TMatrix& PhaseData() const { return m_phase; }
    // Screen x, screen y and drawing-order number of every grid point, as
    // the last paint left them.
    const TIntMatrix& ScreenXGrid() const { return m_screenX; }
    const TIntMatrix& ScreenYGrid() const { return m_screenY; }
    const TIntMatrix& DrawOrderGrid() const { return m_drawOrder; }

    // --- mouse -----------------------------------------------------------
    // One mouse move at (x, y) in control coordinates: OnMouseMove, the drag
    // anchor and the drag action of MouseAction.
    void MouseMove(TShiftState shift, int x, int y);
    // A mouse-move message: MouseMove, then the hit test and
    // OnMouseMoveOverPlot.
    void MouseMoveMessage(TShiftState shift, int x, int y);
    // The cell under (x, y) by the last paint's grids; (0, 0) and false when
    // none. Where cells overlap, the higher drawing-order number wins.
    bool HitTest(int x, int y, int& cellX, int& cellY) const;

    // --- geometry (for the host and for tests) --------------------------
    // Rotation matrix entry, rows and columns 1..3.
    double R(int row, int col) const { return m_r[row - 1][col - 1]; }
    double ZScale() const { return m_zScale; }
    double ZOffset() const { return m_zOffset; }
    // Projection of a model point to pixels, and its depth (larger = nearer).
    TPoint Project(double x, double y, double z) const;
    double Depth(double x, double y, double z) const;
    // The box corner farthest from the viewer (0..7); the near one is 7 - it.
    int FarCorner() const;
    // Model point of grid point (i, j) at height value v.
    void GridToModel(int i, int j, double v, double& x, double& y, double& z) const;
    // Fill colour of a cell value on the height ramp: the colour scale, or the
    // z range when SurfaceColoring is scHeightZRange.
    TColor ColorCode(double value) const;

    // --- published properties -------------------------------------------
    TBoundingBox BoundBoxStyle() const { return m_boundBoxStyle; }
    void SetBoundBoxStyle(TBoundingBox v);
    int CentX() const { return m_centX; }
    void SetCentX(int v);
    int CentY() const { return m_centY; }
    void SetCentY(int v);
    TColor ColorFrame() const { return m_colorFrame; }
    void SetColorFrame(TColor v);
    TColor ColorBakGnd() const { return m_colorBakGnd; }
    void SetColorBakGnd(TColor v);
    bool ColorCodeAvg() const { return m_colorCodeAvg; }
    void SetColorCodeAvg(bool v);
    TColor ColorCubeFrame() const { return m_colorCubeFrame; }
    void SetColorCubeFrame(TColor v);
    TColor ColorCubeHidLin() const { return m_colorCubeHidLin; }
    void SetColorCubeHidLin(TColor v);
    TColor ColorCubeFaceLow() const { return m_colorCubeFaceLow; }
    void SetColorCubeFaceLow(TColor v);
    TColor ColorCubeFaceHigh() const { return m_colorCubeFaceHigh; }
    void SetColorCubeFaceHigh(TColor v);
    TColor ColorXCoords() const { return m_colorXCoords; }
    void SetColorXCoords(TColor v);
    TColor ColorYCoords() const { return m_colorYCoords; }
    void SetColorYCoords(TColor v);
    TColor ColorZCoords() const { return m_colorZCoords; }
    void SetColorZCoords(TColor v);
    TColor ColorMesh() const { return m_colorMesh; }
    void SetColorMesh(TColor v);
    TColor ColorHigh() const { return m_colorHigh; }
    void SetColorHigh(TColor v);
    TColor ColorMid() const { return m_colorMid; }
    void SetColorMid(TColor v);
    TColor ColorLow() const { return m_colorLow; }
    void SetColorLow(TColor v);
    double ColorScaleHigh() const { return m_colorScaleHigh; }
    void SetColorScaleHigh(double v);
    double ColorScaleLow() const { return m_colorScaleLow; }
    void SetColorScaleLow(double v);
    TColorCodingMode ColorCodingMode() const { return m_colorCodingMode; }
    void SetColorCodingMode(TColorCodingMode v);
    TColorScheme ColorScheme() const { return m_colorScheme; }
    void SetColorScheme(TColorScheme v);
    int DecPlaceX() const { return m_decPlace[0]; }
    void SetDecPlaceX(int v);
    int DecPlaceY() const { return m_decPlace[1]; }
    void SetDecPlaceY(int v);
    int DecPlaceZ() const { return m_decPlace[2]; }
    void SetDecPlaceZ(int v);
    // The heights are decimal logarithms: the z scale labels a value k as
    // 10^k ("1e-2", "1", "1e2"), at whole powers where the range holds two.
    bool LogScaleZ() const { return m_logScaleZ; }
    void SetLogScaleZ(bool v);
    TSurfaceColoring SurfaceColoring() const { return m_surfaceColoring; }
    void SetSurfaceColoring(TSurfaceColoring v);
    TPhaseWheel PhaseWheel() const { return m_phaseWheel; }
    void SetPhaseWheel(TPhaseWheel v);
    // A legend at the right edge that reads the colours (see DrawLegend).
    bool LegendVisible() const { return m_legendVisible; }
    void SetLegendVisible(bool v);
    TFrameStyle FrameStyle() const { return m_frameStyle; }
    void SetFrameStyle(TFrameStyle v);
    bool MeshVisible() const { return m_meshVisible; }
    void SetMeshVisible(bool v);
    // The mesh draws every MeshStep-th grid line (1 draws every line), so a
    // fine grid keeps about the mesh of a coarse one.
    int MeshStep() const { return m_meshStep; }
    void SetMeshStep(int step);
    double Magnification() const { return m_magnification; }
    void SetMagnification(double v);
    TMouseActMode MouseAction() const { return m_mouseAction; }
    void SetMouseAction(TMouseActMode v) { m_mouseAction = v; }
    int MinTickX() const { return m_minTick[0]; }
    void SetMinTickX(int v);
    int MinTickY() const { return m_minTick[1]; }
    void SetMinTickY(int v);
    int MinTickZ() const { return m_minTick[2]; }
    void SetMinTickZ(int v);
    double RangeXLow() const { return m_rangeLow[0]; }
    void SetRangeXLow(double v);
    double RangeYLow() const { return m_rangeLow[1]; }
    void SetRangeYLow(double v);
    double RangeZLow() const { return m_rangeLow[2]; }
    void SetRangeZLow(double v);
    double RangeXHigh() const { return m_rangeHigh[0]; }
    void SetRangeXHigh(double v);
    double RangeYHigh() const { return m_rangeHigh[1]; }
    void SetRangeYHigh(double v);
    double RangeZHigh() const { return m_rangeHigh[2]; }
    void SetRangeZHigh(double v);
    // Both ends of one axis at once, so that neither is compared with the
    // other's old value: only a pair whose ends are equal is widened (high
    // becomes low + 1). Repaints once.
    void SetRange(TP3ScaleKind axis, double low, double high);
    double ScaleFactX() const { return m_scaleFact[0]; }
    void SetScaleFactX(double v);
    double ScaleFactY() const { return m_scaleFact[1]; }
    void SetScaleFactY(double v);
    double ScaleFactZ() const { return m_scaleFact[2]; }
    void SetScaleFactZ(double v);
    double ViewAngleX() const { return m_viewAngleX; }
    void SetViewAngleX(double v);
    double ViewAngleZ() const { return m_viewAngleZ; }
    void SetViewAngleZ(double v);
    bool VisibleXCoords() const { return m_visibleCoords[0]; }
    void SetVisibleXCoords(bool v);
    bool VisibleYCoords() const { return m_visibleCoords[1]; }
    void SetVisibleYCoords(bool v);
    bool VisibleZCoords() const { return m_visibleCoords[2]; }
    void SetVisibleZCoords(bool v);

    // --- events ----------------------------------------------------------
    TRenderEvent OnDataRendered;
    TMouseActionEvent OnMouseAction;
    TBeforeRenderPolygonEvent OnBeforeRenderPolygon;
    Tp3BeforeDrawScaleLabelEvent OnBeforeDrawScaleLabel;
    TMouseMoveOverPlotEvent OnMouseMoveOverPlot;
    TMouseMoveEvent OnMouseMove;

  private:
    struct Anchor {
        int x = 0, y = 0;
        int centX = 0, centY = 0;
        double magnification = 1.0;
        double viewAngleX = 0, viewAngleZ = 0;
    };

    void DataChanged();
    void BuildBoxCorners();
    void BuildRotation();
    void UpdateZMapping();
    void SetColor(TColor& field, TColor v);
    void SetDecPlace(int axis, int v);
    void SetMinTick(int axis, int v);
    void SetRangeLow(int axis, double v);
    void SetRangeHigh(int axis, double v);
    void SetViewAngle(double& field, double v);

    void Render(Canvas*& canvas);
    void DrawCells(Canvas*& canvas);
    TColor CellColor(const double (&v)[4]) const;
    void DrawBoxFaces(Canvas& canvas, int nearCorner);
    void DrawMeshEdges(Canvas& canvas, const TQuad& quad, int i, int j);
    void DrawBoxEdges(Canvas& canvas, int corner, TColor color);
    TPoint CornerPoint(int corner) const;
    void DrawScales(Canvas*& canvas, int nearCorner);
    void DrawScale(Canvas* canvas, TP3ScaleKind kind, TPoint a, TPoint b, double low, double high);
    void DrawDesignPicture(Canvas& canvas);

    void Rotate(std::int64_t dx, std::int64_t dy, bool clampAngles);
    void Zoom(std::int64_t dy);
    void AfterDrag(TShiftState shift, bool rebuildRotation);

    PaintHost* m_host = nullptr;
    int m_width = 0;
    int m_height = 0;
    bool m_visible = true;
    bool m_designing = false;
    bool m_holdPaint = true;

    TMatrix m_surface;
    TMatrix m_phase;
    TIntMatrix m_screenX, m_screenY, m_drawOrder;
    std::array<std::array<int, 3>, 8> m_corners{};
    double m_r[3][3] = {};
    double m_zScale = 150;
    double m_zOffset = 0;
    Anchor m_anchor;

    TBoundingBox m_boundBoxStyle = bbFaces;
    int m_centX = 0;
    int m_centY = 0;
    TColor m_colorFrame = clBlack;
    TColor m_colorBakGnd = clWhite;
    bool m_colorCodeAvg = false;
    TColor m_colorCubeFrame = 0x404040;
    TColor m_colorCubeHidLin = 0xB0B0B0;
    TColor m_colorCubeFaceLow = 0xC0C0C0;
    TColor m_colorCubeFaceHigh = 0xFEEEEE;
    TColor m_colorXCoords = clRed;
    TColor m_colorYCoords = clBlue;
    TColor m_colorZCoords = clBlack;
    TColor m_colorMesh = clBlack;
    TColor m_colorHigh = clYellow;
    TColor m_colorMid = clBlue;
    TColor m_colorLow = clBlack;
    double m_colorScaleHigh = 100;
    double m_colorScaleLow = 0;
    TColorCodingMode m_colorCodingMode = ccmTwoColors;
    TColorScheme m_colorScheme = csSystem;
    std::array<int, 3> m_decPlace{1, 1, 2};
    bool m_logScaleZ = false;
    TSurfaceColoring m_surfaceColoring = scHeight;
    TPhaseWheel m_phaseWheel = pwEvenLightness;
    bool m_legendVisible = false;
    TFrameStyle m_frameStyle = fsLowered;
    bool m_meshVisible = true;
    int m_meshStep = 1;
    double m_magnification = 1.0;
    TMouseActMode m_mouseAction = maRotate;
    std::array<int, 3> m_minTick{3, 3, 3};
    std::array<double, 3> m_rangeLow{-1, -1, -1};
    std::array<double, 3> m_rangeHigh{1, 1, 1};
    std::array<double, 3> m_scaleFact{1, 1, 1};
    double m_viewAngleX = 60;
    double m_viewAngleZ = 15;
    std::array<bool, 3> m_visibleCoords{true, true, true};
};
