// Special functions of the complex interpreter: log-gamma and gamma, the
// Jacobi elliptic functions, the partial sum of the zeta series and the
// digamma function (the Bessel functions are in bessel.cpp, E1 in
// expintegral.cpp).
//
// Each is a fixed-length or tolerance-bounded method. Singular points give the
// substitute values noted below; any other floating-point fault (an overflow in
// a power, a 0/0 in a quotient) is left in the status flags for the caller.
#include "complexformula/higherfunctions.h"
#include "complexformula/arithmetic.h"
#include "complexformula/interpreter.h"
#include "complexformula/nonfinite.h"
#include "complexformula/specialsupport.h"

#include "runtime/fpu.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <utility>

using namespace specialsupport;

namespace {

constexpr Ext kHalfLn2Pi = 0.918938533204672741780329736405617640L;
constexpr Ext kInvE = 0.367879441171442321595523770161460867L;

// B_2k / (2k (2k - 1)), k = 1..8: the coefficient of z^-(2k-1) in ln Gamma(z).
constexpr double StirlingCoefficients[8] = {1.0 / 12,    -1.0 / 360,      1.0 / 1260,
                                            -1.0 / 1680, 1.0 / 1188,      -691.0 / 360360,
                                            1.0 / 156,   -3617.0 / 122400};

// The arithmetic-geometric mean of the Jacobi functions stops when a and b
// agree to this fraction of a; it takes at most JacobiRounds rounds.
constexpr Ext JacobiTolerance = 0x1p-32L;
constexpr int JacobiRounds = 18;

constexpr int ZetaTerms = 48;
constexpr Ext ZetaNegligible = 709;
// Up to this re s every term is formed: 48^183 < e^709.
constexpr double ZetaAllFormed = 183;

// -B_2i / (2i), i = 1..8: the coefficient of z^-2i in psi(z).
constexpr double DigammaCoefficients[8] = {-1.0 / 12,  1.0 / 120,     -1.0 / 252, 1.0 / 240,
                                           -1.0 / 132, 691.0 / 32760, -1.0 / 12,  3617.0 / 8160};
// Below this real part psi is first moved up by the recurrence.
constexpr double DigammaShift = 8;

// e^(2^-j), j = 1..9: the factors of the binary digits of a fraction.
constexpr Ext ExpBinaryFractions[9] = {
    1.64872127070012814684865078781416357L, 1.28402541668774148407342056806243646L,
    1.13314845306682631682900722781179387L, 1.06449445891785942956339059464288967L,
    1.03174340749910267093874781528150714L, 1.01574770858668574745853507208235175L,
    1.00784309720644797769345355976012358L, 1.00391388933834757344360960390346028L,
    1.00195503359100281204651889804747722L};
// Beyond this |a|, tanh a is +-1 in extended precision: 2 e^-2|a| < 2^-65.
constexpr Ext TanhSaturation = 25;

// Within this distance of a pole Gamma is computed from ln Gamma(1 + e), e the
// distance, by its Taylor series: -gamma e + sum(k = 2..10) (-1)^k zeta(k) e^k / k,
// whose coefficients these are. The climb would form 1 + e in double and lose
// the smaller part of the value.
constexpr double GammaPoleNeighbourhood = 1e-3;
constexpr Ext LnGammaOnePlusSeries[10] = {
    -0.577215664901532860606512090082L,    1.64493406684822643647241516665L / 2,
    -1.20205690315959428539973816151L / 3, 1.08232323371113819151600369654L / 4,
    -1.03692775514336992633136548646L / 5, 1.01734306198444913971451792979L / 6,
    -1.00834927738192282683979754985L / 7, 1.00407735619794433937868523851L / 8,
    -1.00200839282608221441785276923L / 9, 1.0009945751278180853371459589L / 10};
// Where ln Gamma reaches these, CGamma gives infinity or 0.
constexpr Ext GammaInfiniteLog = 75;
constexpr Ext GammaZeroLog = -200;

// ln Gamma climbs by z -> z + 1 from re z up to 9. Further left than this many
// steps Gamma is far below e^-200 (near a pole it is at most
// 1e12 / (n - 1)! there), so the climb is not made and ln Gamma counts as -inf.
constexpr int LnGammaMaxClimb = 1000;

const ComplexRec RecOne = {cfRectangular, 1.0, 0.0};
const ComplexRec RecHalf = {cfRectangular, 0.5, 0.0};

ComplexRec Scaled(ComplexRec z, Ext f) {
    return MakeComplex(cfRectangular, static_cast<double>(z.A * f), static_cast<double>(z.B * f));
}

// e^a built from e^(whole part), the stored factors of the first nine binary
// digits of the fraction and a fourth-order polynomial for the remainder
// (below 2^-9, so the polynomial is good to about 2e-16). The whole part is
// the floor, so the fraction is never negative and its digits always carry it.
// Meant for |a| up to TanhSaturation: the whole part costs one product per unit.
Ext DigammaExp(Ext a) {
    const Ext whole = std::floor(a);
    Ext fraction = a - whole;
    Ext result = 1;
    const Ext unit = whole >= 0 ? std::numbers::e_v<Ext> : kInvE;
    for (Ext i = 0; i < std::fabs(whole); ++i) result *= unit;
    Ext digit = 0.5L;
    for (const Ext factor : ExpBinaryFractions) {
        if (fraction > digit) {
            result *= factor;
            fraction -= digit;
        }
        digit /= 2;
    }
    const Ext c = fraction;
    return result * (1 + c * (1 + c / 2 * (1 + c / 3 * (1 + c / 4))));
}

Ext DigammaTanh(Ext a) {
    if (std::fabs(a) > TanhSaturation) return a > 0 ? 1 : -1;
    const Ext up = DigammaExp(a);
    const Ext down = DigammaExp(-a);
    Ext sinh;
    if (std::fabs(a) < 0.35L) {
        // a * sum(i = 0..8) a^2i / (2i + 1)!, in Horner form
        const Ext a2 = a * a;
        Ext s = 1;
        for (int i = 8; i >= 1; --i) s = 1 + s * a2 / ((2 * i) * (2 * i + 1));
        sinh = a * s;
    } else {
        sinh = (up - down) / 2;
    }
    return sinh / ((up + down) / 2);
}

} // namespace

