// TPlot3D's three scales: which box edge carries each, the ticks, and the
// placement of their labels.
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

#include "plot/plot3d.h"

namespace {

// Scales never draw more ticks than this; a sane range has at most about
// 2.5 times MinTick plus two.
constexpr int MaxTicks = 1000;
constexpr int TickLength = 8;
constexpr std::size_t MaxLabelLength = 14;

int Sign(int corner, int bit) {
    return (corner & bit) ? 1 : -1;
}

} // namespace

void TPlot3D::DrawScales(Canvas*& canvas, int nearCorner) {
    // x and y scales lie on the edges leaving the corner below (or, seen from
    // beneath, above) the near corner; A is the end at the low model value.
    const int below = nearCorner ^ 1;
    if (m_visibleCoords[0]) {
        int a = below, b = below ^ 4;
        if (a & 4) std::swap(a, b);
        DrawScale(canvas, skXScale, CornerPoint(a), CornerPoint(b), m_rangeLow[0], m_rangeHigh[0]);
    }
    if (m_visibleCoords[1]) {
        int a = below, b = below ^ 2;
        if (a & 2) std::swap(a, b);
        DrawScale(canvas, skYScale, CornerPoint(a), CornerPoint(b), m_rangeLow[1], m_rangeHigh[1]);
    }
    if (m_visibleCoords[2]) {
        // The vertical edge furthest right on the screen; R13 is exactly 0,
        // so both corners of an edge tie and the lower one (z bit clear) wins.
        int a = 0;
        double best = -2147483647;
        for (int c = 0; c < 8; ++c) {
            const double ex =
                Sign(c, 4) * m_r[0][0] + Sign(c, 2) * m_r[0][1] + Sign(c, 1) * m_r[0][2];
            if (ex > best) {
                best = ex;
                a = c;
            }
        }
        DrawScale(canvas, skZScale, CornerPoint(a), CornerPoint(a ^ 1), m_rangeLow[2],
                  m_rangeHigh[2]);
    }
}

// Ticks and labels from A (value low) to B (value high). A canvas that the
// label hook substitutes receives the rest of this scale only.
void TPlot3D::DrawScale(Canvas* canvas, TP3ScaleKind kind, TPoint a, TPoint b, double low,
                        double high) {
    const TColor colors[3] = {m_colorXCoords, m_colorYCoords, m_colorZCoords};
    canvas->SetFontSize(8);
    canvas->SetPenColor(colors[kind]);
    canvas->SetFontColor(colors[kind]);
    const int decimals = AutoDecimals(m_decPlace[kind], low, high);
    canvas->SetBrushStyle(bsClear);

    const TTicks ticks = CalcTicks(m_minTick[kind], low, high);
    const double dir = high > low ? 1 : -1;
    const int h = canvas->TextHeight("0");
    const double width = high - low;
    const bool pointDown = m_viewAngleX <= 90 || (m_viewAngleX > 180 && m_viewAngleX <= 270);
    const int k180 = m_viewAngleX > 180 ? -1 : 1;
    const double bz = m_viewAngleZ * (1.0 / 180) * std::numbers::pi;
    // A zero or broken step would never leave the range: draw one tick.
    const bool singleTick = !(std::fabs(ticks.step) > 0) || !std::isfinite(ticks.step);

    for (int k = 0; k < MaxTicks; ++k) {
        const double value = k * ticks.step + ticks.first;
        const double f = (value - low) / width;
        const TPoint foot{a.x + Nearest(f * (std::int64_t(b.x) - a.x)),
                          a.y + Nearest(f * (std::int64_t(b.y) - a.y))};
        TPoint end = foot;
        int offset = 0;
        if (kind == skZScale) {
            end.x += TickLength;
            offset = -h / 2;
        } else if (pointDown) {
            end.y += TickLength;
        } else {
            end.y -= TickLength;
            offset = -h;
        }
        canvas->MoveTo(foot.x, foot.y);
        canvas->LineTo(end.x, end.y);

        std::string label;
        if (std::fabs(value / width) < 1e-14) {
            if (std::fabs(width) > 100000)
                label = decimals == 0 ? "0" : "0.0";
            else
                label = NumberToText(0.0, decimals);
        } else {
            label = NumberToText(value, decimals);
        }
        if (label.size() > MaxLabelLength) label.resize(MaxLabelLength);
        if (OnBeforeDrawScaleLabel)
            OnBeforeDrawScaleLabel(*this, canvas, kind, label, foot.x, foot.y);

        const int hw = canvas->TextWidth(label) / 2;
        int left = end.x - hw;
        if (kind == skXScale) {
            const int shift = k180 * Nearest(std::sin(bz) * hw);
            left += (m_viewAngleZ <= 90 || m_viewAngleZ > 270) ? -shift : shift;
        } else if (kind == skYScale) {
            const int shift = k180 * Nearest(std::cos(bz) * hw);
            left += m_viewAngleZ > 180 ? -shift : shift;
        } else {
            left = end.x + 3;
        }
        canvas->TextOut(left, end.y + offset, label);

        const double next = (k + 1) * ticks.step + ticks.first;
        if (singleTick || !(dir * (next - high) <= 0.001 * std::fabs(ticks.step))) break;
    }
}
