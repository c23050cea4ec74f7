// Complex arithmetic on ComplexRec: form conversion, the four operations,
// logarithm, power and roots, and the trigonometric and hyperbolic functions,
// with the substitute values of their singular points.
#include "complexformula/arithmetic.h"

#include "complexformula/nonfinite.h"
#include "complexformula/remembered.h"
#include "runtime/fpu.h"

#include <cmath>
#include <numbers>

ComplexRec ComplexZero = {cfRectangular, 0.0, 0.0};
ComplexRec ComplexOne = {cfRectangular, 1.0, 0.0};

namespace {

using Ext = long double;

constexpr Ext kTwoPi = 2 * std::numbers::pi_v<Ext>;
constexpr Ext kLog2E = 1.44269504088896340735992468100189214L;

// Beyond this size an angle is first reduced exactly with fmod; the subtraction
// loops alone would take |theta| / 2pi rounds, and never end for huge angles.
constexpr Ext kAngleLoopLimit = 64 * std::numbers::pi_v<Ext>;

// Beyond this |2x| (|2y| for tan and cot) cosh no longer fits a double, and
// tanh, coth, tan and cot equal their limits to double precision.
constexpr Ext kTrigSaturation = 709;

// An extended-precision result stored into the double record. Storing a value
// that does not fit raises the overflow flag.
ComplexRec Stored(Ext a, Ext b, ComplexForm form = cfRectangular) {
    return MakeComplex(form, static_cast<double>(a), static_cast<double>(b));
}

ComplexRec Rect(ComplexRec z) {
    return ConvertForm(z, cfRectangular);
}

} // namespace

ComplexRec MakeComplex(ComplexForm form, double a, double b) {
    return ComplexRec{form, a, b};
}

double NormalizeAngle(double theta) {
    Ext t = theta;
    if (!std::isfinite(t)) return NaNValue; // an infinite angle has no direction
    if (std::fabs(t) > kAngleLoopLimit) t = std::fmod(t, kTwoPi);
    while (t > std::numbers::pi_v<Ext>) t -= kTwoPi;
    while (t <= -std::numbers::pi_v<Ext>) t += kTwoPi;
    // The double nearest -pi lies just inside -pi in extended; it stands for
    // -pi all the same, and the angle of the negative real axis is +pi.
    const double angle = static_cast<double>(t);
    return angle == -static_cast<double>(std::numbers::pi_v<Ext>)
               ? static_cast<double>(std::numbers::pi_v<Ext>)
               : angle;
}

double ZeroIfTiny(double v) {
    return std::fabs(v) < 1e-12 ? 0.0 : v;
}

ComplexRec ConvertForm(ComplexRec z, ComplexForm target) {
    // Infinite parts lose their signs; a NaN anywhere makes the whole value NaN.
    if (IsInfinite(z.A) || IsInfinite(z.B)) {
        return target == cfPolar ? MakeComplex(cfPolar, PlusInfinity, 0.0)
                                 : MakeComplex(cfRectangular, PlusInfinity, PlusInfinity);
    }
    if (IsNaN(z.A) || IsNaN(z.B)) return MakeComplex(cfRectangular, NaNValue, NaNValue);
    if (z.Form == target) return z;
    if (target == cfRectangular) {
        const Ext r = z.A;
        const Ext theta = z.B;
        return Stored(r * std::cos(theta), r * std::sin(theta));
    }
    // The negative real axis has the angle +pi, also with -0 as imaginary part.
    const Ext theta =
        z.B == 0 && z.A < 0 ? std::numbers::pi_v<Ext> : std::atan2(Ext{z.B}, Ext{z.A});
    return MakeComplex(cfPolar, CAbs(z), static_cast<double>(theta));
}

ComplexRec CAdd(ComplexRec a, ComplexRec b) {
    a = Rect(a);
    b = Rect(b);
    return Stored(Ext{a.A} + b.A, Ext{a.B} + b.B);
}

ComplexRec CSub(ComplexRec a, ComplexRec b) {
    a = Rect(a);
    b = Rect(b);
    return Stored(Ext{a.A} - b.A, Ext{a.B} - b.B);
}

ComplexRec CMul(ComplexRec a, ComplexRec b) {
    b = ConvertForm(b, a.Form);
    if (a.Form == cfPolar) {
        const double theta = static_cast<double>(Ext{a.B} + b.B);
        return MakeComplex(cfPolar, static_cast<double>(Ext{a.A} * b.A), NormalizeAngle(theta));
    }
    return Stored(Ext{a.A} * b.A - Ext{a.B} * b.B, Ext{a.A} * b.B + Ext{a.B} * b.A);
}