bool IsGammaPole(double x, double y) {
    return y == 0 && x <= 0 && x == std::trunc(x);
}

ComplexRec CLnGamma(ComplexRec z) {
    z = Rect(z);
    if (std::isnan(z.A) || std::isnan(z.B)) return z;
    if (IsGammaPole(z.A, z.B)) return MakeComplex(cfRectangular, PlusInfinity, 0);
    if (z.B < 0) return CConj(CLnGamma(CConj(z)));
    if (z.A >= 9) return CLnGammaStirling(z);
    if (z.A < 9 - LnGammaMaxClimb) return MakeComplex(cfRectangular, MinusInfinity, 0);
    // ln Gamma(z) = ln Gamma(z + 1) - ln z, one level per unit up to re z >= 9.
    return CSub(CLnGamma(CAdd(z, RecOne)), CLn(z));
}

ComplexRec CLnGammaStirling(ComplexRec z) {
    z = Rect(z);
    ComplexRec result = CSub(CMul(CSub(z, RecHalf), CLn(z)), z);
    result.A = static_cast<double>(result.A + kHalfLn2Pi);
    // p_k = z^-(2k-1)
    ComplexRec powers[8];
    powers[0] = CDiv(RecOne, z);
    const ComplexRec inverseSquare = CMul(powers[0], powers[0]);
    for (int k = 1; k < 8; ++k) powers[k] = CMul(powers[k - 1], inverseSquare);
    ComplexRec sum = MakeComplex(cfRectangular, 0, 0);
    for (int k = 7; k >= 0; --k) sum = CAdd(sum, Scaled(powers[k], StirlingCoefficients[k]));
    return CAdd(result, sum);
}

