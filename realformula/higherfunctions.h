// The real interpreter's functions beyond the elementary ones: gamma,
// log-gamma, digamma, Bessel J0 and J1, the sine, cosine and exponential
// integrals, Euler's totient and the greatest common divisor
// (higherfunctions.cpp), the Airy functions and Jacobi's elliptic functions
// (airyjacobi.cpp).
#pragma once

#include <cstdint>

double GammaPoly(double x); // failure: RealStatus 4, result 0

enum class SpecialKind { LogGamma, BesselJ0, BesselJ1, Digamma };
struct SpecialResult {
    double value = 0;
    bool failed = false;
};
// Clears RealStatus, then runs the routine; failed when it fails or leaves a status.
SpecialResult SpecialFunction(SpecialKind kind, double x);

double LogGamma(double x, bool& failed);
double Digamma(double x, bool& failed);
double BesselJ0(double x);
double BesselJ1(double x);
double SineIntegral(double x);   // failure: RealStatus 2, result 0
double CosineIntegral(double x); // failure: RealStatus 2, result 0
double ExpIntegral(double x);    // failure: RealStatus 2, result 0
double EulerPhi(std::int32_t n); // failure: RealStatus 1, result 0
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
