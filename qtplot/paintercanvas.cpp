// The plot's drawing calls as painter shapes on any paint device.
#include "qtplot/paintercanvas.h"

#include "qtplot/pictureio.h"
#include "qtplot/qtcanvas.h"
#include "text/cp1252.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QString FromCp1252(const std::string& text) {
    return QString::fromStdString(text::Cp1252ToUtf8(text));
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter)
    : m_painter(painter), m_metricsImage(1, 1, QImage::Format_RGB32),
      m_metrics(m_font, &m_metricsImage) {
    m_metricsImage.setDotsPerMeterX(pictureio::DotsPerMeter);
    m_metricsImage.setDotsPerMeterY(pictureio::DotsPerMeter);
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

// The painter's pen and brush change only when the colours do: an SVG
// generator starts a new group at every change, so the file stays small.
void PainterCanvas::UsePen(const QColor& color) {
    const QPen& current = m_painter.pen();
    if (current.style() == Qt::SolidLine && current.capStyle() == Qt::FlatCap &&
        current.widthF() == 1.0 && current.color() == color)
        return;
    QPen pen(color, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    m_painter.setPen(pen);
}

void PainterCanvas::UseBrush(bool solid) {
    const QColor color = QtCanvas::ToQColor(BrushColor());
    if (!solid) {
        if (m_painter.brush().style() != Qt::NoBrush) m_painter.setBrush(Qt::NoBrush);
    } else if (m_painter.brush().style() != Qt::SolidPattern ||
               m_painter.brush().color() != color) {
        m_painter.setBrush(color);
    }
}

// The outline is the ring of one-pixel squares just inside the rectangle: a
// stroke through their centres, around the brush's fill.
void PainterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    UsePen(QtCanvas::ToQColor(PenColor()));
    UseBrush(BrushStyle() == bsSolid);
    if (x2 - x1 == 1 || y2 - y1 == 1) {
        // No inside: the outline covers the squares.
        UseBrush(false);
        m_painter.fillRect(QRectF(x1, y1, x2 - x1, y2 - y1), QtCanvas::ToQColor(PenColor()));
        return;
    }
    m_painter.drawRect(QRectF(x1 + 0.5, y1 + 0.5, x2 - x1 - 1, y2 - y1 - 1));
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
    UsePen(QtCanvas::ToQColor(PenColor()));
    m_painter.drawLine(QPointF(x0 + 0.5 - ux, y0 + 0.5 - uy),
                       QPointF(x1 + 0.5 - ux, y1 + 0.5 - uy));
}

void PainterCanvas::LineTo(int x, int y) {
    Line(m_penPos.x, m_penPos.y, x, y);
    m_penPos = {x, y};
}

// The fill covers the squares whose centres lie inside the quadrilateral
// (even-odd), the outline the squares its closed edges pass through: one
// shape with brush and pen.
void PainterCanvas::Polygon(const TQuad& p) {
    QPolygonF shape;
    for (const TPoint& point : p) shape << QPointF(point.x + 0.5, point.y + 0.5);
    UsePen(QtCanvas::ToQColor(PenColor()));
    UseBrush(BrushStyle() == bsSolid);
    m_painter.drawPolygon(shape, Qt::OddEvenFill);
    m_penPos = p[0];
}

void PainterCanvas::TextOut(int x, int y, const std::string& text) {
    const QString s = FromCp1252(text);
    if (BrushStyle() == bsSolid)
        m_painter.fillRect(QRectF(x, y, m_metrics.horizontalAdvance(s), m_metrics.height()),
                           QtCanvas::ToQColor(BrushColor()));
    if (m_painter.font() != m_font) m_painter.setFont(m_font);
    UsePen(QtCanvas::ToQColor(FontColor()));
    m_painter.drawText(QPointF(x, y + m_metrics.ascent()), s);
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
    return m_canvas;
}