namespace {

// Gamma(z) = Gamma(1 + e) / (e (e - 1) ... (e - n)) near the pole -n, e = z + n
// (exact in double), in extended.
ComplexRec GammaNearPole(double e, double y, int n) {
    const CExt epsilon{e, y};
    CExt lnGamma = 0;
    for (int k = 9; k >= 0; --k) lnGamma = (lnGamma + LnGammaOnePlusSeries[k]) * epsilon;
    CExt divisor = epsilon;
    for (int j = 1; j <= n; ++j) divisor *= epsilon - static_cast<Ext>(j);
    const Ext lnModulus = std::log(std::abs(divisor));
    if (lnGamma.real() - lnModulus >= GammaInfiniteLog)
        return MakeComplex(cfRectangular, PlusInfinity, PlusInfinity);
    if (lnGamma.real() - lnModulus < GammaZeroLog) return ComplexZero;
    return StoredRec(std::exp(lnGamma) / divisor);
}

} // namespace

ComplexRec CGamma(ComplexRec z) {
    const ComplexRec r = Rect(z);
    if (r.A < 0.5 && !IsGammaPole(r.A, r.B)) {
        const double pole = std::nearbyint(r.A);
        if (pole >= 9 - LnGammaMaxClimb && ScaledHypot(r.A - pole, r.B) < GammaPoleNeighbourhood)
            return GammaNearPole(r.A - pole, r.B, static_cast<int>(-pole));
    }
    const ComplexRec lnGamma = CLnGamma(z);
    if (lnGamma.A >= GammaInfiniteLog)
        return MakeComplex(cfRectangular, PlusInfinity, PlusInfinity);
    if (lnGamma.A >= GammaZeroLog) return CExp(lnGamma);
    return ComplexZero;
}

// Bulirsch's descending Landen transformation (arithmetic-geometric mean);
// m1 = 1 - m is the complementary parameter.
JacobiTriple JacobiReal(Ext u, Ext m1) {
    if (u == 0) return {0, 1, 1};
    if (m1 == 0) {
        const Ext cn = 1 / std::cosh(u);
        return {std::tanh(u), cn, cn};
    }
    if (m1 == 1) return {std::sin(u), std::cos(u), 1};

    // A negative m1 (m > 1) is mapped into 0..1 by the reciprocal-modulus rule.
    const bool negative = m1 < 0;
    Ext d = 0;
    if (negative) {
        d = 1 - m1;
        m1 = -m1 / d;
        d = std::sqrt(d);
        u *= d;
    }
    Ext as[JacobiRounds];
    Ext bs[JacobiRounds];
    Ext a = 1;
    Ext c = 0;
    Ext dn = 1;
    int last = JacobiRounds - 1;
    for (int i = 0; i < JacobiRounds; ++i) {
        as[i] = a;
        m1 = std::sqrt(m1);
        bs[i] = m1;
        c = (a + m1) / 2;
        if (std::fabs(a - m1) <= JacobiTolerance * a) {
            last = i;
            break;
        }
        m1 *= a;
        a = c;
    }
    u *= c;
    Ext sn = std::sin(u);
    Ext cn = std::cos(u);
    if (sn != 0) {
        a = cn / sn;
        c *= a;
        for (int j = last; j >= 0; --j) {
            const Ext b = as[j];
            a *= c;
            c *= dn;
            dn = (bs[j] + a) / (b + a);
            a = c / b;
        }
        a = 1 / std::sqrt(c * c + 1);
        sn = sn >= 0 ? a : -a;
        cn = c * sn;
    }
    if (negative) {
        std::swap(cn, dn);
        sn /= d;
    }
    return {sn, cn, dn};
}

// sn, cn, dn (x + iy | k^2) from the real functions at x with parameter m and
// at y with the complementary parameter (Jacobi's imaginary transformation and
// the addition theorems).
JacobiComplexTriple JacobiComplex(Complex w, double k) {
    const Ext kk = k;
    const Ext m = kk * kk;
    const Ext m1 = (1 - kk) * (1 + kk);
    if (w.im == 0) {
        const JacobiTriple r = JacobiReal(w.re, m1);
        return {{r.sn, 0}, {r.cn, 0}, {r.dn, 0}};
    }
    if (w.re == 0) {
        const JacobiTriple i = JacobiReal(w.im, m);
        return {{0, i.sn / i.cn}, {1 / i.cn, 0}, {i.dn / i.cn, 0}};
    }
    const JacobiTriple r = JacobiReal(w.re, m1);
    const JacobiTriple i = JacobiReal(w.im, m);
    const Ext kss = kk * r.sn * i.sn;
    const Ext d = i.cn * i.cn + kss * kss;
    return {{r.sn * i.dn / d, r.cn * r.dn * i.sn * i.cn / d},
            {r.cn * i.cn / d, -r.sn * r.dn * i.sn * i.dn / d},
            {r.dn * i.cn * i.dn / d, -m * r.sn * r.cn * i.sn / d}};
}

