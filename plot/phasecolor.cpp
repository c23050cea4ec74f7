// The two hue wheels, each computed once into a table.
#include "plot/phasecolor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// One sRGB channel from linear light 0..1 (values outside are clipped).
int EncodeSrgb(double linear) {
    const double c = std::clamp(linear, 0.0, 1.0);
    const double v = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return std::clamp(Nearest(255 * v), 0, 255);
}

// An OKLab colour (lightness L, opponent axes a, b) in sRGB.
TColor OklabToRgb(double L, double a, double b) {
    const double l = std::pow(L + 0.3963377774 * a + 0.2158037573 * b, 3);
    const double m = std::pow(L - 0.1055613458 * a - 0.0638541728 * b, 3);
    const double s = std::pow(L - 0.0894841775 * a - 1.2914855480 * b, 3);
    return RGB(EncodeSrgb(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
               EncodeSrgb(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
               EncodeSrgb(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s));
}

// The OKLab hue angles (degrees) of sRGB red, green and blue, and the
// lightness and chroma of the wheel: at L = 0.75 every hue holds a chroma of
// 0.1275 inside sRGB, so one chroma fits the whole wheel.
constexpr double RedHue = 29.2339, GreenHue = 142.4953, BlueHue = 264.0520;
constexpr double WheelLightness = 0.75, WheelChroma = 0.125;

// Phase t in 0..2 pi to OKLab hue: linear within each third, so arg 0, 2 pi/3
// and 4 pi/3 land exactly on the hues of red, green and blue.
double OklabHue(double t) {
    const double third = 2 * Pi / 3;
    const double from[] = {RedHue, GreenHue, BlueHue, RedHue + 360};
    const int k = std::min(static_cast<int>(t / third), 2);
    const double degrees = from[k] + (from[k + 1] - from[k]) * (t - k * third) / third;
    return degrees * Pi / 180;
}

TColor EvenLightnessColor(double t) {
    const double h = OklabHue(t);
    return OklabToRgb(WheelLightness, WheelChroma * std::cos(h), WheelChroma * std::sin(h));
}

TColor HsvColor(double t) {
    const double sector = t / (Pi / 3); // 0..6: red, yellow, green, cyan, blue, magenta
    const int k = std::min(static_cast<int>(sector), 5);
    const double f = sector - k;
    const int up = Nearest(255 * f), down = Nearest(255 * (1 - f));
    switch (k) {
    case 0:
        return RGB(255, up, 0);
    case 1:
        return RGB(down, 255, 0);
    case 2:
        return RGB(0, 255, up);
    case 3:
        return RGB(0, down, 255);
    case 4:
        return RGB(up, 0, 255);
    default:
        return RGB(255, 0, down);
    }
}

using Wheel = std::array<TColor, PhaseSteps>;

Wheel BuildWheel(TColor (*color)(double)) {
    Wheel wheel{};
    for (int k = 0; k < PhaseSteps; ++k) wheel[k] = color(2 * Pi * k / PhaseSteps);
    return wheel;
}

} // namespace

TColor PhaseColor(double phase, TPhaseWheel wheel) {
    static const Wheel evenLightness = BuildWheel(EvenLightnessColor);
    static const Wheel hsv = BuildWheel(HsvColor);
    if (!std::isfinite(phase)) return PhaseNeutralGray;
    double turns = phase / (2 * Pi);
    turns -= std::floor(turns);
    const int k = static_cast<int>(std::lround(turns * PhaseSteps)) % PhaseSteps;
    return (wheel == pwHsv ? hsv : evenLightness)[static_cast<std::size_t>(k)];
}

PhaseVector ToPhaseVector(double phase) {
    if (std::isnan(phase)) return {};
    return {std::cos(phase), std::sin(phase)};
}

double CellPhase(const PhaseVector* corners, int count) {
    double x = 0, y = 0;
    for (int k = 0; k < count; ++k) {
        x += corners[k].x;
        y += corners[k].y;
    }
    // Vectors that cancel up to rounding leave no direction.
    if (std::hypot(x, y) < 1e-9) return std::nan("");
    return std::atan2(y, x);
}
