// Gamma, log-gamma, beta, digamma, Bessel J0 and J1, the sine, cosine and
// exponential integrals, Euler's totient and the greatest common divisor.
#include "realformula/higherfunctions.h"
#include "realformula/interpreter.h"
#include "runtime/fpu.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <utility>

namespace {

using Ext = long double;

// Euler's constant to double precision: DIGAMMA(1) is exactly its negative.
constexpr double kEulerGamma = 0.5772156649015329;

// Abramowitz and Stegun 6.1.36: gamma(1 + t) for 0 <= t <= 1, error below 3e-7.
constexpr double kGammaB[9] = {1,           -0.577191652, 0.988205891, -0.897056937,
                               0.918206857, -0.756704078, 0.482199394, -0.193527818,
                               0.035868343};

// Below this argument |gamma(x)| is under the smallest extended number, so the
// reduction loop ends in a signed zero; it is skipped there.
constexpr double kGammaZeroBelow = -2000;

Ext Polynomial(const double* c, int degree, Ext x) {
    Ext r = c[degree];
    for (int k = degree - 1; k >= 0; --k) r = r * x + c[k];
    return r;
}

} // namespace

double GammaPoly(double x) {
    if ((x <= 0 && x == std::trunc(x)) || x > 43) {
        RealStatus = 4;
        return 0;
    }
    if (x < kGammaZeroBelow) {
        // The sign of gamma between the poles: negative when ceil(-x) is odd.
        return std::fmod(std::ceil(-x), 2.0) != 0 ? -0.0 : 0.0;
    }
    Ext r = 1;
    while (x > 2) {
        x -= 1;
        r *= x;
    }
    while (x < 1) {
        r /= x;
        x += 1;
    }
    const Ext p = Polynomial(kGammaB, 8, static_cast<Ext>(x) - 1);
    // A value beyond the double range (x near 0) is out of range like x > 43.
    rt::ProtectedRegion region;
    double value = static_cast<double>(r * p);
    rt::Settle(value);
    if (region.Faulted() || !std::isfinite(value)) {
        RealStatus = 4;
        return 0;
    }
    return value;
}

SpecialResult SpecialFunction(SpecialKind kind, double x) {
    SpecialResult result;
    RealStatus = 0;
    {
        // A fault inside the routine (1/x for a tiny x in Digamma, an infinite
        // argument) counts as its failure.
        rt::ProtectedRegion region;
        double value = 0;
        switch (kind) {
        case SpecialKind::LogGamma:
            value = LogGamma(x, result.failed);
            break;
        case SpecialKind::BesselJ0:
            value = BesselJ0(x);
            break;
        case SpecialKind::BesselJ1:
            value = BesselJ1(x);
            break;
        case SpecialKind::Digamma:
            value = Digamma(x, result.failed);
            break;
        }
        rt::Settle(value);
        if (region.Faulted() || !std::isfinite(value)) {
            result.failed = true;
            value = 0;
        }
        result.value = value;
    }
    if (RealStatus != 0) result.failed = true;
    return result;
}

double LogGamma(double x, bool& failed) {
    // From -4.5 down the function is refused as before; where gamma is
    // negative its logarithm does not exist.
    const bool pole = x <= 0 && x == std::trunc(x);
    int sign = 0;
    const Ext value = pole || !(x > -4.5) ? 0 : ::lgammal_r(x, &sign);
    if (pole || sign <= 0 || !(std::fabs(value) <= DBL_MAX)) {
        failed = true;
        return 0;
    }
    return static_cast<double>(value);
}

namespace {

// z^(1-2k) B_2k / (2k (2k-1)) summed for k = 1..7; for z >= 16 the first
// omitted term is below 3e-20.
Ext StirlingTail(Ext z) {
    const Ext y = 1 / (z * z);
    return (1.0L / 12 -
            y * (1.0L / 360 -
                 y * (1.0L / 1260 -
                      y * (1.0L / 1680 - y * (1.0L / 1188 - y * (691.0L / 360360 - y / 156)))))) /
           z;
}

// sin(pi r) for an r the caller has reduced exactly to a few periods.
Ext SinPi(Ext r) {
    return std::sin(std::numbers::pi_v<Ext> * r);
}

bool IsGammaPole(Ext x) {
    return x <= 0 && x == std::trunc(x);
}

} // namespace

