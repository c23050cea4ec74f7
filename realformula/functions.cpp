// The 72 functions of the real formula language, by their KeywordList position.
#include "realformula/faultguard.h"
#include "realformula/higherfunctions.h"

#include <cmath>

using realformula_detail::Fail;
using realformula_detail::GuardedRule;

// Fixed at program start: MCARLO repeats its sequence from run to run.
std::uint32_t RandomState = 0x2545F491u;

namespace {

using Ext = long double;

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = kPi / 2;

// The 32-bit linear congruential generator of Numerical Recipes (ranqd1).
std::uint32_t NextRandom() {
    RandomState = RandomState * 1664525u + 1013904223u;
    return RandomState;
}

// t = 0: a real in [0, 1); else an integer in 0 .. n-1 with n = trunc(t).
double MonteCarlo(double t) {
    const Ext u = static_cast<Ext>(NextRandom()) / 4294967296.0L;
    if (t == 0) return static_cast<double>(u);
    const Ext n = std::trunc(static_cast<Ext>(t));
    if (n == 0) return 0;
    // A negative n mirrors the range: an integer in n+1 .. 0. Scaling the
    // 32-bit fraction keeps every n exact and in range, however large.
    const double k = static_cast<double>(std::floor(u * std::fabs(n)));
    if (n > 0 || k == 0) return k;
    return -k;
}

// Jacobi's elliptic functions with modulus ParamQ: which 0 sn, 1 cn, 2 dn.
double Jacobi(double t, int which) {
    double sn = 0, cn = 0, dn = 0;
    JacobiSnCnDn(t, 1 - ParamQ * ParamQ, sn, cn, dn);
    return which == 0 ? sn : which == 1 ? cn : dn;
}

double Special(SpecialKind kind, double t) {
    const SpecialResult r = SpecialFunction(kind, t);
    if (r.failed) RealStatus = 4;
    return r.value;
}

// t-th root of a positive t for 3, 4, 5.
double RealRoot(double t, int n, bool oddRoot) {
    if (t > 0) return std::exp(std::log(t) / n);
    if (t == 0) return 0;
    if (!oddRoot) return Fail();
    return -std::exp(std::log(-t) / n);
}

double Airy(double t, bool wantBi) {
    double ai = 0, bi = 0;
    AiryAiBi(t, ai, bi);
    return wantBi ? bi : ai;
}

double GaussSum(double t) {
    const Ext t2 = static_cast<Ext>(t) * t;
    const Ext inner = (7 * std::exp(-t2 / 2) + 16 * std::exp(-t2 * (2 - std::sqrt(2.0L))) +
                       (7 + kPi * t2 / 4) * std::exp(-t2)) /
                      30;
    const Ext s = 0.5L * std::sqrt(1 - inner);
    if (t < 0) return static_cast<double>(0.5L - s);
    if (t == 0) return 0.5;
    return static_cast<double>(0.5L + s);
}

// Repeated subtraction or addition of 24 into 0 .. 24. For |t| below 2^56
// every step is exact, so fmod gives the loop's result without the loop,
// which for larger t would never end.
double Time(double t) {
    if (t > 24) {
        const double r = std::fmod(t, 24.0);
        t = r == 0 ? 24.0 : r;
    } else if (t < 0) {
        const double r = std::fmod(t, 24.0);
        t = r < 0 ? r + 24.0 : 0.0;
    }
    return t;
}

double ExpP(double t) {
    // P = 0 has no logarithm: 0^t is 0 for t > 0 and 1 for t = 0 (as 0^0 of
    // the power operator), and fails for t < 0 like the bound below would.
    if (ParamP < 0) return Fail();
    if (ParamP == 0) return t > 0 ? 0.0 : t == 0 ? 1.0 : Fail();
    const Ext e = std::log(static_cast<Ext>(ParamP)) * t;
    if (e >= 50) return Fail();
    return static_cast<double>(std::exp(e));
}

double Rule(int position, double t) {
    const Ext et = t;
    switch (position) {
    case 1: // SQR
        if (t == 0) return 0;
        if (std::fabs(t) >= ValueLimit) return ValueLimit;
        return t * t;
    case 5:
    case 171: // SQRT, WURZEL
        return t >= 0 ? std::sqrt(t) : Fail();
    case 10:
    case 186: // EXP, EHOCH
        return std::exp(std::fmin(std::fmax(t, -100.0), 100.0));
    case 14: // LN
        return t > 0 ? std::log(t) : Fail();
    case 17: // ABS
        return std::fabs(t);
    case 21: // SI
        return SineIntegral(t);
    case 24: // SIN
        return std::sin(t);
    case 28: // COS
        return std::cos(t);
    case 32: // TAN
        return std::cos(t) != 0 ? std::tan(t) : 0.0;
    case 36: // ARCCOS
        return std::fabs(t) > 1 ? Fail() : std::acos(t);
    case 43: // LG
        return t > 0 ? static_cast<double>(std::log(et) * 0.4342944819033L) : Fail();
    case 46: // ARCTAN
        return std::atan(t);
    case 53: // SINH
        return std::fabs(t) >= 50 ? ValueLimit : std::sinh(t);
    case 58: // COSH
        if (std::fabs(t) >= 50) {
            RealStatus = 2;
            return ValueLimit;
        }
        return std::cosh(t);
    case 63: // TANH
        if (std::fabs(t) >= 50) {
            RealStatus = 1;
            return ValueLimit;
        }
        return std::tanh(t);
    case 68: { // INT
        const double v = t >= 0 ? std::trunc(t) : static_cast<double>(std::trunc(et - 1));
        RealStatus = 3;
        return v;
    }
    case 72:
    case 220: // SGN, VORZEICHEN
        RealStatus = 0;
        return t == 0 ? 0.0 : t / std::fabs(t);
    case 76:
        return UserFunction(1, t); // F1
    case 79:
        return UserFunction(2, t); // F2
    case 82:
        return UserFunction(3, t); // F3
    case 85:
        return UserFunction(4, t); // F4
    case 217:
        return UserFunction(5, t); // F5
    case 88:                       // COT
        return std::sin(t) != 0 ? std::cos(t) / std::sin(t) : 0.0;
    case 92: // LD
        return t > 0 ? static_cast<double>(std::log(et) * 1.442695040889L) : Fail();
    case 95: // ARCSIN
        if (std::fabs(t) < 1) return std::asin(t);
        if (t == 1) return kHalfPi;
        if (t == -1) return -kHalfPi;
        return Fail();
    case 102: // ARSINH
        // ln(t + sqrt(t^2 + 1)); a negative t takes the mirror image, since
        // the sum cancels to 0 there (t = -1e10 would give ln 0).
        if (t < 0) return static_cast<double>(-std::log(-et + std::sqrt(et * et + 1)));
        return static_cast<double>(std::log(et + std::sqrt(et * et + 1)));
    case 109: // ARCOSH
        return t >= 1 ? static_cast<double>(std::log(et + std::sqrt(et * et - 1))) : Fail();
    case 116: // ARTANH
        return std::fabs(t) >= 1 ? Fail() : static_cast<double>(std::log((et + 1) / (1 - et)) / 2);
    case 123: // SEC
        return std::cos(t) != 0 ? 1 / std::cos(t) : Fail();
    case 127: // GAMMA
        return GammaPoly(t);
    case 133: { // GAUSS
        Ext g = et;
        if (g > 50) {
            g = 50;
            RealStatus = 4;
        } else if (g < -50) {
            g = -50;
            RealStatus = 4;
        }
        return static_cast<double>(std::exp(-g * g / 2) / 2.506628274631L);
    }
    case 139: // MCARLO
        return MonteCarlo(t);
    case 146: // CI
        return CosineIntegral(t);
    case 149: // EI
        return ExpIntegral(t);
    case 152: { // BETA
        const double g = GammaPoly(static_cast<double>(et + ParamP));
        if (g == 0) {
            RealStatus = 4;
            return 0;
        }
        return static_cast<double>(static_cast<Ext>(GammaPoly(t)) * GammaPoly(ParamP) / g);
    }
    case 157: // BESSJ0
        return Special(SpecialKind::BesselJ0, t);
    case 164: // BESSJ1
        return Special(SpecialKind::BesselJ1, t);
    case 178:
    case 200: // WURZEL3, W3
        return RealRoot(t, 3, true);
    case 192:
    case 203: // WURZEL4, W4
        return RealRoot(t, 4, false);
    case 206: // LOG
        if (t > 0 && ParamP > 0 && ParamP != 1)
            return static_cast<double>(std::log(et) / std::log(static_cast<Ext>(ParamP)));
        return Fail();
    case 210: // CSC
        return std::sin(t) != 0 ? 1 / std::sin(t) : Fail();
    case 214: { // WP
        if (!(t > 0 && ParamP != 0)) return Fail();
        const Ext q = std::log(et) / ParamP;
        return std::fabs(q) >= 50 ? Fail() : static_cast<double>(std::exp(q));
    }
    case 231: // FRAC
        return std::fabs(t) >= ValueLimit ? Fail() : t - std::trunc(t);
    case 236: // EXPP
        return ExpP(t);
    case 241: // GAMMALN
        return Special(SpecialKind::LogGamma, t);
    case 249: // HEAVISIDE
        RealStatus = 3;
        return t != 0 ? (std::fabs(t) / t + 1) / 2 : 0.5;
    case 259: // SINW
        return std::sin(t * kPi / 180);
    case 264: // COSW
        return std::cos(t * kPi / 180);
    case 269: { // TANW
        const double a = t * kPi / 180;
        return std::cos(a) != 0 ? std::tan(a) : 0.0;
    }
    case 274: { // COTW
        const double a = t * kPi / 180;
        return std::sin(a) != 0 ? std::cos(a) / std::sin(a) : 0.0;
    }
    case 279: { // ARCTANW
        const double a = std::atan(t);
        return a < 0 ? a + kPi : a;
    }
    case 287: { // ARCSINW
        if (std::fabs(t) < 1) {
            const double a = std::atan(t / std::sqrt(1 - t * t));
            return a < 0 ? kHalfPi - a : a;
        }
        if (t == 1 || t == -1) return kHalfPi;
        return Fail();
    }
    case 295: // GSUMME
        return GaussSum(t);
    case 302:
        return Jacobi(t, 0); // SN
    case 305:
        return Jacobi(t, 1); // CN
    case 308:
        return Jacobi(t, 2); // DN
    case 311: {              // EULERPHI
        const double n = std::nearbyint(t);
        if (!(n >= 1 && n <= 10000)) {
            RealStatus = 1;
            return 0;
        }
        return EulerPhi(static_cast<std::int32_t>(n));
    }
    case 320:
        return Airy(t, false); // AI
    case 323:
        return Airy(t, true); // BI
    case 326:                 // ARCCOT
        return std::fabs(t) <= 1e-10 ? kHalfPi - std::atan(t) : std::atan(1 / t);
    case 333: { // ARCSEC
        if (std::fabs(t) < 1) return Fail();
        const double a = static_cast<double>(std::atan(std::sqrt((et - 1) * (et + 1))));
        return t > 0 ? a : kPi - a;
    }
    case 340: // DIGAMMA
        return Special(SpecialKind::Digamma, t);
    case 348: // TIME
        return Time(t);
    case 353: // ARCCSC
        return (t >= 1 || t <= -1) ? std::asin(1 / t) : Fail();
    case 360: // COTH
        if (std::fabs(t) >= 50 || std::tanh(t) == 0) {
            RealStatus = 1;
            return ValueLimit;
        }
        return 1 / std::tanh(t);
    case 365: // SZ
        return std::asin(std::cos(t - kPi)) + kHalfPi;
    case 368: // W5
        return RealRoot(t, 5, true);
    default:
        RealStatus = 1;
        return 0;
    }
}

} // namespace

double CallFunction(int position, double argument) {
    return GuardedRule([&] { return Rule(position, argument); });
}
