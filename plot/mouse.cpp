// TPlot3D's mouse handling: drags measured from an anchor turn, zoom or
// shift the view; every move reports the cell under the pointer.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "plot/plot3d.h"

namespace {

constexpr double MinMagnification = 0.001;
constexpr double MaxMagnification = 3.0;

// One turn of wrapping into 0..360 (a drag moves by at most one turn).
double Wrap(double angle) {
    if (angle > 360) angle -= 360;
    if (angle < 0) angle += 360;
    return angle;
}

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// Whether (x, y) lies within the bounding box of the four points.
bool InBounds(const TPoint (&p)[4], int x, int y) {
    int left = p[0].x, right = p[0].x, top = p[0].y, bottom = p[0].y;
    for (const TPoint& q : p) {
        left = std::min(left, q.x);
        right = std::max(right, q.x);
        top = std::min(top, q.y);
        bottom = std::max(bottom, q.y);
    }
    return x >= left && x <= right && y >= top && y <= bottom;
}

} // namespace

void TPlot3D::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(*this, shift, x, y);
    if (!shift.left && !shift.right)
        m_anchor = {x, y, m_centX, m_centY, m_magnification, m_viewAngleX, m_viewAngleZ};
    if (x < 0 || x > m_width || y < 0 || y > m_height) return;

    const std::int64_t dx = std::int64_t(m_anchor.x) - x;
    const std::int64_t dy = std::int64_t(m_anchor.y) - y;
    // Turning and zooming divide by the control's extent; a control without
    // one has nothing to drag across, so only panning works on it.
    const bool hasExtent = m_width > 0 && m_height > 0;
    switch (m_mouseAction) {
    case maRotate:
        if (shift.left && hasExtent) {
            Rotate(dx, dy, true);
            AfterDrag(shift, true);
        }
        break;
    case maRotXOnly:
        if (shift.left && hasExtent) {
            const std::int64_t down = std::int64_t(y) - m_anchor.y;
            m_viewAngleX = Wrap(m_anchor.viewAngleX + double(down * 360) / m_height);
            AfterDrag(shift, true);
        }
        break;
    case maRotZOnly:
        if (shift.left && hasExtent) {
            m_viewAngleZ = Wrap(m_anchor.viewAngleZ + double(dx * 360) / m_width);
            AfterDrag(shift, true);
        }
        break;
    case maZoom:
        if (shift.left && hasExtent) {
            Zoom(dy);
            AfterDrag(shift, false);
        }
        break;
    case maPan:
        if (shift.left) {
            m_centX = ClampToInt(m_anchor.centX - dx);
            m_centY = ClampToInt(m_anchor.centY - dy);
            AfterDrag(shift, false);
        }
        break;
    case maRotAndZoom:
        if (shift.left && hasExtent) {
            Rotate(dx, dy, false);
            AfterDrag(shift, true);
        }
        if (shift.right && hasExtent) {
            Zoom(dy);
            AfterDrag(shift, false);
        }
        break;
    default:
        break;
    }
}

// Dragging right lowers ViewAngleZ, dragging up raises ViewAngleX; the full
// width or height is one turn.
void TPlot3D::Rotate(std::int64_t dx, std::int64_t dy, bool clampAngles) {
    m_viewAngleZ = Wrap(m_anchor.viewAngleZ + double(dx * 360) / m_width);
    m_viewAngleX = Wrap(m_anchor.viewAngleX + double(dy * 360) / m_height);
    if (clampAngles) {
        m_viewAngleX = std::clamp(m_viewAngleX, 0.0, 360.0);
        m_viewAngleZ = std::clamp(m_viewAngleZ, 0.0, 360.0);
    }
}

// Dragging up by the full height adds half the magnification range.
void TPlot3D::Zoom(std::int64_t dy) {
    double delta = (MaxMagnification - MinMagnification) * double(dy) / m_height / 2;
    if (m_anchor.magnification + delta > MaxMagnification)
        delta = MaxMagnification - m_anchor.magnification;
    if (m_anchor.magnification + delta < MinMagnification)
        delta = MinMagnification - m_anchor.magnification;
    m_magnification = m_anchor.magnification + delta;
}

// The handler may overwrite the view; what it leaves is painted as it is.
void TPlot3D::AfterDrag(TShiftState shift, bool rebuildRotation) {
    if (OnMouseAction)
        OnMouseAction(*this, m_centX, m_centY, m_viewAngleX, m_viewAngleZ, m_magnification, shift);
    if (rebuildRotation) BuildRotation();
    Paint();
}

void TPlot3D::MouseMoveMessage(TShiftState shift, int x, int y) {
    MouseMove(shift, x, y);
    int cellX = 0, cellY = 0;
    const bool found = HitTest(x, y, cellX, cellY);
    if (OnMouseMoveOverPlot) OnMouseMoveOverPlot(*this, found, shift, cellX, cellY);
}

bool TPlot3D::HitTest(int mx, int my, int& cellX, int& cellY) const {
    bool found = false;
    std::int64_t best = -2147483647;
    cellX = 0;
    cellY = 0;
    const int cols = m_surface.NrOfColumns(), rows = m_surface.NrOfRows();
    const auto point = [&](int i, int j) {
        return TPoint{m_screenX.Cell(i, j), m_screenY.Cell(i, j)};
    };
    const auto finite = [&](int i, int j) { return std::isfinite(m_surface.Cell(i, j)); };
    for (int i = 1; i <= cols - 1; ++i) {
        for (int j = 1; j <= rows - 1; ++j) {
            // Cells with a corner without a height are not drawn.
            if (!finite(i, j) || !finite(i + 1, j) || !finite(i + 1, j + 1) || !finite(i, j + 1))
                continue;
            const TPoint p[4] = {point(i, j), point(i, j + 1), point(i + 1, j + 1),
                                 point(i + 1, j)};
            int signs = 0;
            bool allZero = true;
            for (int k = 0; k < 4; ++k) {
                const TPoint& from = p[k];
                const TPoint& to = p[(k + 1) % 4];
                const std::int64_t s = (std::int64_t(to.x) - from.x) * (std::int64_t(my) - from.y) -
                                       (std::int64_t(to.y) - from.y) * (std::int64_t(mx) - from.x);
                signs += s >= 0 ? 1 : -1;
                allZero = allZero && s == 0;
            }
            if (std::abs(signs) < 3) continue;
            // A cell collapsed to a point or a line gives zero for every
            // pointer on that line; only the collapsed cell itself holds it.
            if (allZero && !InBounds(p, mx, my)) continue;
            const std::int64_t order = m_drawOrder.Cell(i, j);
            if (order > best) {
                best = order;
                cellX = i;
                cellY = j;
                found = true;
            }
        }
    }
    return found;
}