long double LogGammaRatio(long double y, long double d) {
    if (d == 0) return 0;
    Ext x = y + d;
    Ext px = 1, py = 1;
    for (; x < 16; x += 1, d += 1) px *= x;
    for (; y < 16; y += 1, d -= 1) py *= y;
    // (x - 1/2) ln x - (y - 1/2) ln y - d, rearranged.
    const Ext main = (y - 0.5L) * std::log1p(d / y) + d * std::log(x) - d;
    return main + StirlingTail(x) - StirlingTail(y) - std::log(px) + std::log(py);
}

namespace {

// B(a, b) with c = a + b, none of them a pole, through log-gamma; beyond the
// double range: RealStatus 4, result 0.
double BetaThroughLogGamma(double a, double b, Ext c) {
    // Negative arguments are reflected, gamma(x) = pi / (sin(pi x) gamma(1 - x)),
    // which leaves two gamma functions of positive arguments on one side of the
    // quotient and one on the other: ln of the pair's quotient is
    // ln gamma(q) + ln gamma(p) - ln gamma(s) with p the larger of the pair and
    // s the single one, the last two as one ratio with p - s formed exactly.
    if (a > b) std::swap(a, b);
    const Ext sinA = a < 0 ? SinPi(std::fmod(a, 2.0)) : 1;
    const Ext sinB = b < 0 ? SinPi(std::fmod(b, 2.0)) : 1;
    const Ext sinC = c < 0 ? SinPi(static_cast<Ext>(std::fmod(a, 2.0)) + std::fmod(b, 2.0)) : 1;
    const Ext ea = a, eb = b;
    Ext q = 0, s = 0, d = 0, side = 1; // side -1: the pair is the denominator
    if (a > 0) {                       // gamma(a) gamma(b) / gamma(c)
        q = ea, s = c, d = -ea;
    } else if (b < 0) { // gamma(1 - c) / (gamma(1 - a) gamma(1 - b))
        q = 1 - eb, s = 1 - c, d = eb, side = -1;
    } else if (c > 0) { // gamma(b) / (gamma(1 - a) gamma(c))
        const bool cLarger = c >= 1 - ea;
        q = cLarger ? 1 - ea : c;
        s = eb, d = cLarger ? ea : 1 - ea - eb, side = -1;
    } else { // gamma(b) gamma(1 - c) / gamma(1 - a)
        const bool bLarger = eb >= 1 - c;
        q = bLarger ? 1 - c : eb;
        s = 1 - ea, d = bLarger ? eb - 1 + ea : -eb;
    }
    int qSign = 0;
    const Ext pi = std::numbers::pi_v<Ext>;
    Ext logMagnitude = side * (::lgammal_r(q, &qSign) + LogGammaRatio(s, d));
    if (a < 0) logMagnitude += std::log(pi / std::fabs(sinA));
    if (b < 0) logMagnitude += std::log(pi / std::fabs(sinB));
    if (c < 0) logMagnitude += std::log(std::fabs(sinC) / pi);
    if (!(logMagnitude < 12000) || std::exp(logMagnitude) > DBL_MAX) {
        RealStatus = 4;
        return 0;
    }
    const Ext magnitude = std::exp(logMagnitude);
    const bool negative = ((sinA < 0) != (sinB < 0)) != (sinC < 0);
    return static_cast<double>(negative ? -magnitude : magnitude);
}

} // namespace

double Beta(double a, double b) {
    const Ext c = static_cast<Ext>(a) + b;
    const auto inPolyRange = [](double x) { return x >= kGammaZeroBelow && x <= 43; };
    if (inPolyRange(a) && inPolyRange(b) && inPolyRange(static_cast<double>(c))) {
        const double g = GammaPoly(static_cast<double>(c));
        if (g == 0) {
            RealStatus = 4;
            return 0;
        }
        return static_cast<double>(static_cast<Ext>(GammaPoly(a)) * GammaPoly(b) / g);
    }
    if (IsGammaPole(a) || IsGammaPole(b) || IsGammaPole(c)) {
        RealStatus = 4;
        return 0;
    }
    return BetaThroughLogGamma(a, b, c);
}

