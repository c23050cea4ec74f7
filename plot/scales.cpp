// TPlot3D's three scales: which box edge carries each, the ticks, and the
// placement of their labels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <utility>

#include "plot/plot3d.h"

namespace {

// Scales never draw more ticks than this; a sane range has at most about
// 2.5 times MinTick plus two.
constexpr int MaxTicks = 1000;
constexpr int TickLength = 8;
constexpr std::size_t MaxLabelLength = 14;
// Fixed-point labels get at most this many decimals from their step, so that
// "-0." and the digits stay within MaxLabelLength.
constexpr int MaxStepDecimals = 10;

int Sign(int corner, int bit) {
    return (corner & bit) ? 1 : -1;
}

// What stays the same from tick to tick of one scale.
struct ScaleView {
    TP3ScaleKind kind;
    TPoint a, b; // the ends at the low and at the high value
    double low;
    double width;      // high - low
    bool pointDown;    // x and y ticks point down the screen, else up
    int k180;          // -1 when the view about x is beyond 180 degrees
    double viewAngleZ; // degrees
    double bz;         // the same in radians
};

// One tick: its foot on the edge, the end of its line and the vertical offset
// of its label from that end.
struct TickMark {
    TPoint foot;
    TPoint end;
    int offset;
};

// The value of tick k.
double TickValue(const TTicks& ticks, int k) {
    return k * ticks.step + ticks.first;
}

// True when tick k is the last one: the next would lie beyond high, or the step
// is zero or broken and would never leave the range.
bool IsLastTick(const TTicks& ticks, int k, double low, double high) {
    const bool singleTick = !(std::fabs(ticks.step) > 0) || !std::isfinite(ticks.step);
    const double dir = high > low ? 1 : -1;
    const double next = TickValue(ticks, k + 1);
    return singleTick || !(dir * (next - high) <= 0.001 * std::fabs(ticks.step));
}

// The tick of a value: z ticks point right with the label centred on them,
// x and y ticks down (label below) or up (label above).
TickMark PlaceTick(const ScaleView& v, double value, int textHeight) {
    const double f = (value - v.low) / v.width;
    const TPoint foot{v.a.x + Nearest(f * (std::int64_t(v.b.x) - v.a.x)),
                      v.a.y + Nearest(f * (std::int64_t(v.b.y) - v.a.y))};
    TPoint end = foot;
    int offset = 0;
    if (v.kind == skZScale) {
        end.x += TickLength;
        offset = -textHeight / 2;
    } else if (v.pointDown) {
        end.y += TickLength;
    } else {
        end.y -= TickLength;
        offset = -textHeight;
    }
    return {foot, end, offset};
}

// The decimals a label in fixed notation needs to tell ticks step apart:
// 1 for 0.1, 0.2 and 0.5, 2 for 0.05, none for steps of 1 and more; -1
// (exponential notation) where more than MaxStepDecimals would be needed.
int StepDecimals(double step) {
    if (!(std::fabs(step) > 0) || !std::isfinite(step)) return 0;
    // The tolerance keeps a step computed as 0.09999999999999999 at 1 decimal.
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(step)) + 1e-9));
    return -exponent > MaxStepDecimals ? -1 : std::max(-exponent, 0);
}

// The label of a value, at most MaxLabelLength characters. A value that is
// zero next to the range's width reads as zero, short for wide ranges.
std::string TickLabel(double value, double width, int decimals) {
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
    return label;
}

// The ticks of a scale whose values are exponents of ten: whole powers. A
// step of 1, 2, 5, ... is made the whole number it stands for (it is computed
// through a logarithm, 2 as 1.9999999999999996); a finer one becomes 1 where
// the range holds two or more whole powers, else the ticks stay as they are.
TTicks PowerTicks(const TTicks& ticks, double low, double high) {
    if (std::fabs(ticks.step) > 0.9 && std::isfinite(ticks.step))
        return {std::nearbyint(ticks.first), std::nearbyint(ticks.step)};
    const double lowPower = std::ceil(std::min(low, high));
    const double highPower = std::floor(std::max(low, high));
    if (!(highPower > lowPower)) return ticks;
    return high > low ? TTicks{lowPower, 1.0} : TTicks{highPower, -1.0};
}

