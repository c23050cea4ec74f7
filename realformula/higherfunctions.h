// The real interpreter's functions beyond the elementary ones: gamma,
// log-gamma, beta, digamma, Bessel J0 and J1, the sine, cosine and exponential
// integrals, Euler's totient and the greatest common divisor
// (higherfunctions.cpp), the Airy functions and Jacobi's elliptic functions
// (airyjacobi.cpp).
#pragma once

#include <cstdint>

// gamma(x) by the Abramowitz and Stegun polynomial (error below 3e-7), moved
// into 1..2 by the recurrence. Failure (x a pole 0, -1, ..., x > 43, or a value
// beyond the double range): RealStatus 4, result 0. Below x = -2000 a signed 0.
double GammaPoly(double x);

enum class SpecialKind { LogGamma, BesselJ0, BesselJ1, Digamma };
struct SpecialResult {
    double value = 0;
    bool failed = false;
};
// Clears RealStatus, then runs the routine; failed when it fails or leaves a status.
SpecialResult SpecialFunction(SpecialKind kind, double x);

// ln gamma(x) for x > -4.5 where gamma(x) > 0, to extended precision; at the
// poles, where gamma(x) < 0, from -4.5 down and for NaN: failed set, result 0.
double LogGamma(double x, bool& failed);
// ln gamma(y + d) - ln gamma(y) for y > 0 and y + d > 0. The difference d is
// passed on its own, so that one the caller knows exactly is not rounded away
// in y + d, and two large logarithms do not cancel when y is large.
long double LogGammaRatio(long double y, long double d);
// B(a, b) = gamma(a) gamma(b) / gamma(a + b): from GammaPoly while a, b and
// a + b lie in its range, through log-gamma beyond. At a pole of a, b or a + b,
// and where the value is beyond the double range: RealStatus 4, result 0.
double Beta(double a, double b);
// psi(x); psi(1) is minus Euler's constant. At 0, for NaN and at the poles (a
// negative x whose magnitude lies less than 1e-5 above an integer): failed
// set, result 0.
double Digamma(double x, bool& failed);
// J0(x) and J1(x) by rational approximations below |x| = 8 and asymptotic ones
// from there; defined for every finite x.
double BesselJ0(double x);
double BesselJ1(double x);
// Si(x), Ci(x) and Ei(x) for 0 < x < 50 (Ei: 0 < x < 40); elsewhere failure:
// RealStatus 2, result 0. Ei is good to 1e-12 relative (absolute near its zero).
double SineIntegral(double x);
double CosineIntegral(double x);
double ExpIntegral(double x);
// The count of 1..n coprime to n, for 1 <= n <= 10000; elsewhere failure:
// RealStatus 1, result 0.
double EulerPhi(std::int32_t n);
// 1 when a or b is 0; otherwise the greatest common divisor of the magnitudes
// (wide enough for the magnitude of INT32_MIN).
std::int64_t Gcd(std::int32_t a, std::int32_t b);

// Ai(x) and Bi(x): rational approximations for |x| beyond 2.09 (Ai) and beyond
// 8.3203353 (Bi), a power series with relative tolerance 5e-8 between.
// Above 25.77: Ai = 0, Bi = 1e10.
void AiryAiBi(double x, double& ai, double& bi);

// sn, cn and dn of u for the complementary parameter mc = 1 - k^2 (k the
// modulus), by the descending Landen transformation; mc < 0 goes through the
// reciprocal modulus, mc = 0 gives tanh u and 1 / cosh u.
void JacobiSnCnDn(double u, double mc, double& sn, double& cn, double& dn);
