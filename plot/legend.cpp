// The colour bar and the hue wheel of the legend.
#include "plot/legend.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "plot/plot3d.h"

namespace {

constexpr int Margin = 12;   // between the picture's right edge and the legend
constexpr int BarWidth = 14; // pixels
constexpr int LabelGap = 4;  // between bar or wheel and its labels
constexpr int WheelSectors = 96;
constexpr int TickLength = 3;

// Text that reads on the background: black on a light one, else white.
TColor TextColor(TColor background) {
    const TColor c = ColorToRGB(background);
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return r * r + g * g + b * b > 50000 ? clBlack : clWhite;
}

// The label of a bar value: a power of ten where the heights are decimal
// logarithms ("1e-2", "1", "1e3"; between whole powers three digits), else
// the value with the decimals its tick step needs.
std::string BarLabel(double value, double step, bool powers) {
    char text[40];
    if (powers) {
        if (std::fabs(value - std::nearbyint(value)) < 1e-9) {
            const int power = static_cast<int>(std::nearbyint(value));
            if (power == 0) return "1";
            std::snprintf(text, sizeof text, "1e%d", power);
        } else {
            std::snprintf(text, sizeof text, "%.3g", std::pow(10.0, value));
        }
        return text;
    }
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(step)) + 1e-9));
    const int decimals = std::clamp(-exponent, 0, 10);
    if (std::fabs(value) < 1e-9 * std::fabs(step)) value = 0;
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Ticks of the bar: about five; whole powers of ten where those fit.
TTicks BarTicks(double low, double high, bool powers) {
    TTicks ticks = CalcTicks(4, low, high);
    if (powers && ticks.step < 1 && std::floor(high) - std::ceil(low) >= 1)
        ticks = {std::ceil(low), 1.0};
    return ticks;
}

void DrawBar(Canvas& canvas, const TPlot3D& plot) {
    const bool zRange = plot.SurfaceColoring() == scHeightZRange;
    const double low = zRange ? plot.RangeZLow() : plot.ColorScaleLow();
    const double high = zRange ? plot.RangeZHigh() : plot.ColorScaleHigh();
    const bool powers = plot.LogScaleZ();
    const TTicks ticks = BarTicks(low, high, powers);
    const int count =
        ticks.step > 0 ? static_cast<int>((high - ticks.first) / ticks.step + 1e-9) + 1 : 1;
    int labelWidth = 0;
    for (int k = 0; k < std::min(count, 50); ++k)
        labelWidth =
            std::max(labelWidth,
                     canvas.TextWidth(BarLabel(ticks.first + k * ticks.step, ticks.step, powers)));

    const int height = std::clamp(plot.Height() / 2, 40, 260);
    const int top = (plot.Height() - height) / 2;
    const int bottom = top + height - 1; // the row of low; top is the row of high
    const int left = plot.Width() - Margin - labelWidth - LabelGap - TickLength - BarWidth;
    const auto rowValue = [&](int row) {
        return low + (high - low) * (bottom - row) / (height - 1);
    };
    for (int row = top; row <= bottom; ++row) {
        const TColor color = plot.ColorCode(rowValue(row));
        canvas.SetPenColor(color);
        canvas.SetBrushColor(color);
        canvas.Rectangle(left, row, left + BarWidth, row + 1);
    }

    const TColor text = TextColor(plot.ColorBakGnd());
    canvas.SetPenColor(text);
    canvas.SetFontColor(text);
    canvas.SetFontSize(8);
    canvas.SetBrushStyle(bsClear);
    const int textHeight = canvas.TextHeight("0");
    for (int k = 0; k < std::min(count, 50); ++k) {
        const double value = ticks.first + k * ticks.step;
        if (value < low - 1e-9 * (high - low) || value > high + 1e-9 * (high - low)) continue;
        const int row =
            bottom - static_cast<int>(std::lround((value - low) / (high - low) * (height - 1)));
        canvas.MoveTo(left + BarWidth, row);
        canvas.LineTo(left + BarWidth + TickLength, row);
        canvas.TextOut(left + BarWidth + TickLength + LabelGap, row - textHeight / 2,
                       BarLabel(value, ticks.step, powers));
    }
}

void DrawWheel(Canvas& canvas, const TPlot3D& plot) {
    constexpr double Pi = std::numbers::pi;
    const int radius = std::clamp(plot.Height() / 12, 20, 60);
    const int inner = radius / 2;
    const int right = canvas.TextWidth("0");
    const double cx = plot.Width() - Margin - right - LabelGap - radius;
    const double cy = plot.Height() / 2.0;
    const auto at = [&](double r, double phase) {
        // Screen y grows downward, so the phase turns counter-clockwise.
        return TPoint{static_cast<int>(std::lround(cx + r * std::cos(phase))),
                      static_cast<int>(std::lround(cy - r * std::sin(phase)))};
    };
    for (int k = 0; k < WheelSectors; ++k) {
        const double from = 2 * Pi * k / WheelSectors, to = 2 * Pi * (k + 1) / WheelSectors;
        const TColor color = PhaseColor((from + to) / 2, plot.PhaseWheel());
        canvas.SetPenColor(color);
        canvas.SetBrushColor(color);
        canvas.Polygon({at(inner, from), at(radius, from), at(radius, to), at(inner, to)});
    }

    const TColor text = TextColor(plot.ColorBakGnd());
    canvas.SetFontColor(text);
    canvas.SetFontSize(8);
    canvas.SetBrushStyle(bsClear);
    const int h = canvas.TextHeight("0");
    const struct {
        const char* label;
        double phase;
    } labels[] = {{"0", 0}, {"pi/2", Pi / 2}, {"pi", Pi}, {"-pi/2", -Pi / 2}};
    for (const auto& l : labels) {
        // The label's centre on the ray of its phase, just outside the wheel.
        const int w = canvas.TextWidth(l.label);
        const double reach = radius + LabelGap + std::fabs(std::cos(l.phase)) * w / 2.0 +
                             std::fabs(std::sin(l.phase)) * h / 2.0;
        const TPoint centre = at(reach, l.phase);
        canvas.TextOut(centre.x - w / 2, centre.y - h / 2, l.label);
    }
}

} // namespace

void DrawLegend(Canvas& canvas, const TPlot3D& plot) {
    if (plot.SurfaceColoring() == scPhase)
        DrawWheel(canvas, plot);
    else
        DrawBar(canvas, plot);
}
