// The shared plot helpers: system colours, rounding to the nearest pixel,
// scale ticks and decimals, label text and the frames around the control.
#include "plot/plotbase.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plot/canvas.h"

namespace {

// Classic default values of the first 25 system colours.
constexpr std::array<TColor, 25> SystemColors = {
    0xC8C8C8, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
    0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xDFDFDF, 0x000000, 0xE1FFFF};

constexpr double Log10Of2 = 0.30102999566;
constexpr double Log10Of5 = 0.69897000434;

// Bevel colours c1..c4 (outer top-left, outer bottom-right, inner top-left,
// inner bottom-right) of the four bevelled frame styles.
struct Bevel {
    TColor c1, c2, c3, c4;
};
constexpr Bevel BevelColors[] = {
    {0x808080, 0xFFFFFF, 0x000000, 0xC0C0C0}, // fsLowered
    {0xFFFFFF, 0x000000, 0xC0C0C0, 0x808080}, // fsRaised
    {0xFFFFFF, 0x808080, 0x808080, 0xFFFFFF}, // fsEmbossed
    {0x808080, 0xFFFFFF, 0xFFFFFF, 0x808080}, // fsEngraved
};

} // namespace

TColor ColorToRGB(TColor c) {
    if ((c & 0xFF000000u) == clSystemColor) {
        const unsigned index = c & 0xFFu;
        return index < SystemColors.size() ? SystemColors[index] : clBlack;
    }
    return c & 0xFFFFFFu;
}

int Nearest(double t) {
    if (std::isnan(t)) return 0;
    if (t >= NearestLimit) return NearestLimit;
    if (t <= -NearestLimit) return -NearestLimit;
    return static_cast<int>(std::nearbyint(t));
}

TTicks CalcTicks(int minTicks, double low, double high) {
    if (low == high) return {low, 0.0};
    const double dir = low < high ? 1.0 : -1.0;
    double d = std::log(std::fabs(high - low) / minTicks) / std::log(10.0);
    double e = d - std::trunc(d);
    if (std::fabs(e) < 1e-10 || std::fabs(e) > 0.9999999999) {
        e = 0;
        d = std::nearbyint(d);
    }
    if (d < 0 && e != 0) d = d - 1;
    if (e < 0) e = e + 1;
    double exponent = std::trunc(d);
    if (e >= Log10Of5 + 1e-10)
        exponent += Log10Of5;
    else if (e >= Log10Of2 + 1e-10)
        exponent += Log10Of2;
    TTicks ticks;
    ticks.step = dir * std::exp(exponent * std::log(10.0));
    ticks.first = (std::trunc(low / ticks.step) - 1) * ticks.step;
    // Normally one or two steps; the bound guards ranges so far from zero
    // that adding a step no longer changes the value.
    for (int guard = 0; guard < 1000 && dir * (low - ticks.first) > 0.001 * std::fabs(ticks.step);
         ++guard) {
        const double next = ticks.first + ticks.step;
        if (next == ticks.first) break;
        ticks.first = next;
    }
    return ticks;
}

int AutoDecimals(int decPlace, double low, double high) {
    if (decPlace != -2) return decPlace;
    const double r = std::fabs(high - low);
    if (r >= 1000000 || r <= 0.0001) return -1;
    if (r >= 100) return 0;
    return 2 - Nearest(std::log(r) / 2.5);
}

std::string NumberToText(double value, int decimals) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) value = 0.0; // no sign on a negative zero
    if (decimals >= 0) {
        const int size = std::snprintf(nullptr, 0, "%.*f", decimals, value);
        std::string text(static_cast<std::size_t>(size), '\0');
        std::snprintf(text.data(), text.size() + 1, "%.*f", decimals, value);
        return text;
    }
    // Sign or blank, d.d, 'E', exponent sign and four exponent digits.
    char mantissa[32];
    std::snprintf(mantissa, sizeof mantissa, "%.1E", std::fabs(value));
    const char* e = std::strchr(mantissa, 'E');
    const int exponent = std::atoi(e + 1);
    char text[32];
    std::snprintf(text, sizeof text, "%c%.3sE%c%04d", value < 0 ? '-' : ' ', mantissa,
                  exponent < 0 ? '-' : '+', std::abs(exponent));
    return text;
}

void DrawFrame(Canvas& canvas, TFrameStyle style, int left, int top, int right, int bottom,
               TColor frameColor) {
    const int L = left, T = top, R = right, B = bottom;
    if (style == fsSimple) {
        canvas.SetPenColor(frameColor);
        canvas.MoveTo(L, T);
        canvas.LineTo(L, B);
        canvas.LineTo(R, B);
        canvas.LineTo(R, T);
        canvas.LineTo(L, T);
        return;
    }
    if (style < fsLowered || style > fsEngraved) return;
    const Bevel& c = BevelColors[style - fsLowered];
    canvas.SetPenColor(c.c1);
    canvas.MoveTo(L, B);
    canvas.LineTo(L, T);
    canvas.LineTo(R + 1, T);
    canvas.MoveTo(R, T + 1);
    canvas.SetPenColor(c.c2);
    canvas.LineTo(R, B);
    canvas.LineTo(L - 1, B);
    canvas.SetPenColor(c.c3);
    canvas.MoveTo(L + 1, B - 1);
    canvas.LineTo(L + 1, T + 1);
    canvas.LineTo(R, T + 1);
    canvas.MoveTo(R - 1, T + 2);
    canvas.SetPenColor(c.c4);
    canvas.LineTo(R - 1, B - 1);
    canvas.LineTo(L, B - 1);
}
