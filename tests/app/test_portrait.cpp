// The phase portrait: hue, windings and brightness steps read from its pixels.
#include "app/portrait.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <map>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

portrait::Portrait Compute(const char* formula, double half, int side, bool steps) {
    portrait::PortraitJob job;
    job.formula = formula;
    job.xLow = job.yLow = -half;
    job.xHigh = job.yHigh = half;
    job.width = job.height = side;
    job.steps = steps;
    return portrait::ComputePortrait(job);
}

// The point at the centre of pixel (c, r) of a square portrait.
std::complex<double> PointOf(int c, int r, double half, int side) {
    return {-half + 2 * half * (c + 0.5) / side, half - 2 * half * (r + 0.5) / side};
}

TEST(Portrait, HueIsTheArgumentOfF) {
    const portrait::Portrait p = Compute("Z", 2, 41, false);
    for (int r = 0; r < 41; r += 3)
        for (int c = 0; c < 41; c += 3)
            EXPECT_EQ(p.pixels[static_cast<std::size_t>(r * 41 + c)],
                      PhaseColor(std::arg(PointOf(c, r, 2, 41)), pwEvenLightness))
                << c << ", " << r;
    EXPECT_EQ(p.neutral, 1); // Z = 0 at the centre pixel has no phase
}

TEST(Portrait, ColoursWindAroundZerosAndPoles) {
    const struct {
        const char* formula;
        int winding;
    } rows[] = {{"Z", 1}, {"Z^2", 2}, {"1/Z", -1}, {"Z^3/(Z-0.5)", 2}, {"EXP(Z)", 0}};
    std::map<TColor, double> phaseOf; // the wheel read backwards
    for (int k = PhaseSteps; k-- > 0;)
        phaseOf[PhaseColor(2 * Pi * k / PhaseSteps, pwEvenLightness)] = 2 * Pi * k / PhaseSteps;
    const int side = 201;
    for (const auto& row : rows) {
        const portrait::Portrait p = Compute(row.formula, 2, side, false);
        double turned = 0, previous = 0;
        for (int k = 0; k <= 360; ++k) {
            // On the circle |Z| = 1.5, pixel by pixel.
            const double t = 2 * Pi * k / 360;
            const int c = static_cast<int>((1.5 * std::cos(t) + 2) / 4 * side);
            const int r = static_cast<int>((2 - 1.5 * std::sin(t)) / 4 * side);
            const auto found = phaseOf.find(p.pixels[static_cast<std::size_t>(r * side + c)]);
            ASSERT_NE(found, phaseOf.end()) << row.formula;
            if (k > 0) turned += std::remainder(found->second - previous, 2 * Pi);
            previous = found->second;
        }
        EXPECT_NEAR(turned / (2 * Pi), row.winding, 1e-9) << row.formula;
    }
}

TEST(Portrait, BrightnessStepsFallOnThePowersOfTwo) {
    // Along the positive real axis of Z the shade falls back exactly where
    // |Z| passes 1/4, 1/2, 1, 2 and 4.
    const int side = 800;
    const portrait::Portrait p = Compute("Z", 5, side, true);
    const int r = side / 2; // y just below 0
    std::vector<double> drops;
    for (int c = side / 2 + 1; c < side; ++c) {
        const auto level = [&](int col) {
            const TColor q = p.pixels[static_cast<std::size_t>(r * side + col)];
            return GetRValue(q) + GetGValue(q) + GetBValue(q);
        };
        if (level(c) < level(c - 1) - 30 && c > side / 2 + 10)
            drops.push_back(std::abs(PointOf(c, r, 5, side)));
    }
    const double expected[] = {0.25, 0.5, 1, 2, 4};
    ASSERT_EQ(drops.size(), std::size(expected));
    for (std::size_t k = 0; k < drops.size(); ++k)
        EXPECT_NEAR(drops[k], expected[k], 10.0 / side) << k;
}

TEST(Portrait, PointsWithoutPhaseAreGrey) {
    const portrait::Portrait p = Compute("Z-Z", 1, 8, true);
    EXPECT_EQ(p.neutral, 64);
    const long double inf = std::numeric_limits<long double>::infinity();
    for (Complex w : {Complex{NAN, 1}, Complex{inf, 0}, Complex{0, -inf}})
        EXPECT_EQ(portrait::PortraitColor(w, pwHsv, true), PhaseNeutralGray);
}

} // namespace