double Digamma(double x, bool& failed) {
    if (x > 0) {
        if (x == 1) return -kEulerGamma;
        if (x <= 1e-5) return static_cast<double>(-kEulerGamma - 1 / static_cast<Ext>(x));
        Ext s = 0;
        Ext z = x;
        while (z < 20) {
            s -= 1 / z;
            z += 1;
        }
        // The asymptotic series with eight Bernoulli terms.
        const Ext y = 1 / (z * z);
        const Ext a =
            y * (1.0L / 12 -
                 y * (1.0L / 120 -
                      y * (1.0L / 252 -
                           y * (1.0L / 240 -
                                y * (1.0L / 132 - y * (691.0L / 32760 -
                                                       y * (1.0L / 12 - y * 3617.0L / 8160)))))));
        return static_cast<double>(s + std::log(z) - 0.5L / z - a);
    }
    if (x == 0 || !(x < 0)) { // 0, or no number at all
        failed = true;
        return 0;
    }
    const double magnitude = std::fabs(x);
    if (magnitude - std::trunc(magnitude) < 1e-5) { // a pole
        failed = true;
        return 0;
    }
    const Ext reflected = 1 - static_cast<Ext>(x);
    return static_cast<double>(Digamma(static_cast<double>(reflected), failed) +
                               std::numbers::pi / std::tan(std::numbers::pi * reflected));
}

// The rational and asymptotic approximations of Numerical Recipes. Their
// constants 0.636619772 (2/pi), 0.785398164 (pi/4) and 2.356194491 (3 pi/4)
// keep their published digits: the results of J0 and J1 are defined with them.
double BesselJ0(double x) {
    const Ext ax = std::fabs(x);
    if (ax < 8) {
        const Ext y = static_cast<Ext>(x) * x;
        const Ext num =
            57568490574.0L +
            y * (-13362590354.0L +
                 y * (651619640.7L + y * (-11214424.18L + y * (77392.33017L + y * -184.9052456L))));
        const Ext den =
            57568490411.0L +
            y * (1029532985.0L + y * (9494680.718L + y * (59272.64853L + y * (267.8532712L + y))));
        return static_cast<double>(num / den);
    }
    const Ext z = 8 / ax;
    const Ext y = z * z;
    const Ext w = ax - 0.785398164L;
    const Ext p = 1 + y * (-0.001098628627L +
                           y * (2.734510407e-5L + y * (-2.073370639e-6L + y * 2.093887211e-7L)));
    const Ext q = -0.01562499995L +
                  y * (0.0001430488765L +
                       y * (-6.911147651e-6L + y * (7.621095161e-7L + y * -9.34945152e-8L)));
    return static_cast<double>(std::sqrt(0.636619772L / ax) *
                               (std::cos(w) * p - z * std::sin(w) * q));
}

double BesselJ1(double x) {
    const Ext ax = std::fabs(x);
    if (ax < 8) {
        const Ext y = static_cast<Ext>(x) * x;
        const Ext num =
            x * (72362614232.0L +
                 y * (-7895059235.0L +
                      y * (242396853.1L +
                           y * (-2972611.439L + y * (15704.4826L + y * -30.16036606L)))));
        const Ext den =
            144725228442.0L +
            y * (2300535178.0L + y * (18583304.74L + y * (99447.43394L + y * (376.9991397L + y))));
        return static_cast<double>(num / den);
    }
    const Ext z = 8 / ax;
    const Ext y = z * z;
    const Ext w = ax - 2.356194491L;
    const Ext p = 1 + y * (0.00183105L +
                           y * (-3.516396496e-5L + y * (2.457520174e-6L + y * -2.40337019e-7L)));
    const Ext q =
        0.04687499995L +
        y * (-0.0002002690873L + y * (8.449199096e-6L + y * (-8.8228987e-7L + y * 1.05787412e-7L)));
    const Ext j = std::sqrt(0.636619772L / ax) * (std::cos(w) * p - z * std::sin(w) * q);
    return static_cast<double>(x >= 0 ? j : -j);
}