// The label of 10^value: whole powers read "0.1", "1", "10" and "1eK"
// beyond; other values three significant digits ("3.16", "0.0316", "3.16e5").
std::string PowerLabel(double value) {
    char text[32];
    // Ticks stepped in tenths land on whole powers within rounding.
    if (std::fabs(value - std::nearbyint(value)) < 1e-9 && std::fabs(value) < 1e9) {
        const int power = static_cast<int>(std::nearbyint(value));
        if (power == -1) return "0.1";
        if (power == 0) return "1";
        if (power == 1) return "10";
        std::snprintf(text, sizeof text, "1e%d", power);
        return text;
    }
    double power = std::floor(value);
    double mantissa = std::pow(10.0, value - power);
    std::snprintf(text, sizeof text, "%.3g", mantissa);
    if (std::string(text) == "10") { // rounded up to the next power
        mantissa = 1;
        power += 1;
    }
    if (std::fabs(power) <= 2)
        std::snprintf(text, sizeof text, "%.3g", mantissa * std::pow(10.0, power));
    else
        std::snprintf(text, sizeof text, "%.3ge%.0f", mantissa, power);
    return text;
}

// The left edge of a label halfWidth*2 wide: x and y labels centred on the
// tick's end and shifted along the slant of their edge, z labels right of it.
int LabelLeft(const ScaleView& v, TPoint end, int halfWidth) {
    int left = end.x - halfWidth;
    if (v.kind == skXScale) {
        const int shift = v.k180 * Nearest(std::sin(v.bz) * halfWidth);
        left += (v.viewAngleZ <= 90 || v.viewAngleZ > 270) ? -shift : shift;
    } else if (v.kind == skYScale) {
        const int shift = v.k180 * Nearest(std::cos(v.bz) * halfWidth);
        left += v.viewAngleZ > 180 ? -shift : shift;
    } else {
        left = end.x + 3;
    }
    return left;
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
    canvas->SetBrushStyle(bsClear);

    const bool powers = kind == skZScale && m_logScaleZ;
    TTicks ticks = CalcTicks(m_minTick[kind], low, high);
    if (powers) ticks = PowerTicks(ticks, low, high);
    // Fixed-point labels get at least the decimals their step needs, so that
    // ticks 0.05 apart do not read "0.1", "0.0" and "-0.0".
    int decimals = AutoDecimals(m_decPlace[kind], low, high);
    const int needed = StepDecimals(ticks.step);
    if (decimals >= 0) decimals = needed < 0 ? needed : std::max(decimals, needed);
    const int h = canvas->TextHeight("0");
    const ScaleView view{kind,
                         a,
                         b,
                         low,
                         high - low,
                         m_viewAngleX <= 90 || (m_viewAngleX > 180 && m_viewAngleX <= 270),
                         m_viewAngleX > 180 ? -1 : 1,
                         m_viewAngleZ,
                         m_viewAngleZ * (1.0 / 180) * std::numbers::pi};

    for (int k = 0; k < MaxTicks; ++k) {
        const double value = TickValue(ticks, k);
        const TickMark tick = PlaceTick(view, value, h);
        canvas->MoveTo(tick.foot.x, tick.foot.y);
        canvas->LineTo(tick.end.x, tick.end.y);

        std::string label = powers ? PowerLabel(value) : TickLabel(value, view.width, decimals);
        if (OnBeforeDrawScaleLabel)
            OnBeforeDrawScaleLabel(*this, canvas, kind, label, tick.foot.x, tick.foot.y);
        const int left = LabelLeft(view, tick.end, canvas->TextWidth(label) / 2);
        canvas->TextOut(left, tick.end.y + tick.offset, label);

        if (IsLastTick(ticks, k, low, high)) break;
    }
}
