// The pixel-exact canvas on a QImage: lines, rectangles and polygons
// rasterised here, text drawn through QPainter, and the image host.
#include "qtplot/qtcanvas.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// The opaque pixel value of a colour, as QColor::rgb() gives it.
QRgb ToPixel(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
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
    m_pen = ToPixel(c);
}

void QtCanvas::SetBrushColor(TColor c) {
    Canvas::SetBrushColor(c);
    m_brush = ToPixel(c);
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

void QtCanvas::SetResolution(double ratio) {
    const int dots = static_cast<int>(std::lround(DotsPerMeter * ratio));
    m_metricsImage.setDotsPerMeterX(dots);
    m_metricsImage.setDotsPerMeterY(dots);
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
    if (x1 >= x2 || y1 >= y2) return;
    // Whole rows of an image without padding are one run of pixels.
    if (x1 == 0 && x2 == m_width && m_stride == m_width) {
        std::fill_n(m_bits + static_cast<std::ptrdiff_t>(y1) * m_stride,
                    static_cast<std::ptrdiff_t>(y2 - y1) * m_stride, color);
        return;
    }
    for (int y = y1; y < y2; ++y) {
        QRgb* row = m_bits + static_cast<std::ptrdiff_t>(y) * m_stride;
        std::fill(row + x1, row + x2, color);
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
    if (Inside(x0, y0) && Inside(x1, y1)) {
        LineInside(x0, y0, x1, y1);
        return;
    }
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

// Line() when both ends lie in the image, so every pixel does: the same
// steps on a pixel index, with no clipping and no division.
void QtCanvas::LineInside(int x0, int y0, int x1, int y1) {
    const int dx = x1 - x0, dy = y1 - y0;
    const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    if (adx == 0 && ady == 0) return;
    const bool xMajor = adx >= ady;
    const int n = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const std::ptrdiff_t xStep = dx < 0 ? -1 : 1, yStep = dy < 0 ? -m_stride : m_stride;
    const std::ptrdiff_t majorStep = xMajor ? xStep : yStep, minorStep = xMajor ? yStep : xStep;
    std::ptrdiff_t at = static_cast<std::ptrdiff_t>(y0) * m_stride + x0;
    QRgb* const bits = m_bits;
    const QRgb pen = m_pen;
    // rest = (2 k minor + n) mod 2n; the minor coordinate moves when it
    // wraps. The move is masked in rather than branched on, since it comes
    // and goes irregularly along a sloped line.
    std::int64_t rest = n;
    const std::int64_t twoN = 2 * std::int64_t(n), twoMinor = 2 * std::int64_t(minor);
    for (int k = 0; k < n; ++k) {
        bits[at] = pen;
        rest += twoMinor;
        const std::int64_t wrap = -std::int64_t(rest >= twoN);
        rest -= twoN & wrap;
        at += majorStep + (minorStep & wrap);
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

    // x moves one pixel more than stepQ when e - stepR drops below 0; no
    // branch, since that alternates from line to line on sloped edges.
    void Advance() {
        e -= stepR;
        const bool carry = e < 0;
        x += stepQ + carry;
        e += carry ? dy : 0;
    }
};

// The walk of the edge from a down to b (a.y < b.y) over the rows
// 0..height-1; false when it crosses none of them.
bool StartEdge(TPoint a, TPoint b, int height, EdgeWalk& w) {
    w.yFrom = std::max(a.y, 0);
    w.yTo = std::min(b.y, height);
    if (w.yFrom >= w.yTo) return false;
    w.dy = std::int64_t(b.y) - a.y;
    const std::int64_t dx = std::int64_t(b.x) - a.x;
    const std::int64_t rows = std::int64_t(w.yFrom) - a.y; // rows above the image
    if (rows == 0) {
        w.x = a.x;
        w.e = 0;
    } else {
        const Wide num = Wide(rows) * dx;
        Wide q = num / w.dy; // ceiling of num / dy
        if (num % w.dy > 0) ++q;
        w.x = a.x + static_cast<std::int64_t>(q);
        w.e = static_cast<std::int64_t>(q * w.dy - num);
    }
    w.stepQ = dx / w.dy; // floor of dx / dy
    if (dx % w.dy < 0) --w.stepQ;
    w.stepR = dx - w.stepQ * w.dy;
    return true;
}

// Sets count pixels of a row from p on, four at a time; the last four end
// at the span's end, overlapping the previous ones where count is not a
// multiple of four.
inline void FillSpan(QRgb* p, std::int64_t count, QRgb color) {
    if (count < 4) {
        for (std::int64_t k = 0; k < count; ++k) p[k] = color;
        return;
    }
    const QRgb four[4] = {color, color, color, color};
    QRgb* const last = p + count - 4;
    for (; p < last; p += 4) std::memcpy(p, four, sizeof four);
    std::memcpy(last, four, sizeof four);
}

} // namespace

// Even-odd fill sampling pixel centres at integer coordinates, each edge
// covering its upper end but not its lower one, and each span its left end
// but not its right one. Between two consecutive edge ends the same edges
// cross every row: two of them (always, for a convex quad) bound one span.
void QtCanvas::FillQuad(const TQuad& p) {
    EdgeWalk edges[4];
    int count = 0;
    for (int k = 0; k < 4; ++k) {
        TPoint a = p[k], b = p[(k + 1) % 4];
        if (a.y == b.y) continue;
        if (a.y > b.y) std::swap(a, b);
        if (StartEdge(a, b, m_height, edges[count])) ++count;
    }
    if (count < 2) return;
    // The edges end at the corners' rows (clipped to the image), sorted by a
    // network of min and max, which has no branch to mispredict.
    int cuts[4];
    for (int k = 0; k < 4; ++k) cuts[k] = std::clamp(p[k].y, 0, m_height);
    const auto order = [&cuts](int a, int b) {
        const int low = std::min(cuts[a], cuts[b]);
        cuts[b] = std::max(cuts[a], cuts[b]);
        cuts[a] = low;
    };
    order(0, 1);
    order(2, 3);
    order(0, 2);
    order(1, 3);
    order(1, 2);
    const QRgb brush = m_brush;
    const std::int64_t width = m_width;
    for (int c = 0; c < 3; ++c) {
        const int yFrom = cuts[c], yTo = cuts[c + 1];
        if (yFrom == yTo) continue;
        EdgeWalk* band[4];
        int n = 0;
        for (int k = 0; k < count; ++k)
            if (edges[k].yFrom <= yFrom && yFrom < edges[k].yTo) band[n++] = &edges[k];
        QRgb* row = m_bits + static_cast<std::ptrdiff_t>(yFrom) * m_stride;
        if (n == 2) {
            // Walked in copies, so the compiler can keep them in registers.
            EdgeWalk l = *band[0], r = *band[1];
            for (int y = yFrom; y < yTo; ++y, row += m_stride) {
                const std::int64_t from = std::max<std::int64_t>(std::min(l.x, r.x), 0);
                const std::int64_t to = std::min(std::max(l.x, r.x), width);
                if (from < to) FillSpan(row + from, to - from, brush);
                l.Advance();
                r.Advance();
            }
            *band[0] = l;
            *band[1] = r;
            continue;
        }
        for (int y = yFrom; y < yTo; ++y, row += m_stride) {
            std::int64_t xs[4];
            for (int k = 0; k < n; ++k) {
                xs[k] = band[k]->x;
                band[k]->Advance();
            }
            for (int k = 1; k < n; ++k) // at most four crossings
                for (int m = k; m > 0 && xs[m] < xs[m - 1]; --m) std::swap(xs[m], xs[m - 1]);
            for (int k = 0; k + 1 < n; k += 2) {
                const std::int64_t from = std::max<std::int64_t>(xs[k], 0);
                const std::int64_t to = std::min(xs[k + 1], width);
                if (from < to) FillSpan(row + from, to - from, brush);
            }
        }
    }
}

// The fill, then the closed outline with the pen.
void QtCanvas::Polygon(const TQuad& p) {
    if (!m_bits) return;
    if (BrushStyle() == bsSolid) FillQuad(p);
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

void ImageHost::SetPixelRatio(double ratio) {
    if (ratio == m_pixelRatio) return;
    m_pixelRatio = ratio;
    m_canvas.End();
    m_image = QImage();
    m_canvas.SetResolution(ratio);
}

Canvas& ImageHost::BeginPaint(int width, int height) {
    m_canvas.End();
    if (m_image.width() != width || m_image.height() != height) {
        m_image = width > 0 && height > 0 ? QImage(width, height, QImage::Format_RGB32) : QImage();
        const int dots = static_cast<int>(std::lround(DotsPerMeter * m_pixelRatio));
        m_image.setDotsPerMeterX(dots);
        m_image.setDotsPerMeterY(dots);
    }
    m_canvas.Begin(&m_image);
    return m_canvas;
}

void ImageHost::Present() {
    m_canvas.End();
    if (onPresent) onPresent();
}
