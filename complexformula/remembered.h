// The circular and hyperbolic sine and cosine of one extended argument, in
// pairs, remembered for the arguments met last. A fill evaluates them at few
// distinct values (one per grid column or row), so most calls find their
// pair. A remembered pair is the very value the library computed, and only
// pairs of a finite argument whose computation raised no fault flag are kept,
// so a call that finds one equals a call that computes it, flags included.
#pragma once

struct SinCosPair {
    long double sin, cos;
};
struct SinhCoshPair {
    long double sinh, cosh;
};

SinCosPair SinCos(long double x);
SinhCoshPair SinhCosh(long double x);
