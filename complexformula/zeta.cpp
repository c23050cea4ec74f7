// The Riemann zeta function: Euler-Maclaurin summation with a proven remainder
// bound, and the functional equation on the left.
#include "complexformula/zeta.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

namespace {

using Ext = long double;
using CExt = std::complex<Ext>;

constexpr Ext kPi = std::numbers::pi_v<Ext>;
constexpr Ext kLn2Pi = 1.837877066409345483560659L;
constexpr Ext kLnPi = 1.144729885849400174143427L;
constexpr Ext kHalfLn2Pi = 0.9189385332046727417803297L;

// B_2k / (2k)!, k = 1..41: the Euler-Maclaurin corrections.
constexpr Ext EulerMaclaurinCoefficients[] = {
    8.33333333333333333333e-2L,   -1.38888888888888888889e-3L,  3.30687830687830687831e-5L,
    -8.26719576719576719577e-7L,  2.08767569878680989792e-8L,   -5.28419013868749318485e-10L,
    1.33825365306846788328e-11L,  -3.38968029632258286683e-13L, 8.58606205627784456414e-15L,
    -2.17486869855806187304e-16L, 5.5090028283602295152e-18L,   -1.39544646858125233407e-19L,
    3.53470703962946747169e-21L,  -8.9535174270375468504e-23L,  2.26795245233768306031e-24L,
    -5.74479066887220244526e-26L, 1.45517247561486490187e-27L,  -3.68599494066531017818e-29L,
    9.33673425709504467203e-31L,  -2.36502241570062993456e-32L, 5.99067176248213430466e-34L,
    -1.51745488446829026171e-35L, 3.84375812545418823223e-37L,  -9.73635307264669103527e-39L,
    2.46624704420068095711e-40L,  -6.24707674182074369315e-42L, 1.58240302446449142975e-43L,
    -4.00827368594893596853e-45L, 1.01530758555695563116e-46L,  -2.57180415824187174992e-48L,
    6.51445603523381493156e-50L,  -1.65013099068965245551e-51L, 4.17983062853947589485e-53L,
    -1.05876346677029087703e-54L, 2.68187919126077066614e-56L,  -6.79327935110742120953e-58L,
    1.72075776166814049054e-59L,  -4.3587303293488938434e-61L,  1.10407929036846667508e-62L,
    -2.7966655133781345072e-64L,  7.08403650167947019851e-66L};
// Corrections used at most; the last coefficient bounds the remainder.
constexpr int MaxCorrections = std::size(EulerMaclaurinCoefficients) - 1;

// The remainder of the summation is brought below this (absolute; the
// rounding of a sum of terms of modulus up to about 1 is of the same order).
constexpr Ext SummationTolerance = 0x1p-70L;
constexpr int MinTerms = 8;
// Left of this re s the functional equation is used: the terms n^-s of the
// sum grow like n^-re s, and their cancellation costs digits.
constexpr Ext ReflectBelow = -0.5L;
// From this re s on, zeta(s) = 1 + 2^-s to extended precision: the rest of
// the series is below 2^-64 (1.5^-64 of the term 2^-s).
constexpr Ext SeriesHeadFrom = 64;
// Further left |zeta(s)| exceeds the extended range, about (|s| / 2 pi e)^-re s,
// except on the trivial zeros.
constexpr Ext BeyondRangeLeftOf = -5000;
// Closer to the pole than this, 1 / (s - 1) is beyond the extended range.
constexpr Ext PoleRadius = 1e-4000L;
// The natural logarithm of the largest extended value, with a margin.
constexpr Ext LogExtendedMax = 11350;

// Stirling's series for ln Gamma with these coefficients B_2k / (2k (2k - 1)),
// k = 1..12, at |z| >= StirlingRadius, re z > 0: the remainder is below
// |B_26| / (26 * 25 |z|^25) * 2^13 < 1e-25.
constexpr Ext StirlingSeries[] = {1.0L / 12,           -1.0L / 360,       1.0L / 1260,
                                  -1.0L / 1680,        1.0L / 1188,       -691.0L / 360360,
                                  1.0L / 156,          -3617.0L / 122400, 43867.0L / 244188,
                                  -174611.0L / 125400, 77683.0L / 5796,   -236364091.0L / 1506960};
constexpr Ext StirlingRadius = 20;

CExt PowerMinus(Ext lnN, CExt s) { // n^-s
    const Ext modulus = std::exp(-s.real() * lnN);
    const Ext phase = -s.imag() * lnN;
    return {modulus * std::cos(phase), modulus * std::sin(phase)};
}

struct Plan {
    int terms = MinTerms; // N
    int corrections = 0;  // M
};

// The remainder of the Euler-Maclaurin formula after M corrections, for
// re s > -(2M + 1), is bounded by
//   |B_2M+2 / (2M + 2)! s (s + 1) ... (s + 2M)| N^-(re s + 2M + 1)
//   * |s + 2M + 1| / (re s + 2M + 1),
// and |B_2k / (2k)!| = 2 zeta(2k) / (2 pi)^2k <= (pi^2 / 3) / (2 pi)^2k.
// For each M this gives the least N that brings the bound below
// SummationTolerance; the plan takes the M whose N is smallest (a power n^-s
// costs several corrections; of equal N the fewer corrections). Reckoned in
// logarithms of doubles, with a margin for their rounding. s is not 0.
Plan ChoosePlan(CExt s) {
    const double sigma = static_cast<double>(s.real());
    const double t = static_cast<double>(s.imag());
    const auto logModulus = [&](int j) {
        return 0.5 * std::log((sigma + j) * (sigma + j) + t * t);
    };
    const double logTolerance = std::log(static_cast<double>(SummationTolerance)) - 1;
    const double logTwoPi = std::log(2 * std::numbers::pi);
    const double logCoefficientFactor = std::log(std::numbers::pi * std::numbers::pi / 3);
    double logProduct = logModulus(0); // ln |s (s + 1) ... (s + 2M)|
    Plan best{1 << 30, 0};
    for (int m = 1; m <= MaxCorrections; ++m) {
        logProduct += logModulus(2 * m - 1) + logModulus(2 * m);
        const double next = sigma + 2 * m + 1;
        const double logAtOne = logCoefficientFactor - (2 * m + 2) * logTwoPi + logProduct +
                                logModulus(2 * m + 1) - std::log(next);
        const double lnN = (logAtOne - logTolerance) / next; // the bound is logAtOne - next ln N
        if (lnN >= std::log(static_cast<double>(best.terms))) continue;
        const int n = std::max(MinTerms, static_cast<int>(std::exp(lnN)) + 1);
        if (n < best.terms) best = {n, m};
    }
    return best;
}

// zeta(s) = sum(n < N) n^-s + N^(1-s) / (s - 1) + N^-s / 2
//           + sum(k = 1..M) B_2k / (2k)! s (s + 1) ... (s + 2k - 2) N^(-s-2k+1),
// for re s >= ReflectBelow, s not 1.
CExt EulerMaclaurin(CExt s) {
    if (s == CExt{}) return -0.5L;
    const Plan plan = ChoosePlan(s);
    const Ext n = plan.terms;
    CExt sum = 0;
    for (int k = plan.terms - 1; k >= 1; --k) sum += PowerMinus(std::log(static_cast<Ext>(k)), s);
    const CExt last = PowerMinus(std::log(n), s); // N^-s
    sum += n * last / (s - Ext{1}) + last / Ext{2};
    CExt factor = s * last / n; // s (s + 1) ... (s + 2k - 2) N^(-s-2k+1)
    CExt corrections = 0;
    for (int k = 1; k <= plan.corrections; ++k) {
        if (k > 1)
            factor *=
                (s + static_cast<Ext>(2 * k - 3)) * (s + static_cast<Ext>(2 * k - 2)) / (n * n);
        corrections += EulerMaclaurinCoefficients[k - 1] * factor;
    }
    return sum + corrections;
}

// zeta(s) for re s >= ReflectBelow.
CExt ZetaRight(CExt s) {
    if (s.real() >= SeriesHeadFrom) return Ext{1} + PowerMinus(std::numbers::ln2_v<Ext>, s);
    return EulerMaclaurin(s);
}

// ln Gamma(z) up to a multiple of 2 pi i, for re z > 0: Stirling's series at
// z + m, |z + m| >= StirlingRadius, less ln(z (z + 1) ... (z + m - 1)).
CExt LnGammaRight(CExt z) {
    CExt product = 1;
    while (std::abs(z) < StirlingRadius) {
        product *= z;
        z += Ext{1};
    }
    const CExt inverse = Ext{1} / z;
    const CExt inverseSquare = inverse * inverse;
    CExt series = 0;
    for (int k = static_cast<int>(std::size(StirlingSeries)) - 1; k >= 0; --k)
        series = series * inverseSquare + StirlingSeries[k];
    return (z - Ext{0.5L}) * std::log(z) - z + kHalfLn2Pi + series * inverse - std::log(product);
}

// sin(pi s / 2) e^-(pi |im s| / 2). The real argument is reduced by whole
// periods exactly first, so that the trivial zeros keep their digits.
CExt ScaledSine(CExt s) {
    const Ext half = s.real() / 2;
    const Ext whole = std::nearbyint(half);
    const Ext sign = std::fmod(whole, Ext{2}) == 0 ? 1 : -1;
    const Ext fraction = half - whole; // exact
    const Ext sinX = sign * std::sin(kPi * fraction);
    const Ext cosX = sign * std::cos(kPi * fraction);
    const Ext twiceY = kPi * std::fabs(s.imag());
    const Ext up = (1 + std::exp(-twiceY)) / 2;  // cosh y e^-|y|
    const Ext across = -std::expm1(-twiceY) / 2; // |sinh y| e^-|y|
    return {sinX * up, std::copysign(Ext{1}, s.imag()) * cosX * across};
}

// zeta(s) = 2^s pi^(s-1) sin(pi s / 2) Gamma(1 - s) zeta(1 - s), formed as
// exp(log of the growing factors) times the bounded rest.
ZetaValue Reflected(CExt s) {
    const CExt sine = ScaledSine(s);
    const CExt rest = sine * ZetaRight(Ext{1} - s);
    if (rest == CExt{}) return {};
    const CExt logGrowth =
        s * kLn2Pi - kLnPi + LnGammaRight(Ext{1} - s) + kPi * std::fabs(s.imag()) / 2;
    const Ext size = std::abs(rest);
    const Ext logModulus = logGrowth.real() + std::log(size);
    if (logModulus > LogExtendedMax) return {Complex{}, ZetaValue::TooLarge};
    if (logModulus < -LogExtendedMax) return {};
    const CExt value = std::exp(logModulus) * std::polar(Ext{1}, logGrowth.imag()) * (rest / size);
    return {Complex{value.real(), value.imag()}};
}

} // namespace

ZetaValue RiemannZeta(Complex s) {
    if (std::isnan(s.re) || std::isnan(s.im)) {
        const Ext nan = std::numeric_limits<Ext>::quiet_NaN();
        return {Complex{nan, nan}};
    }
    if (!(std::fabs(s.im) <= ZetaHeightLimit)) return {Complex{}, ZetaValue::TooHigh};
    if (s.re < BeyondRangeLeftOf) {
        const bool trivialZero = s.im == 0 && std::isfinite(s.re) && std::fmod(s.re, Ext{2}) == 0;
        return trivialZero ? ZetaValue{} : ZetaValue{Complex{}, ZetaValue::TooLarge};
    }
    const CExt z{s.re, s.im};
    if (std::abs(z - Ext{1}) < PoleRadius) return {Complex{}, ZetaValue::TooLarge};
    if (s.re < ReflectBelow) return Reflected(z);
    const CExt value = ZetaRight(z);
    return {Complex{value.real(), value.imag()}};
}
