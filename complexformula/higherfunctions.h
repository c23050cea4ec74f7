// The complex interpreter's functions beyond the elementary ones: log-gamma and
// gamma, the Bessel functions I0 and J0, Jacobi's elliptic functions, the
// partial zeta sum, the exponential integral E1 and the digamma function.
#pragma once

#include "complexformula/arithmetic.h"

ComplexRec CLnGamma(ComplexRec z);
ComplexRec CLnGammaStirling(ComplexRec z);
ComplexRec CGamma(ComplexRec z);
ComplexRec CBesselI0(ComplexRec z);
ComplexRec CBesselJ0(ComplexRec z);

struct JacobiTriple {
    long double sn, cn, dn;
};
struct JacobiComplexTriple {
    Complex sn, cn, dn;
};
JacobiTriple JacobiReal(long double u, long double m1);
JacobiComplexTriple JacobiComplex(Complex w, double k);
Complex ZetaPartialSum(Complex s);
void ExpIntegralE1(double x, double y, double& re, double& im);
void DigammaComplex(double x, double y, double& re, double& im);
