// The Bessel functions I0 and J0 of the complex interpreter: the power series
// in extended precision where it keeps its digits, Hankel's asymptotic
// expansion elsewhere.
#include "complexformula/higherfunctions.h"
#include "complexformula/specialsupport.h"

#include <cmath>
#include <complex>
#include <numbers>

using namespace specialsupport;

namespace {

// J0(w) is summed as its power series below this |w|, where the terms stay
// small enough for extended precision to keep about 1e-15 of the value, and
// from Hankel's asymptotic expansion at and beyond it, whose smallest term is
// then below e^-2|w| (about 1e-14).
constexpr long double BesselAsymptoticRadius = 16;
// The series is kept beyond that radius where it loses nothing to
// cancellation: where |w| - |im w| (the log of the largest term over the value)
// is below this, and |w| below BesselSeriesMaxRadius. This keeps I0 of a real
// argument real.
constexpr long double BesselSeriesCancellation = 12;
constexpr long double BesselSeriesMaxRadius = 200;
// Terms of either sum; the series ends once a term past the largest is below
// 2^-66 of the sum, the asymptotic sums at their smallest term.
constexpr int BesselMaxTerms = 400;
constexpr long double BesselTolerance = 0x1p-66L;
// e^|im w| beyond this is outside the extended range; the value is then far
// beyond a double, and only its overflow when stored counts.
constexpr long double BesselGrowthLimit = 11000;

// J0(w) = sum(k >= 0) (-w^2 / 4)^k / (k!)^2, in extended.
CExt BesselJ0Series(CExt w) {
    const CExt q = -w * w / Ext{4};
    const Ext largest = std::abs(q); // the terms grow while k^2 is below |q|
    CExt t = 1;
    CExt sum = 1;
    for (int k = 1; k <= BesselMaxTerms; ++k) {
        t = t * q / static_cast<Ext>(k * k);
        sum += t;
        if (k * k > largest && std::abs(t) <= BesselTolerance * std::abs(sum)) break;
    }
    return sum;
}

// J0(w) = sqrt(2 / (pi w)) (P cos chi - Q sin chi), chi = w - pi/4, with
// P ~ sum(k even) (-1)^(k/2) a_k / w^k and Q ~ sum(k odd) (-1)^((k-1)/2) a_k / w^k,
// a_k = (-1)^k (1 * 9 * ... * (2k - 1)^2) / (k! 8^k), summed up to the smallest
// term. Written for re w >= 0 (J0 is even); the growth e^|im w| is factored
// out and applied last.
CExt BesselJ0Asymptotic(CExt w) {
    if (w.real() < 0) w = -w;
    const CExt inverse = Ext{1} / w;
    CExt p = 0;
    CExt q = 0;
    CExt term = 1; // a_k / w^k
    Ext previous = std::abs(term);
    for (int k = 0; k < BesselMaxTerms; ++k) {
        if (k > 0) {
            term *=
                -inverse * static_cast<Ext>((2 * k - 1) * (2 * k - 1)) / static_cast<Ext>(8 * k);
            const Ext size = std::abs(term);
            if (size >= previous || size <= BesselTolerance * std::abs(p)) break;
            previous = size;
        }
        const bool negative = k % 4 >= 2;
        CExt& part = k % 2 == 0 ? p : q;
        part += negative ? -term : term;
    }
    // cos chi and sin chi over e^|y|: e^(i chi) and e^(-i chi), one of them scaled by e^-2|y|.
    const Ext y = w.imag();
    const Ext growth = std::fabs(y) > BesselGrowthLimit ? BesselGrowthLimit : std::fabs(y);
    const Ext phase = w.real() - std::numbers::pi_v<Ext> / 4;
    const Ext fade = std::exp(-2 * std::fabs(y));
    const CExt turn{std::cos(phase), std::sin(phase)};                 // e^(i phase)
    const CExt up = y >= 0 ? std::conj(turn) : std::conj(turn) * fade; // e^(-i chi) / e^|y|
    const CExt down = y >= 0 ? turn * fade : turn;                     // e^(i chi) / e^|y|
    const CExt cosine = (up + down) / Ext{2};
    const CExt sine = (down - up) / CExt{0, 2};
    const CExt scaled = std::sqrt(Ext{2} / (std::numbers::pi_v<Ext> * w)) * (p * cosine - q * sine);
    return scaled * std::exp(growth);
}

CExt BesselJ0(CExt w) {
    const Ext radius = std::abs(w);
    const bool series =
        radius < BesselAsymptoticRadius ||
        (radius - std::fabs(w.imag()) < BesselSeriesCancellation && radius < BesselSeriesMaxRadius);
    return series ? BesselJ0Series(w) : BesselJ0Asymptotic(w);
}

} // namespace

ComplexRec CBesselI0(ComplexRec z) {
    z = Rect(z);
    return StoredRec(BesselJ0(CExt{-Ext{z.B}, Ext{z.A}})); // I0(z) = J0(iz)
}

ComplexRec CBesselJ0(ComplexRec z) {
    z = Rect(z);
    return StoredRec(BesselJ0(CExt{z.A, z.B}));
}
