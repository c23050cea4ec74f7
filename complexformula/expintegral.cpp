// The exponential integral E1 of the complex interpreter: its continued
// fraction far from 0, its power series near it.
#include "complexformula/higherfunctions.h"
#include "complexformula/nonfinite.h"
#include "complexformula/specialsupport.h"

#include <cmath>
#include <numbers>

using namespace specialsupport;

namespace {

constexpr int E1FractionTerms = 120;
constexpr int E1SeriesTerms = 150;
// Euler's constant cut after sixteen digits, one unit in the last place below
// the nearest double: the values of EI are defined with this one.
constexpr double EulerGamma = 0.5772156649015328;
// e^-x is formed in double up to this -x, in extended beyond, where it does not
// fit a double but the quotient e^-z / (z + F) may.
constexpr double E1DoubleExponent = 709;
// A quotient whose divisor has a squared modulus below this is not formed.
constexpr double E1TinyDivisor = 1e-12;

// A complex value in double precision for the routines that work on pairs of
// doubles; sums and products are formed in extended and stored.
struct Pair {
    double re = 0;
    double im = 0;
};

Pair operator+(Pair a, Pair b) {
    return {static_cast<double>(Ext{a.re} + b.re), static_cast<double>(Ext{a.im} + b.im)};
}

Pair operator*(Pair a, Pair b) {
    return {static_cast<double>(Ext{a.re} * b.re - Ext{a.im} * b.im),
            static_cast<double>(Ext{a.re} * b.im + Ext{a.im} * b.re)};
}

Pair operator*(Pair a, Ext f) {
    return {static_cast<double>(a.re * f), static_cast<double>(a.im * f)};
}

// target = a / b, unless |b|^2 is below E1TinyDivisor: then target is left as
// it is and false is returned.
bool DivideUnlessTiny(Pair& target, Pair a, Pair b) {
    const Ext d = Ext{b.re} * b.re + Ext{b.im} * b.im;
    if (d < E1TinyDivisor) return false;
    target = {static_cast<double>((Ext{a.re} * b.re + Ext{a.im} * b.im) / d),
              static_cast<double>((Ext{a.im} * b.re - Ext{a.re} * b.im) / d)};
    return true;
}

// E1(z) = e^-z / (z + F), F = 1/(1 + 1/(z + 2/(1 + 2/(z + ...)))), folded
// from n = 120 down. Where a partial denominator vanishes the step takes its
// limit: z + F -> 0 makes F -> 0, and 1 + n/(z + F) -> 0 makes F infinite, so
// that the next step's quotient is 0 and its F is n.
Pair E1ContinuedFraction(Pair z) {
    Pair f;
    bool infinite = false;
    for (int n = E1FractionTerms; n >= 1; --n) {
        const Pair num{static_cast<double>(n), 0};
        if (infinite) {
            f = num;
            infinite = false;
            continue;
        }
        Pair q;
        if (!DivideUnlessTiny(q, num, z + f)) {
            f = Pair{};
            continue;
        }
        if (!DivideUnlessTiny(f, num, Pair{1, 0} + q)) infinite = true;
    }
    if (infinite) return Pair{};
    // A pole of the folded fraction itself: a substitute.
    Pair result{1e10, 0};
    if (-z.re <= E1DoubleExponent) {
        const double modulus = std::exp(-z.re);
        const Pair expMinusZ{modulus * std::cos(z.im), -modulus * std::sin(z.im)};
        DivideUnlessTiny(result, expMinusZ, z + f);
        return result;
    }
    // e^-x in extended, applied to the quotient last: storing overflows only
    // where E1 itself is beyond the double range.
    Pair unit;
    if (!DivideUnlessTiny(unit, Pair{std::cos(z.im), -std::sin(z.im)}, z + f)) return result;
    const Ext modulus = std::exp(-Ext{z.re});
    return {static_cast<double>(modulus * unit.re), static_cast<double>(modulus * unit.im)};
}

// E1(z) = -gamma - ln z - sum(k >= 1) (-z)^k / (k k!), the sum written as
// z * sum(k >= 0) t_k with t_0 = 1, t_k = t_(k-1) z (-k) / (k + 1)^2.
Pair E1Series(Pair z, double r) {
    Pair sum{1, 0};
    Pair t{1, 0};
    for (int k = 1; k <= E1SeriesTerms; ++k) {
        t = t * z * (static_cast<Ext>(-k) / ((k + 1) * (k + 1)));
        sum = sum + t;
        if (ScaledHypot(sum.re, sum.im) * 1e-15 >= ScaledHypot(t.re, t.im)) break;
    }
    // The principal argument; -0 on the negative real axis still gives +pi.
    double phi = std::atan2(z.im, z.re);
    if (z.im == 0 && z.re < 0) phi = static_cast<double>(std::numbers::pi_v<Ext>);
    const Pair zSum = z * sum;
    return {static_cast<double>(-EulerGamma - std::log(Ext{r}) + zSum.re),
            static_cast<double>(-Ext{phi} + zSum.im)};
}

} // namespace

void ExpIntegralE1(double x, double y, double& re, double& im) {
    const double r = ScaledHypot(x, y);
    if (r == 0) {
        re = PlusInfinity;
        im = 0;
        return;
    }
    Pair e1;
    if (r > 10 && (x >= 0 || r >= 20)) {
        e1 = E1ContinuedFraction(Pair{x, y});
        // On the cut the fraction gives the real principal value; E1 takes the
        // value from above.
        if (x <= 0 && y == 0) e1.im = static_cast<double>(e1.im - std::numbers::pi_v<Ext>);
    } else {
        e1 = E1Series(Pair{x, y}, r);
    }
    re = e1.re;
    im = e1.im;
}
