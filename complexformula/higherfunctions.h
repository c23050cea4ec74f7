// The complex interpreter's functions beyond the elementary ones: log-gamma and
// gamma, the Bessel functions I0 and J0, Jacobi's elliptic functions, the
// partial zeta sum, the exponential integral E1 and the digamma function.
#pragma once

#include "complexformula/arithmetic.h"

// The functions on ComplexRec accept either form of their argument.

// The poles 0, -1, -2, ... of Gamma and digamma, exactly.
bool IsGammaPole(double x, double y);
// ln Gamma(z), climbing to re z >= 9 by ln Gamma(z) = ln Gamma(z + 1) - ln z.
// Substitutes: a real part of +inf at the poles, of -inf further left than
// re z = -991; NaN parts come back unchanged.
ComplexRec CLnGamma(ComplexRec z);
// Stirling's series with eight terms; accurate for re z >= 9.
ComplexRec CLnGammaStirling(ComplexRec z);
// exp(ln Gamma(z)); (+inf, +inf) when re ln Gamma(z) >= 75 (the poles
// included), 0 when below -200.
ComplexRec CGamma(ComplexRec z);
// I0(z) = J0(iz) and J0(z), in extended precision: by the power series where
// it keeps its digits, else by the asymptotic expansion; about 1e-15 relative
// (absolute near zeros). A value beyond the double range overflows when stored.
ComplexRec CBesselI0(ComplexRec z);
ComplexRec CBesselJ0(ComplexRec z);

struct JacobiTriple {
    long double sn, cn, dn;
};
struct JacobiComplexTriple {
    Complex sn, cn, dn;
};
// sn, cn, dn of a real u for the complementary parameter m1 = 1 - m: m1 = 1
// gives sin, cos, 1; m1 = 0 gives tanh, 1/cosh, 1/cosh; m1 < 0 (m > 1) goes
// through the reciprocal modulus.
JacobiTriple JacobiReal(long double u, long double m1);
// sn, cn, dn of a complex w for the modulus k (parameter k^2), by the
// imaginary transformation and the addition theorems; poles are not guarded.
JacobiComplexTriple JacobiComplex(Complex w, double k);
// sum(n = 1..48) n^-s, with no continuation; a term below the double range
// adds nothing; the first fault ends the sum.
Complex ZetaPartialSum(Complex s);
// E1(x + iy) on the principal branch, taking the value from above on the
// negative real axis; (+inf, 0) at the pole 0.
void ExpIntegralE1(double x, double y, double& re, double& im);
// psi(x + iy); (+inf, 0) at the poles 0, -1, -2, ...
void DigammaComplex(double x, double y, double& re, double& im);
