// The Riemann zeta function on the whole plane but its pole at 1, in extended
// precision: by the Euler-Maclaurin formula from re s = -1/2 on, the number of
// terms and of Bernoulli corrections chosen from its remainder bound, and by
// the functional equation further left.
#pragma once

#include "complexformula/arithmetic.h"

struct ZetaValue {
    enum Kind {
        Value,    // value holds zeta(s)
        TooLarge, // the pole 1, or |zeta(s)| beyond the extended range
        TooHigh,  // |im s| beyond ZetaHeightLimit: not computed
    };
    Complex value{};
    Kind kind = Value;
};

// The work grows with |im s| (about |im s| / 2 pi powers n^-s); beyond this
// height a point would cost milliseconds.
inline constexpr long double ZetaHeightLimit = 1e4L;

// zeta(s); a NaN part gives NaN parts. Raises no fault flag.
ZetaValue RiemannZeta(Complex s);
