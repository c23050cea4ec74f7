// What the complex special-function files share: the extended type, and
// complex values moved between the interpreter's records and extended
// precision.
#pragma once

#include "complexformula/arithmetic.h"

#include <cmath>
#include <complex>

namespace specialsupport {

using Ext = long double;
using CExt = std::complex<Ext>;

inline ComplexRec Rect(ComplexRec z) {
    return ConvertForm(z, cfRectangular);
}

// An extended value stored as the interpreter's record (overflow shows when
// stored).
inline ComplexRec StoredRec(CExt v) {
    return MakeComplex(cfRectangular, static_cast<double>(v.real()), static_cast<double>(v.imag()));
}

// The larger magnitude times sqrt(1 + ratio^2): no overflow on the way.
inline double ScaledHypot(double x, double y) {
    const Ext ax = std::fabs(x);
    const Ext ay = std::fabs(y);
    const Ext big = ax >= ay ? ax : ay;
    const Ext small = ax >= ay ? ay : ax;
    if (big == 0) return 0;
    const Ext ratio = small / big;
    return static_cast<double>(big * std::sqrt(1 + ratio * ratio));
}

} // namespace specialsupport
