// Canvas over a QPainter that is open on any paint device: a larger image, an
// SVG generator or a PDF writer. The plot keeps drawing in its own pixel
// coordinates and the painter's transform scales them, so the picture grows
// as a whole. A pixel (x, y) of the Canvas contract is the unit square from
// (x, y) to (x + 1, y + 1); shapes cover the squares the image canvas would
// set, as areas instead of pixels.
#pragma once

#include "plot/canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>

class QPainter;

class PainterCanvas : public Canvas {
  public:
    // painter must stay open while the plot paints.
    explicit PainterCanvas(QPainter& painter);

    void SetFontName(const std::string& name) override;
    void SetFontSize(int points) override;

    void Rectangle(int x1, int y1, int x2, int y2) override;
    void LineTo(int x, int y) override;
    void Polygon(const TQuad& points) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;

  private:
    void ApplyFont();
    void UsePen(const QColor& color);
    void UseBrush(bool solid);
    void Line(int x0, int y0, int x1, int y1);

    QPainter& m_painter;
    QFont m_font;
    // Metrics at the image canvas's 96 dots per inch, so labels are placed
    // as in the window.
    QImage m_metricsImage;
    QFontMetrics m_metrics;
};

// Lends the plot a PainterCanvas whose picture is scaled by scale (the same
// factor on both axes) and moved by the offset, in device units.
class PainterHost : public PaintHost {
  public:
    PainterHost(QPainter& painter, double scale, double offsetX = 0, double offsetY = 0);
    Canvas& BeginPaint(int width, int height) override;
    void Present() override {}
    PainterCanvas& CanvasRef() { return m_canvas; }

  private:
    QPainter& m_painter;
    PainterCanvas m_canvas;
    double m_scale;
    double m_offsetX;
    double m_offsetY;
};