namespace {

// Euler's constant in full for the power series of Ci, which is accurate to
// 1e-10 only with it (a five-digit constant would cost five digits of Ci).
constexpr Ext kEulerGammaExt = 0.57721566490153286060651209008240243L;

// Below kSiCiAsymptotic Si and Ci are summed from their power series in
// extended precision: there the largest term stays below 1e8, so rounding
// costs less than 1e-10. From there on the power series would cancel away
// every digit, and the asymptotic series of the auxiliary functions f and g
// are good to better than 1e-10 instead.
constexpr double kSiCiAsymptotic = 22;

struct SiCi {
    Ext si, ci;
};

// Si(x) = sum (-1)^k x^(2k+1) / ((2k+1) (2k+1)!),
// Ci(x) = gamma + ln x + sum_{k>=1} (-1)^k x^(2k) / (2k (2k)!).
SiCi SiCiSeries(double x) {
    const Ext ex = x;
    Ext si = 0;
    Ext ci = kEulerGammaExt + std::log(ex);
    Ext power = 1; // x^n / n!
    for (int n = 1; n < 200; ++n) {
        power *= ex / n;
        const Ext term = power / n;
        const bool negative = (n / 2) % 2 != 0;
        Ext& sum = n % 2 != 0 ? si : ci;
        sum += negative ? -term : term;
        if (n > x && term <= 1e-21L * std::fabs(sum)) break;
    }
    return {si, ci};
}

// Si(x) = pi/2 - f cos x - g sin x and Ci(x) = f sin x - g cos x, with
// f ~ (1/x) sum (-1)^k (2k)! / x^(2k) and g ~ (1/x^2) sum (-1)^k (2k+1)! / x^(2k),
// summed up to their smallest term.
SiCi SiCiAsymptotic(double x) {
    const Ext ex = x;
    const Ext inverseSquare = 1 / (ex * ex);
    Ext f = 1, g = 1, termF = 1, termG = 1;
    for (int k = 1; k < 200; ++k) {
        const Ext nextF = -termF * (2 * k - 1) * (2 * k) * inverseSquare;
        const Ext nextG = -termG * (2 * k) * (2 * k + 1) * inverseSquare;
        if (std::fabs(nextG) >= std::fabs(termG) || std::fabs(nextF) < 1e-21L) break;
        termF = nextF;
        termG = nextG;
        f += termF;
        g += termG;
    }
    f /= ex;
    g *= inverseSquare;
    const Ext s = std::sin(ex), c = std::cos(ex);
    return {std::numbers::pi_v<Ext> / 2 - f * c - g * s, f * s - g * c};
}

SiCi SiCiOf(double x) {
    return x < kSiCiAsymptotic ? SiCiSeries(x) : SiCiAsymptotic(x);
}

} // namespace

double SineIntegral(double x) {
    if (!(x > 0 && x < 50)) {
        RealStatus = 2;
        return 0;
    }
    return static_cast<double>(SiCiOf(x).si);
}

double CosineIntegral(double x) {
    if (!(x > 0 && x < 50)) {
        RealStatus = 2;
        return 0;
    }
    return static_cast<double>(SiCiOf(x).ci);
}

// Ei(x) = gamma + ln x + sum_{k>=1} x^k / (k k!), summed in extended
// precision: the terms are all positive, and below 40 the sum stays under
// 1e16, so it keeps its last digits; near the zero at 0.3725 the absolute
// error stays at the last digits of the logarithm.
double ExpIntegral(double x) {
    if (!(x > 0 && x < 40)) {
        RealStatus = 2;
        return 0;
    }
    const Ext ex = x;
    Ext sum = 0;
    Ext power = 1; // x^k / k!
    for (int k = 1; k < 400; ++k) {
        power *= ex / k;
        const Ext term = power / k;
        sum += term;
        if (k > x && term <= 1e-21L * sum) break;
    }
    return static_cast<double>(kEulerGammaExt + std::log(ex) + sum);
}

double EulerPhi(std::int32_t n) {
    if (n < 1 || n > 10000) {
        RealStatus = 1;
        return 0;
    }
    // The count of 1 <= i < n coprime to n (and 1 for n = 1), by the product
    // over n's prime factors: about sqrt(n) steps instead of n gcds, so a
    // formula of many EULERPHI terms stays cheap.
    std::int32_t count = n;
    std::int32_t rest = n;
    for (std::int32_t p = 2; p * p <= rest; ++p) {
        if (rest % p != 0) continue;
        while (rest % p == 0) rest /= p;
        count -= count / p;
    }
    if (rest > 1) count -= count / rest;
    return count;
}

std::int64_t Gcd(std::int32_t a, std::int32_t b) {
    if (a == 0 || b == 0) return 1;
    std::int64_t x = std::llabs(a);
    std::int64_t y = std::llabs(b);
    while (y != 0) {
        const std::int64_t r = x % y;
        x = y;
        y = r;
    }
    return x;
}