ComplexRec CDiv(ComplexRec a, ComplexRec b) {
    b = ConvertForm(b, a.Form);
    if (a.Form == cfPolar) {
        // A zero modulus is not tested: the division raises the zero-divide fault.
        const double theta = static_cast<double>(Ext{a.B} - b.B);
        return MakeComplex(cfPolar, static_cast<double>(Ext{a.A} / b.A), NormalizeAngle(theta));
    }
    // In extended, the squared modulus of any double neither underflows to 0
    // nor overflows.
    const Ext d = CNormExtended(b);
    if (d == 0) return MakeComplex(cfRectangular, 0.0, 0.0);
    return Stored((Ext{a.A} * b.A + Ext{a.B} * b.B) / d, (Ext{a.B} * b.A - Ext{a.A} * b.B) / d);
}

double CAbs(ComplexRec z) {
    if (z.Form == cfPolar) return z.A;
    return static_cast<double>(std::sqrt(Ext{z.A} * z.A + Ext{z.B} * z.B));
}

double CNorm(ComplexRec z) {
    return static_cast<double>(CNormExtended(z));
}

long double CNormExtended(ComplexRec z) {
    if (z.Form == cfPolar) return Ext{z.A} * z.A;
    return Ext{z.A} * z.A + Ext{z.B} * z.B;
}

ComplexRec CConj(ComplexRec z) {
    if (z.Form == cfPolar) return MakeComplex(cfPolar, z.A, NormalizeAngle(-z.B));
    return MakeComplex(cfRectangular, z.A, -z.B);
}

ComplexRec CClean(ComplexRec z) {
    if (z.Form == cfPolar) {
        const double r = ZeroIfTiny(z.A);
        return MakeComplex(cfPolar, r, r == 0 ? 0.0 : ZeroIfTiny(z.B));
    }
    return MakeComplex(cfRectangular, ZeroIfTiny(z.A), ZeroIfTiny(z.B));
}

ComplexRec CLn(ComplexRec z) {
    const ComplexRec p = ConvertForm(z, cfPolar);
    if (p.A > 0)
        return MakeComplex(cfRectangular, static_cast<double>(std::log(Ext{p.A})),
                           NormalizeAngle(p.B));
    return MakeComplex(cfRectangular, 0.0, 0.0); // ln 0: no error is reported
}

ComplexRec CExp(ComplexRec z) {
    const ComplexRec r = Rect(z);
    const Ext ex = std::exp2(r.A * kLog2E);
    // A real argument keeps its imaginary part 0 even when e^x is infinite.
    return Stored(ex * std::cos(Ext{r.B}), r.B == 0 ? Ext{r.B} : ex * std::sin(Ext{r.B}));
}

ComplexRec CPower(ComplexRec a, ComplexRec b) {
    if (CNormExtended(a) == 0) return ComplexZero;
    const ComplexRec exponent = CMul(b, CLn(a));
    // An exponent that overflowed is the fault to report; e^inf would add an
    // invalid operation after it.
    if (rt::FaultRaised() && !(std::isfinite(exponent.A) && std::isfinite(exponent.B)))
        return exponent;
    return CExp(exponent);
}

ComplexRec CRoot(ComplexRec z, std::uint16_t k, std::uint16_t n) {
    if (CAbs(z) == 0) return ComplexZero;
    const ComplexRec p = ConvertForm(z, cfPolar);
    const Ext rho = std::pow(Ext{p.A}, 1.0L / n);
    const Ext phi = NormalizeAngle(static_cast<double>((kTwoPi * k + p.B) / n));
    return Stored(rho * std::cos(phi), rho * std::sin(phi));
}

ComplexRec CCos(ComplexRec z) {
    const ComplexRec r = Rect(z);
    const SinCosPair t = SinCos(r.A);
    const SinhCoshPair h = SinhCosh(r.B);
    return Stored(h.cosh * t.cos, -h.sinh * t.sin);
}

ComplexRec CSin(ComplexRec z) {
    const ComplexRec r = Rect(z);
    const SinCosPair t = SinCos(r.A);
    const SinhCoshPair h = SinhCosh(r.B);
    return Stored(h.cosh * t.sin, h.sinh * t.cos);
}

// tan z = (sin x cos x + i sinh y cosh y) / (sinh^2 y + cos^2 x) and
// cot z = (sin x cos x - i sinh y cosh y) / (sinh^2 y + sin^2 x): the
// denominators are cosh 2y +- cos 2x halved, written as sums of squares, so
// that near the poles (cot at 0, tan at pi/2) they keep their digits.
ComplexRec CTan(ComplexRec z) {
    const ComplexRec r = Rect(z);
    const Ext y2 = 2 * Ext{r.B};
    if (std::fabs(y2) > kTrigSaturation) return MakeComplex(cfRectangular, 0.0, y2 > 0 ? 1 : -1);
    const SinCosPair t = SinCos(r.A);
    const SinhCoshPair h = SinhCosh(r.B);
    const Ext d = h.sinh * h.sinh + t.cos * t.cos;
    if (d == 0) return ComplexZero;
    return Stored(t.sin * t.cos / d, h.sinh * h.cosh / d);
}

