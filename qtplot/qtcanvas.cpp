// The pixel-exact canvas on a QImage: lines, rectangles and polygons
// rasterised here, text drawn through QPainter, and the image host.
#include "qtplot/qtcanvas.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "text/cp1252.h"

namespace {

// Exact products of two 64-bit coordinates differences.
__extension__ using Wide = __int128;

// Images are 96 dots per inch, so 8-point labels are about 11 pixels high.
constexpr int DotsPerMeter = 3780;

QString FromCp1252(const std::string& text) {
    return QString::fromStdString(text::Cp1252ToUtf8(text));
}

} // namespace

QtCanvas::QtCanvas()
    : m_metricsImage(1, 1, QImage::Format_RGB32), m_metrics(m_font, &m_metricsImage) {
    m_metricsImage.setDotsPerMeterX(DotsPerMeter);
    m_metricsImage.setDotsPerMeterY(DotsPerMeter);
    m_font.setFamilies({QString::fromStdString(FontName()), FallbackFontFace});
    m_font.setPointSize(FontSize());
    ApplyFont();
}

QtCanvas::~QtCanvas() {
    End();
}

QColor QtCanvas::ToQColor(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

void QtCanvas::Begin(QImage* image) {
    End();
    if (!image || image->isNull()) return;
    m_image = image;
    m_bits = reinterpret_cast<QRgb*>(image->bits());
    m_stride = image->bytesPerLine() / 4;
    m_width = image->width();
    m_height = image->height();
}

void QtCanvas::End() {
    if (m_painter.isActive()) m_painter.end();
    m_image = nullptr;
    m_bits = nullptr;
    m_width = m_height = 0;
}

void QtCanvas::SetPenColor(TColor c) {
    Canvas::SetPenColor(c);
    m_pen = ToQColor(c).rgb();
}

void QtCanvas::SetBrushColor(TColor c) {
    Canvas::SetBrushColor(c);
    m_brush = ToQColor(c).rgb();
}

void QtCanvas::SetFontName(const std::string& name) {
    Canvas::SetFontName(name);
    m_font.setFamilies({QString::fromStdString(name), FallbackFontFace});
    ApplyFont();
}

void QtCanvas::SetFontSize(int points) {
    Canvas::SetFontSize(points);
    m_font.setPointSize(std::max(points, 1));
    ApplyFont();
}

void QtCanvas::ApplyFont() {
    m_metrics = QFontMetrics(m_font, &m_metricsImage);
    if (m_painter.isActive()) m_painter.setFont(m_font);
}

void QtCanvas::Fill(int x1, int y1, int x2, int y2, QRgb color) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, m_width);
    y2 = std::min(y2, m_height);
    for (int y = y1; y < y2; ++y) {
        QRgb* row = m_bits + static_cast<std::ptrdiff_t>(y) * m_stride;
        std::fill(row + x1, row + std::max(x1, x2), color);
    }
}

void QtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (!m_bits) return;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    if (BrushStyle() == bsSolid) Fill(x1, y1, x2, y2, m_brush);
    Fill(x1, y1, x2, y1 + 1, m_pen);
    Fill(x1, y2 - 1, x2, y2, m_pen);
    Fill(x1, y1, x1 + 1, y2, m_pen);
    Fill(x2 - 1, y1, x2, y2, m_pen);
}

// Pixels from (x0, y0) toward (x1, y1), the last one excluded. Along the
// major axis step k lies k pixels from the start; the minor coordinate is
// the exact offset k * minor / n rounded half up. The walk starts where the
// line enters the image, so a line far outside it costs nothing.
void QtCanvas::Line(int x0, int y0, int x1, int y1) {
    if (!m_bits) return;
    const std::int64_t dx = std::int64_t(x1) - x0, dy = std::int64_t(y1) - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    if (adx == 0 && ady == 0) return;
    const bool xMajor = adx >= ady;
    const std::int64_t n = xMajor ? adx : ady;
    const std::int64_t minor = xMajor ? ady : adx;
    const int majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const int majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int majorSize = xMajor ? m_width : m_height;
    const int minorSize = xMajor ? m_height : m_width;
    std::int64_t kFirst = 0, kLast = n - 1;
    if (majorSign > 0) {
        kFirst = std::max<std::int64_t>(kFirst, -std::int64_t(majorStart));
        kLast = std::min<std::int64_t>(kLast, std::int64_t(majorSize) - 1 - majorStart);
    } else {
        kFirst = std::max<std::int64_t>(kFirst, std::int64_t(majorStart) - (majorSize - 1));
        kLast = std::min<std::int64_t>(kLast, majorStart);
    }
    if (kFirst > kLast) return;
    // offset = floor((2 k minor + n) / 2n), kept as quotient and remainder.
    const Wide start = Wide(2) * kFirst * minor + n;
    std::int64_t offset = static_cast<std::int64_t>(start / (2 * n));
    std::int64_t rest = static_cast<std::int64_t>(start % (2 * n));
    const std::ptrdiff_t majorMul = xMajor ? 1 : m_stride, minorMul = xMajor ? m_stride : 1;
    std::int64_t a = majorStart + majorSign * kFirst;
    for (std::int64_t k = kFirst; k <= kLast; ++k, a += majorSign) {
        const std::int64_t b = minorStart + minorSign * offset;
        if (b >= 0 && b < minorSize) m_bits[a * majorMul + b * minorMul] = m_pen;
        rest += 2 * minor;
        if (rest >= 2 * n) {
            rest -= 2 * n;
            ++offset;
        }
    }
}

