// Canvas over a QPainter on a QImage, pixel-exact: antialiasing off, one
// pixel pen, the excluded last pixel of lines and rectangles kept as the
// Canvas contract says. Also the PaintHost that owns such an image.
#pragma once

#include <QFont>
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
    void SetBrushStyle(TBrushStyle s) override;
    void SetFontName(const std::string& name) override;
    void SetFontSize(int points) override;
    void SetFontColor(TColor c) override;

    void Rectangle(int x1, int y1, int x2, int y2) override;
    void LineTo(int x, int y) override;
    void Polygon(const TQuad& points) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;

    static QColor ToQColor(TColor c);

  private:
    void ApplyFont();
    QPainter m_painter;
    QImage* m_image = nullptr;
    QFont m_font;
    // Metrics without an active image are taken on this one-pixel image.
    QImage m_metricsImage;
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
    std::function<void()> onPresent;

  private:
    QImage m_image;
    QtCanvas m_canvas;
};