ComplexRec CCot(ComplexRec z) {
    const ComplexRec r = Rect(z);
    const Ext y2 = 2 * Ext{r.B};
    if (std::fabs(y2) > kTrigSaturation) return MakeComplex(cfRectangular, 0.0, y2 > 0 ? -1 : 1);
    const SinCosPair t = SinCos(r.A);
    const SinhCoshPair h = SinhCosh(r.B);
    const Ext d = h.sinh * h.sinh + t.sin * t.sin;
    if (d == 0) return ComplexZero;
    return Stored(t.sin * t.cos / d, -h.sinh * h.cosh / d);
}

namespace {

// |sec z| and |csc z| are at most 1 / |sinh y|: beyond this |y| they are below
// 2e-308, 0 to double precision, and soon after cos z and sin z no longer fit
// a double.
constexpr double kSecantSaturation = 710;

// The imaginary part that decides the limit; a rectangular record is read as
// it is, since converting one with an infinite part loses which part it was.
bool BeyondSecantLimit(ComplexRec z) {
    return std::fabs(z.Form == cfRectangular ? z.B : Rect(z).B) > kSecantSaturation;
}

} // namespace

// The rectangular division already answers a zero divisor with (0, 0); the two
// complex exceptions are caught for callers that divide otherwise.
ComplexRec CSec(ComplexRec z) {
    if (BeyondSecantLimit(z)) return ComplexZero;
    try {
        return CDiv(MakeComplex(cfRectangular, 1.0, 0.0), CCos(z));
    } catch (const EComplexZeroDivide&) {
    } catch (const EComplexInvalidOp&) {
    }
    return MakeComplex(cfRectangular, PlusInfinity, PlusInfinity);
}

ComplexRec CCsc(ComplexRec z) {
    if (BeyondSecantLimit(z)) return ComplexZero;
    try {
        return CDiv(MakeComplex(cfRectangular, 1.0, 0.0), CSin(z));
    } catch (const EComplexZeroDivide&) {
    } catch (const EComplexInvalidOp&) {
    }
    return MakeComplex(cfRectangular, PlusInfinity, PlusInfinity);
}

ComplexRec CCosh(ComplexRec z) {
    const ComplexRec r = Rect(z);
    const SinhCoshPair h = SinhCosh(r.A);
    const SinCosPair t = SinCos(r.B);
    return Stored(h.cosh * t.cos, h.sinh * t.sin);
}

ComplexRec CSinh(ComplexRec z) {
    const ComplexRec r = Rect(z);
    const SinhCoshPair h = SinhCosh(r.A);
    const SinCosPair t = SinCos(r.B);
    return Stored(h.sinh * t.cos, h.cosh * t.sin);
}

namespace {

// The guarded tail shared by CTanh and CCoth: the real numerator sinh x cosh x
// and the imaginary one over d, in extended. Storing a quotient that does not
// fit a double is caught: the result is then the signed infinities of the
// numerators. Faults raised before are kept.
ComplexRec HyperbolicQuotient(Ext re, Ext im, Ext d) {
    rt::ProtectedRegion region;
    rt::Settle(re);
    rt::Settle(im);
    rt::Settle(d);
    double reStored = static_cast<double>(re / d);
    double imStored = static_cast<double>(im / d);
    rt::Settle(reStored);
    rt::Settle(imStored);
    if (region.Faulted()) {
        reStored = SignedInfinity(static_cast<double>(re));
        imStored = SignedInfinity(static_cast<double>(im));
        rt::Settle(reStored);
        rt::Settle(imStored);
    }
    return MakeComplex(cfRectangular, reStored, imStored);
}

} // namespace

// tanh z = (sinh x cosh x + i sin y cos y) / (sinh^2 x + cos^2 y) and
// coth z = (sinh x cosh x - i sin y cos y) / (sinh^2 x + sin^2 y): cosh 2x +- cos 2y
// halved, as sums of squares, so that near the poles they keep their digits.
ComplexRec CTanh(ComplexRec z) {
    const ComplexRec r = Rect(z);
    const Ext x2 = 2 * Ext{r.A};
    if (std::fabs(x2) > kTrigSaturation) return MakeComplex(cfRectangular, x2 > 0 ? 1 : -1, 0.0);
    const SinhCoshPair h = SinhCosh(r.A);
    const SinCosPair t = SinCos(r.B); // unprotected: sin and cos of an infinite y leave the call
    return HyperbolicQuotient(h.sinh * h.cosh, t.sin * t.cos, h.sinh * h.sinh + t.cos * t.cos);
}

ComplexRec CCoth(ComplexRec z) {
    const ComplexRec r = Rect(z);
    const Ext x2 = 2 * Ext{r.A};
    if (std::fabs(x2) > kTrigSaturation) return MakeComplex(cfRectangular, x2 > 0 ? 1 : -1, 0.0);
    const SinhCoshPair h = SinhCosh(r.A);
    const SinCosPair t = SinCos(r.B);
    Ext d = h.sinh * h.sinh + t.sin * t.sin;
    if (d == 0) d = 0.0001L; // at 0, where coth has its pole
    return HyperbolicQuotient(h.sinh * h.cosh, -(t.sin * t.cos), d);
}
