// The 72 functions of the real formula language, by their KeywordList position.
#include "realformula/faultguard.h"
#include "realformula/higherfunctions.h"
#include "realformula/parser.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <string_view>

using realformula_detail::Fail;
using realformula_detail::GuardedRule;

// Fixed at program start: MCARLO repeats its sequence from run to run.
std::uint32_t RandomState = 0x2545F491u;

namespace {

using Ext = long double;

constexpr double kHalfPi = std::numbers::pi / 2;

// 1/ln 10 (LG), 1/ln 2 (LD) and sqrt(2 pi) (GAUSS) with exactly the digits the
// language defines: its results for these functions are those of the short
// factors, so the truncation is deliberate and full precision would change them.
constexpr Ext kLgFactor = 0.4342944819033L;
constexpr Ext kLdFactor = 1.442695040889L;
constexpr Ext kGaussDivisor = 2.506628274631L;

// A function is known by the position where its name starts in KeywordList;
// the names below are checked against the list at compile time.
enum FunctionPosition : int {
    kSQR = 1,
    kSQRT = 5,
    kEXP = 10,
    kLN = 14,
    kABS = 17,
    kSI = 21,
    kSIN = 24,
    kCOS = 28,
    kTAN = 32,
    kARCCOS = 36,
    kLG = 43,
    kARCTAN = 46,
    kSINH = 53,
    kCOSH = 58,
    kTANH = 63,
    kINT = 68,
    kSGN = 72,
    kF1 = 76,
    kF2 = 79,
    kF3 = 82,
    kF4 = 85,
    kCOT = 88,
    kLD = 92,
    kARCSIN = 95,
    kARSINH = 102,
    kARCOSH = 109,
    kARTANH = 116,
    kSEC = 123,
    kGAMMA = 127,
    kGAUSS = 133,
    kMCARLO = 139,
    kCI = 146,
    kEI = 149,
    kBETA = 152,
    kBESSJ0 = 157,
    kBESSJ1 = 164,
    kWURZEL = 171,
    kWURZEL3 = 178,
    kEHOCH = 186,
    kWURZEL4 = 192,
    kW3 = 200,
    kW4 = 203,
    kLOG = 206,
    kCSC = 210,
    kWP = 214,
    kF5 = 217,
    kVORZEICHEN = 220,
    kFRAC = 231,
    kEXPP = 236,
    kGAMMALN = 241,
    kHEAVISIDE = 249,
    kSINW = 259,
    kCOSW = 264,
    kTANW = 269,
    kCOTW = 274,
    kARCTANW = 279,
    kARCSINW = 287,
    kGSUMME = 295,
    kSN = 302,
    kCN = 305,
    kDN = 308,
    kEULERPHI = 311,
    kAI = 320,
    kBI = 323,
    kARCCOT = 326,
    kARCSEC = 333,
    kDIGAMMA = 340,
    kTIME = 348,
    kARCCSC = 353,
    kCOTH = 360,
    kSZ = 365,
    kW5 = 368,
};

// True when the name lookup of the parser finds this name at position k.
constexpr bool NameAt(std::string_view name, int k) {
    return KeywordList.find(name) + 1 == static_cast<std::size_t>(k);
}
static_assert(std::ranges::count(KeywordList, ' ') + 1 == 72);
static_assert(NameAt("SQR", kSQR) && NameAt("SQRT", kSQRT) && NameAt("EXP", kEXP) &&
              NameAt("LN", kLN) && NameAt("ABS", kABS) && NameAt("SI", kSI) &&
              NameAt("SIN", kSIN) && NameAt("COS", kCOS) && NameAt("TAN", kTAN) &&
              NameAt("ARCCOS", kARCCOS) && NameAt("LG", kLG) && NameAt("ARCTAN", kARCTAN) &&
              NameAt("SINH", kSINH) && NameAt("COSH", kCOSH) && NameAt("TANH", kTANH) &&
              NameAt("INT", kINT) && NameAt("SGN", kSGN) && NameAt("F1", kF1) &&
              NameAt("F2", kF2) && NameAt("F3", kF3) && NameAt("F4", kF4) && NameAt("COT", kCOT) &&
              NameAt("LD", kLD) && NameAt("ARCSIN", kARCSIN) && NameAt("ARSINH", kARSINH) &&
              NameAt("ARCOSH", kARCOSH) && NameAt("ARTANH", kARTANH) && NameAt("SEC", kSEC) &&
              NameAt("GAMMA", kGAMMA) && NameAt("GAUSS", kGAUSS) && NameAt("MCARLO", kMCARLO) &&
              NameAt("CI", kCI) && NameAt("EI", kEI) && NameAt("BETA", kBETA) &&
              NameAt("BESSJ0", kBESSJ0) && NameAt("BESSJ1", kBESSJ1) && NameAt("WURZEL", kWURZEL) &&
              NameAt("WURZEL3", kWURZEL3) && NameAt("EHOCH", kEHOCH) &&
              NameAt("WURZEL4", kWURZEL4) && NameAt("W3", kW3) && NameAt("W4", kW4) &&
              NameAt("LOG", kLOG) && NameAt("CSC", kCSC) && NameAt("WP", kWP) &&
              NameAt("F5", kF5) && NameAt("VORZEICHEN", kVORZEICHEN) && NameAt("FRAC", kFRAC) &&
              NameAt("EXPP", kEXPP) && NameAt("GAMMALN", kGAMMALN) &&
              NameAt("HEAVISIDE", kHEAVISIDE) && NameAt("SINW", kSINW) && NameAt("COSW", kCOSW) &&
              NameAt("TANW", kTANW) && NameAt("COTW", kCOTW) && NameAt("ARCTANW", kARCTANW) &&
              NameAt("ARCSINW", kARCSINW) && NameAt("GSUMME", kGSUMME) && NameAt("SN", kSN) &&
              NameAt("CN", kCN) && NameAt("DN", kDN) && NameAt("EULERPHI", kEULERPHI) &&
              NameAt("AI", kAI) && NameAt("BI", kBI) && NameAt("ARCCOT", kARCCOT) &&
              NameAt("ARCSEC", kARCSEC) && NameAt("DIGAMMA", kDIGAMMA) && NameAt("TIME", kTIME) &&
              NameAt("ARCCSC", kARCCSC) && NameAt("COTH", kCOTH) && NameAt("SZ", kSZ) &&
              NameAt("W5", kW5));

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

// Jacobi's elliptic functions with modulus ParamQ: which is kSN, kCN or kDN.
double Jacobi(double t, FunctionPosition which) {
    double sn = 0, cn = 0, dn = 0;
    JacobiSnCnDn(t, 1 - ParamQ * ParamQ, sn, cn, dn);
    return which == kSN ? sn : which == kCN ? cn : dn;
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

// The standard normal distribution function, erfc(-t / sqrt 2) / 2: the
// complementary form keeps the lower tail down to the double range.
double GaussSum(double t) {
    return static_cast<double>(std::erfc(-static_cast<Ext>(t) / std::numbers::sqrt2_v<Ext>) / 2);
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
    case kSQR:
        if (t == 0) return 0;
        if (std::fabs(t) >= ValueLimit) return ValueLimit;
        return t * t;
    case kSQRT:
    case kWURZEL:
        return t >= 0 ? std::sqrt(t) : Fail();
    case kEXP:
    case kEHOCH:
        return std::exp(std::fmin(std::fmax(t, -100.0), 100.0));
    case kLN:
        return t > 0 ? std::log(t) : Fail();
    case kABS:
        return std::fabs(t);
    case kSI:
        return SineIntegral(t);
    case kSIN:
        return std::sin(t);
    case kCOS:
        return std::cos(t);
    case kTAN:
        return std::cos(t) != 0 ? std::tan(t) : 0.0;
    case kARCCOS:
        return std::fabs(t) > 1 ? Fail() : std::acos(t);
    case kLG:
        return t > 0 ? static_cast<double>(std::log(et) * kLgFactor) : Fail();
    case kARCTAN:
        return std::atan(t);
    case kSINH:
        return std::fabs(t) >= 50 ? ValueLimit : std::sinh(t);
    case kCOSH:
        if (std::fabs(t) >= 50) {
            RealStatus = 2;
            return ValueLimit;
        }
        return std::cosh(t);
    case kTANH:
        if (std::fabs(t) >= 50) {
            RealStatus = 1;
            return ValueLimit;
        }
        return std::tanh(t);
    case kINT: {
        const double v = t >= 0 ? std::trunc(t) : static_cast<double>(std::trunc(et - 1));
        RealStatus = 3;
        return v;
    }
    case kSGN:
    case kVORZEICHEN:
        RealStatus = 0;
        return t == 0 ? 0.0 : t / std::fabs(t);
    case kF1:
        return UserFunction(1, t);
    case kF2:
        return UserFunction(2, t);
    case kF3:
        return UserFunction(3, t);
    case kF4:
        return UserFunction(4, t);
    case kF5:
        return UserFunction(5, t);
    case kCOT:
        return std::sin(t) != 0 ? std::cos(t) / std::sin(t) : 0.0;
    case kLD:
        return t > 0 ? static_cast<double>(std::log(et) * kLdFactor) : Fail();
    case kARCSIN:
        if (std::fabs(t) < 1) return std::asin(t);
        if (t == 1) return kHalfPi;
        if (t == -1) return -kHalfPi;
        return Fail();
    case kARSINH:
        // ln(t + sqrt(t^2 + 1)), in a form that keeps tiny t (where the sum is
        // 1) and negative t (where it cancels to 0).
        return static_cast<double>(std::asinh(et));
    case kARCOSH:
        return t >= 1 ? static_cast<double>(std::log(et + std::sqrt(et * et - 1))) : Fail();
    case kARTANH:
        // ln((t + 1) / (1 - t)) / 2, in a form that keeps tiny t.
        return std::fabs(t) >= 1 ? Fail() : static_cast<double>(std::atanh(et));
    case kSEC:
        return std::cos(t) != 0 ? 1 / std::cos(t) : Fail();
    case kGAMMA:
        return GammaPoly(t);
    case kGAUSS: {
        Ext g = et;
        if (g > 50) {
            g = 50;
            RealStatus = 4;
        } else if (g < -50) {
            g = -50;
            RealStatus = 4;
        }
        return static_cast<double>(std::exp(-g * g / 2) / kGaussDivisor);
    }
    case kMCARLO:
        return MonteCarlo(t);
    case kCI:
        return CosineIntegral(t);
    case kEI:
        return ExpIntegral(t);
    case kBETA:
        return Beta(t, ParamP);
    case kBESSJ0:
        return Special(SpecialKind::BesselJ0, t);
    case kBESSJ1:
        return Special(SpecialKind::BesselJ1, t);
    case kWURZEL3:
    case kW3:
        return RealRoot(t, 3, true);
    case kWURZEL4:
    case kW4:
        return RealRoot(t, 4, false);
    case kLOG:
        if (t > 0 && ParamP > 0 && ParamP != 1)
            return static_cast<double>(std::log(et) / std::log(static_cast<Ext>(ParamP)));
        return Fail();
    case kCSC:
        return std::sin(t) != 0 ? 1 / std::sin(t) : Fail();
    case kWP: {
        if (!(t > 0 && ParamP != 0)) return Fail();
        const Ext q = std::log(et) / ParamP;
        return std::fabs(q) >= 50 ? Fail() : static_cast<double>(std::exp(q));
    }
    case kFRAC:
        return std::fabs(t) >= ValueLimit ? Fail() : t - std::trunc(t);
    case kEXPP:
        return ExpP(t);
    case kGAMMALN:
        return Special(SpecialKind::LogGamma, t);
    case kHEAVISIDE:
        RealStatus = 3;
        return t != 0 ? (std::fabs(t) / t + 1) / 2 : 0.5;
    case kSINW:
        return std::sin(t * std::numbers::pi / 180);
    case kCOSW:
        return std::cos(t * std::numbers::pi / 180);
    case kTANW: {
        const double a = t * std::numbers::pi / 180;
        return std::cos(a) != 0 ? std::tan(a) : 0.0;
    }
    case kCOTW: {
        const double a = t * std::numbers::pi / 180;
        return std::sin(a) != 0 ? std::cos(a) / std::sin(a) : 0.0;
    }
    case kARCTANW: {
        const double a = std::atan(t);
        return a < 0 ? a + std::numbers::pi : a;
    }
    case kARCSINW: {
        if (std::fabs(t) < 1) {
            const double a = std::atan(t / std::sqrt(1 - t * t));
            return a < 0 ? kHalfPi - a : a;
        }
        if (t == 1 || t == -1) return kHalfPi;
        return Fail();
    }
    case kGSUMME:
        return GaussSum(t);
    case kSN:
        return Jacobi(t, kSN);
    case kCN:
        return Jacobi(t, kCN);
    case kDN:
        return Jacobi(t, kDN);
    case kEULERPHI: {
        const double n = std::nearbyint(t);
        if (!(n >= 1 && n <= 10000)) {
            RealStatus = 1;
            return 0;
        }
        return EulerPhi(static_cast<std::int32_t>(n));
    }
    case kAI:
        return Airy(t, false);
    case kBI:
        return Airy(t, true);
    case kARCCOT:
        return std::fabs(t) <= 1e-10 ? kHalfPi - std::atan(t) : std::atan(1 / t);
    case kARCSEC: {
        if (std::fabs(t) < 1) return Fail();
        const double a = static_cast<double>(std::atan(std::sqrt((et - 1) * (et + 1))));
        return t > 0 ? a : std::numbers::pi - a;
    }
    case kDIGAMMA:
        return Special(SpecialKind::Digamma, t);
    case kTIME:
        return Time(t);
    case kARCCSC:
        return (t >= 1 || t <= -1) ? std::asin(1 / t) : Fail();
    case kCOTH:
        if (std::fabs(t) >= 50 || std::tanh(t) == 0) {
            RealStatus = 1;
            return ValueLimit;
        }
        return 1 / std::tanh(t);
    case kSZ:
        return std::asin(std::cos(t - std::numbers::pi)) + kHalfPi;
    case kW5:
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
