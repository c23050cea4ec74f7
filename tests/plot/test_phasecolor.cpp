// The hue wheels, the phase of a cell and the height ramp over the z range.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

#include "plot/phasecolor.h"
#include "plot/plot3d.h"

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Relative luminance of an sRGB colour.
double Luminance(TColor c) {
    const auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(GetRValue(c)) + 0.7152 * lin(GetGValue(c)) + 0.0722 * lin(GetBValue(c));
}

TEST(PhaseColor, AnchorsRunCounterClockwise) {
    const struct {
        const char* name;
        double phase;
        TPhaseWheel wheel;
        int strongest; // 0 red, 1 green, 2 blue
    } rows[] = {
        {"0 red", 0, pwEvenLightness, 0},
        {"2pi/3 green", 2 * Pi / 3, pwEvenLightness, 1},
        {"-2pi/3 blue", -2 * Pi / 3, pwEvenLightness, 2},
        {"4pi/3 is -2pi/3", 4 * Pi / 3, pwHsv, 2},
        {"hsv 0 red", 0, pwHsv, 0},
        {"hsv 2pi/3 green", 2 * Pi / 3, pwHsv, 1},
        {"a turn later", 2 * Pi + 2 * Pi / 3, pwEvenLightness, 1},
    };
    for (const auto& r : rows) {
        const TColor c = PhaseColor(r.phase, r.wheel);
        const int channel[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
        EXPECT_EQ(std::max_element(channel, channel + 3) - channel, r.strongest) << r.name;
    }
    EXPECT_EQ(PhaseColor(0, pwHsv), clRed);
    EXPECT_EQ(PhaseColor(Pi / 3, pwHsv), clYellow);
    EXPECT_EQ(PhaseColor(-Pi, pwHsv), clAqua);
    EXPECT_EQ(PhaseColor(-2 * Pi / 3, pwHsv), clBlue);
    EXPECT_EQ(PhaseColor(NaN, pwHsv), PhaseNeutralGray);
}

TEST(PhaseColor, EvenLightnessHasNoBrightBands) {
    const struct {
        TPhaseWheel wheel;
        double lowest, highest; // bounds of the luminance ratio max / min
    } rows[] = {{pwEvenLightness, 1.0, 1.2}, {pwHsv, 10, 1e9}};
    for (const auto& r : rows) {
        double low = 1, high = 0;
        int largestStep = 0;
        for (int k = 0; k < PhaseSteps; ++k) {
            const TColor c = PhaseColor(2 * Pi * k / PhaseSteps, r.wheel);
            const TColor next = PhaseColor(2 * Pi * (k + 1) / PhaseSteps, r.wheel);
            low = std::min(low, Luminance(c));
            high = std::max(high, Luminance(c));
            for (int shift : {0, 8, 16})
                largestStep = std::max(
                    largestStep, std::abs(int((c >> shift) & 0xFF) - int((next >> shift) & 0xFF)));
        }
        EXPECT_GE(high / low, r.lowest) << r.wheel;
        EXPECT_LE(high / low, r.highest) << r.wheel;
        EXPECT_LE(largestStep, 2) << "a jump in wheel " << r.wheel;
    }
}

TEST(CellPhase, ArgumentOfTheCornersUnitVectors) {
    const struct {
        const char* name;
        double corners[4];
        double expected;
    } rows[] = {
        {"one direction", {1, 1, 1, 1}, 1},
        {"across the cut stays near pi", {Pi - 0.1, -Pi + 0.1, Pi - 0.1, -Pi + 0.1}, Pi},
        {"not the mean of the numbers", {0, Pi / 2, 0, Pi / 2}, Pi / 4},
        {"a corner without phase counts for nothing", {0.5, NaN, 0.5, NaN}, 0.5},
        {"none", {NaN, NaN, NaN, NaN}, NaN},
        {"cancelling", {0, Pi, 0, Pi}, NaN},
    };
    for (const auto& r : rows) {
        PhaseVector v[4];
        for (int k = 0; k < 4; ++k) v[k] = ToPhaseVector(r.corners[k]);
        const double phase = CellPhase(v, 4);
        if (std::isnan(r.expected))
            EXPECT_TRUE(std::isnan(phase)) << r.name << ": " << phase;
        else
            EXPECT_NEAR(std::remainder(phase - r.expected, 2 * Pi), 0, 1e-12) << r.name;
    }
}

TEST(SurfaceColoring, HeightRampOverTheZRange) {
    // z range -0.09..0.09 on a colour scale -7..8: by height all one tone,
    // over the z interval the whole ramp.
    TPlot3D plot;
    plot.SetColorLow(clBlack);
    plot.SetColorHigh(clWhite);
    plot.SetColorScaleLow(-7);
    plot.SetColorScaleHigh(8);
    plot.SetRangeZLow(-0.09);
    plot.SetRangeZHigh(0.09);
    const struct {
        TSurfaceColoring coloring;
        double value;
        TColor expected;
    } rows[] = {
        {scHeight, -0.09, RGB(117, 117, 117)}, {scHeight, 0.09, RGB(121, 121, 121)},
        {scHeightZRange, -0.09, clBlack},      {scHeightZRange, 0, RGB(128, 128, 128)},
        {scHeightZRange, 0.09, clWhite},       {scHeightZRange, 5, clWhite},
    };
    for (const auto& r : rows) {
        plot.SetSurfaceColoring(r.coloring);
        EXPECT_EQ(plot.ColorCode(r.value), r.expected) << r.coloring << " at " << r.value;
    }
}

} // namespace
