// Canvas on a QImage, pixel-exact: no antialiasing, a one-pixel pen, the
// excluded last pixel of lines and rectangles as the Canvas contract says.
// Shapes are rasterised here; text goes through QPainter. Also the
// PaintHost that owns such an image.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>

#include "plot/canvas.h"

// The label font when a requested face is not installed.
inline constexpr const char* FallbackFontFace = "DejaVu Sans";

class QtCanvas : public Canvas {
  public:
    QtCanvas();
    ~QtCanvas() override;

    // Starts drawing on image (which must outlive End()); the canvas keeps
    // its pen, brush and font across images. A null image draws nothing.
    void Begin(QImage* image);
    void End();

    void SetPenColor(TColor c) override;
    void SetBrushColor(TColor c) override;
    void SetFontName(const std::string& name) override;
    void SetFontSize(int points) override;
    // The resolution fonts are measured and drawn at, as a multiple of the
    // pictures' own.
    void SetResolution(double ratio);

    void Rectangle(int x1, int y1, int x2, int y2) override;
    void LineTo(int x, int y) override;
    void Polygon(const TQuad& points) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;

    static QColor ToQColor(TColor c);

  private:
    void ApplyFont();
    void Fill(int x1, int y1, int x2, int y2, QRgb color);
    void Line(int x0, int y0, int x1, int y1);
    void LineInside(int x0, int y0, int x1, int y1);
    void FillQuad(const TQuad& points);
    bool Inside(int x, int y) const { return x >= 0 && x < m_width && y >= 0 && y < m_height; }

    // Shapes are written straight into the pixels; only text uses the
    // painter, which is opened on the first text of an image.
    QPainter m_painter;
    QImage* m_image = nullptr;
    QRgb* m_bits = nullptr;
    std::ptrdiff_t m_stride = 0;
    int m_width = 0;
    int m_height = 0;
    QRgb m_pen = 0xFF000000;
    QRgb m_brush = 0xFFFFFFFF;
    QFont m_font;
    // Metrics are taken on an image of the same resolution as the pictures.
    QImage m_metricsImage;
    QFontMetrics m_metrics;
};

// An off-screen image plus its canvas; Present() calls onPresent.
class ImageHost : public PaintHost {
  public:
    ImageHost();
    ~ImageHost() override;
    Canvas& BeginPaint(int width, int height) override;
    void Present() override;

    const QImage& Image() const { return m_image; }
    QtCanvas& CanvasRef() { return m_canvas; }
    // Screen pixels per point of the picture's fonts beyond the pictures'
    // own resolution: on a screen of ratio 2 the labels are drawn at twice
    // as many pixels.
    void SetPixelRatio(double ratio);
    std::function<void()> onPresent;

  private:
    QImage m_image;
    QtCanvas m_canvas;
    double m_pixelRatio = 1;
};