void QtCanvas::LineTo(int x, int y) {
    Line(m_penPos.x, m_penPos.y, x, y);
    m_penPos = {x, y};
}

namespace {

// One polygon edge crossing the scanlines yFrom..yTo-1: x is the first
// pixel at or right of the crossing, advanced exactly from line to line
// (error term e = x * dy - exact numerator, 0 <= e < dy).
struct EdgeWalk {
    int yFrom = 0, yTo = 0;
    std::int64_t x = 0, e = 0, dy = 1, stepQ = 0, stepR = 0;

    void Advance() {
        if (stepR > e) {
            x += stepQ + 1;
            e += dy - stepR;
        } else {
            x += stepQ;
            e -= stepR;
        }
    }
};

} // namespace

// Even-odd fill sampling pixel centres at integer coordinates, each edge
// covering its upper end but not its lower one, and each span its left end
// but not its right one; then the closed outline with the pen.
void QtCanvas::Polygon(const TQuad& p) {
    if (!m_bits) return;
    if (BrushStyle() == bsSolid) {
        EdgeWalk edges[4];
        int count = 0, top = m_height, bottom = 0;
        for (int k = 0; k < 4; ++k) {
            TPoint a = p[k], b = p[(k + 1) % 4];
            if (a.y == b.y) continue;
            if (a.y > b.y) std::swap(a, b);
            EdgeWalk w;
            w.yFrom = std::max(a.y, 0);
            w.yTo = std::min(b.y, m_height);
            if (w.yFrom >= w.yTo) continue;
            w.dy = std::int64_t(b.y) - a.y;
            const std::int64_t dx = std::int64_t(b.x) - a.x;
            const Wide num = Wide(w.yFrom - std::int64_t(a.y)) * dx;
            Wide q = num / w.dy; // ceiling of num / dy
            if (num % w.dy > 0) ++q;
            w.x = a.x + static_cast<std::int64_t>(q);
            w.e = static_cast<std::int64_t>(q * w.dy - num);
            w.stepQ = dx / w.dy; // floor of dx / dy
            if (dx % w.dy < 0) --w.stepQ;
            w.stepR = dx - w.stepQ * w.dy;
            edges[count++] = w;
            top = std::min(top, w.yFrom);
            bottom = std::max(bottom, w.yTo);
        }
        for (int y = top; y < bottom; ++y) {
            std::int64_t xs[4];
            int n = 0;
            for (int k = 0; k < count; ++k) {
                EdgeWalk& w = edges[k];
                if (y < w.yFrom || y >= w.yTo) continue;
                xs[n++] = w.x;
                w.Advance();
            }
            for (int k = 1; k < n; ++k) // at most four crossings
                for (int m = k; m > 0 && xs[m] < xs[m - 1]; --m) std::swap(xs[m], xs[m - 1]);
            QRgb* row = m_bits + static_cast<std::ptrdiff_t>(y) * m_stride;
            for (int k = 0; k + 1 < n; k += 2) {
                const std::int64_t from = std::max<std::int64_t>(xs[k], 0);
                const std::int64_t to = std::min<std::int64_t>(xs[k + 1], m_width);
                if (from < to) std::fill(row + from, row + to, m_brush);
            }
        }
    }
    for (int k = 0; k < 4; ++k) Line(p[k].x, p[k].y, p[(k + 1) % 4].x, p[(k + 1) % 4].y);
    m_penPos = p[0];
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
    if (!m_bits) return;
    const QString s = FromCp1252(text);
    if (BrushStyle() == bsSolid)
        Fill(x, y, x + m_metrics.horizontalAdvance(s), y + m_metrics.height(), m_brush);
    if (!m_painter.isActive()) {
        m_painter.begin(m_image);
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setFont(m_font);
    }
    m_painter.setPen(ToQColor(FontColor()));
    m_painter.drawText(x, y + m_metrics.ascent(), s);
}

int QtCanvas::TextWidth(const std::string& text) {
    return m_metrics.horizontalAdvance(FromCp1252(text));
}

int QtCanvas::TextHeight(const std::string&) {
    return m_metrics.height();
}

ImageHost::ImageHost() = default;
ImageHost::~ImageHost() {
    m_canvas.End();
}

Canvas& ImageHost::BeginPaint(int width, int height) {
    m_canvas.End();
    if (m_image.width() != width || m_image.height() != height) {
        m_image = width > 0 && height > 0 ? QImage(width, height, QImage::Format_RGB32) : QImage();
        m_image.setDotsPerMeterX(DotsPerMeter);
        m_image.setDotsPerMeterY(DotsPerMeter);
    }
    m_canvas.Begin(&m_image);
    return m_canvas;
}

void ImageHost::Present() {
    m_canvas.End();
    if (onPresent) onPresent();
}