// sum(n = 1..48) n^-s: the Dirichlet series cut off, with no continuation.
// A term whose modulus n^-re s is below e^-ZetaNegligible (less than the
// smallest normal double) adds nothing to a sum that starts at 1, and is not
// formed: n^s would overflow on the way. The first fault ends the sum, so that
// it is the one reported (a later term would add a 0/0 to an overflow).
Complex ZetaPartialSum(Complex s) {
    const ComplexRec exponent =
        MakeComplex(cfRectangular, static_cast<double>(s.re), static_cast<double>(s.im));
    double sumRe = 1;
    double sumIm = 0;
    for (int n = 2; n <= ZetaTerms && !rt::FaultRaised(); ++n) {
        if (exponent.A > ZetaAllFormed &&
            exponent.A * std::log(static_cast<Ext>(n)) > ZetaNegligible)
            continue;
        const ComplexRec p = CPower(MakeComplex(cfRectangular, n, 0), exponent);
        const Ext h = Ext{p.A} * p.A + Ext{p.B} * p.B;
        if (std::isinf(h)) continue; // n^s overflowed: its reciprocal is 0
        sumRe = static_cast<double>(sumRe + p.A / h);
        sumIm = static_cast<double>(sumIm - p.B / h);
    }
    return {sumRe, sumIm};
}

// psi by the asymptotic series at w + iy, w in [8, 9) reached by the
// recurrence psi(z) = psi(z + 1) - 1/z, and for re z < 0 the reflection
// psi(z) = psi(-z) + 1/(-z) + pi cot(-pi z).
void DigammaComplex(double x, double y, double& re, double& im) {
    if (IsGammaPole(x, y)) {
        re = PlusInfinity;
        im = 0;
        return;
    }
    const bool reflected = x < 0;
    if (reflected) {
        x = -x;
        y = -y;
    }
    int n = 0;
    Ext w = x;
    if (x < DigammaShift) {
        n = static_cast<int>(DigammaShift - std::trunc(x));
        w = Ext{x} + n;
    }

    const Ext rho2 = w * w + Ext{y} * y;
    const Ext phi = std::atan(y / w);
    Ext sumRe = std::log(rho2) / 2 - w / (2 * rho2);
    Ext sumIm = phi + y / (2 * rho2);
    const Ext inverse = 1 / rho2;
    Ext power = 1;
    for (int i = 1; i <= 8; ++i) {
        power *= inverse;
        const Ext term = DigammaCoefficients[i - 1] * power;
        sumRe += term * std::cos(2 * i * phi);
        sumIm -= term * std::sin(2 * i * phi);
    }
    // The points are taken from x itself: w - j would lose a tiny x entirely,
    // and the last term 1/z must keep it.
    for (int j = 1; j <= n; ++j) {
        const Ext a = Ext{x} + (n - j);
        const Ext d = a * a + Ext{y} * y;
        sumRe -= a / d;
        sumIm += y / d;
    }

    if (reflected) {
        const Ext r = x;
        const Ext s = y;
        // tan(pi r) has period 1; reduced first to the nearest integer, it is
        // 0 at the poles and keeps its digits on both sides of them.
        Ext fraction = r - std::trunc(r);
        if (fraction > 0.5L) fraction -= 1;
        const Ext t = std::tan(std::numbers::pi_v<Ext> * fraction);
        const Ext h = DigammaTanh(std::numbers::pi_v<Ext> * s);
        const Ext m = t * t + h * h;
        const Ext d = r * r + s * s;
        sumRe += r / d + std::numbers::pi_v<Ext> * t * (1 - h * h) / m;
        sumIm += -s / d - std::numbers::pi_v<Ext> * h * (1 + t * t) / m;
    }
    re = static_cast<double>(sumRe);
    im = static_cast<double>(sumIm);
}
