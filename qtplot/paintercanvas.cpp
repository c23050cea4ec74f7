// The plot's drawing calls as painter shapes on any paint device.
#include "qtplot/paintercanvas.h"

#include "qtplot/qtcanvas.h"
#include "text/cp1252.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// 96 dots per inch, as the image canvas's pictures.
constexpr int DotsPerMeter = 3780;

QString FromCp1252(const std::string& text) {
    return QString::fromStdString(text::Cp1252ToUtf8(text));
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter)
    : m_painter(painter), m_metricsImage(1, 1, QImage::Format_RGB32),
      m_metrics(m_font, &m_metricsImage) {
    m_metricsImage.setDotsPerMeterX(DotsPerMeter);
    m_metricsImage.setDotsPerMeterY(DotsPerMeter);
    m_font.setFamilies({QString::fromStdString(FontName()), FallbackFontFace});
    m_font.setPointSize(FontSize());
    ApplyFont();
}

void PainterCanvas::SetFontName(const std::string& name) {
    Canvas::SetFontName(name);
    m_font.setFamilies({QString::fromStdString(name), FallbackFontFace});
    ApplyFont();
}

void PainterCanvas::SetFontSize(int points) {
    Canvas::SetFontSize(points);
    m_font.setPointSize(std::max(points, 1));
    ApplyFont();
}

void PainterCanvas::ApplyFont() {
    m_metrics = QFontMetrics(m_font, &m_metricsImage);
}

void PainterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    if (BrushStyle() == bsSolid)
        m_painter.fillRect(QRectF(x1, y1, x2 - x1, y2 - y1), QtCanvas::ToQColor(BrushColor()));
    // The outline is one pixel wide inside the rectangle.
    const QColor pen = QtCanvas::ToQColor(PenColor());
    m_painter.fillRect(QRectF(x1, y1, x2 - x1, 1), pen);
    m_painter.fillRect(QRectF(x1, y2 - 1, x2 - x1, 1), pen);
    m_painter.fillRect(QRectF(x1, y1, 1, y2 - y1), pen);
    m_painter.fillRect(QRectF(x2 - 1, y1, 1, y2 - y1), pen);
}

// A one-pixel band from the start pixel's square up to the end pixel's, which
// is left out as the Canvas contract says.
void PainterCanvas::Line(int x0, int y0, int x1, int y1) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::hypot(dx, dy);
    if (length == 0) return;
    // Along the line's major axis a pixel is one unit long.
    const double unit = 0.5 * length / std::max(std::fabs(dx), std::fabs(dy));
    const double ux = dx / length * unit, uy = dy / length * unit;
    QPen pen(QtCanvas::ToQColor(PenColor()), 1.0, Qt::SolidLine, Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLine(QPointF(x0 + 0.5 - ux, y0 + 0.5 - uy),
                       QPointF(x1 + 0.5 - ux, y1 + 0.5 - uy));
    m_painter.setPen(Qt::NoPen);
}

void PainterCanvas::LineTo(int x, int y) {
    Line(m_penPos.x, m_penPos.y, x, y);
    m_penPos = {x, y};
}

// The fill covers the squares whose centres lie inside the quadrilateral
// (even-odd), then the closed outline is drawn with the pen.
void PainterCanvas::Polygon(const TQuad& p) {
    if (BrushStyle() == bsSolid) {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        path.moveTo(p[0].x + 0.5, p[0].y + 0.5);
        for (int k = 1; k < 4; ++k) path.lineTo(p[k].x + 0.5, p[k].y + 0.5);
        path.closeSubpath();
        m_painter.fillPath(path, QtCanvas::ToQColor(BrushColor()));
    }
    for (int k = 0; k < 4; ++k) Line(p[k].x, p[k].y, p[(k + 1) % 4].x, p[(k + 1) % 4].y);
    m_penPos = p[0];
}

void PainterCanvas::TextOut(int x, int y, const std::string& text) {
    const QString s = FromCp1252(text);
    if (BrushStyle() == bsSolid)
        m_painter.fillRect(QRectF(x, y, m_metrics.horizontalAdvance(s), m_metrics.height()),
                           QtCanvas::ToQColor(BrushColor()));
    m_painter.setFont(m_font);
    m_painter.setPen(QtCanvas::ToQColor(FontColor()));
    m_painter.drawText(QPointF(x, y + m_metrics.ascent()), s);
    m_painter.setPen(Qt::NoPen);
}

int PainterCanvas::TextWidth(const std::string& text) {
    return m_metrics.horizontalAdvance(FromCp1252(text));
}

int PainterCanvas::TextHeight(const std::string&) {
    return m_metrics.height();
}

PainterHost::PainterHost(QPainter& painter, double scale, double offsetX, double offsetY)
    : m_painter(painter), m_canvas(painter), m_scale(scale), m_offsetX(offsetX),
      m_offsetY(offsetY) {}

Canvas& PainterHost::BeginPaint(int, int) {
    m_painter.resetTransform();
    m_painter.translate(m_offsetX, m_offsetY);
    m_painter.scale(m_scale, m_scale);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(Qt::NoPen);
    return m_canvas;
}
