// The Airy functions and Jacobi's elliptic functions behind AI, BI, SN, CN and DN.
#pragma once

// Ai(x) and Bi(x): rational approximations for |x| beyond 2.09 (Ai) and beyond
// 8.3203353 (Bi), a power series with relative tolerance 5e-8 between.
// Above 25.77: Ai = 0, Bi = 1e10.
void AiryAiBi(double x, double& ai, double& bi);

// sn, cn and dn of u for the complementary parameter mc = 1 - k^2 (k the
// modulus), by the descending Landen transformation; mc < 0 goes through the
// reciprocal modulus, mc = 0 gives tanh u and 1 / cosh u.
void JacobiSnCnDn(double u, double mc, double& sn, double& cn, double& dn);
