// The Airy functions and Jacobi's elliptic functions.
#include "realformula/higherfunctions.h"

#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>

namespace {

using Ext = long double;

constexpr Ext kInvSqrtPi = 0.5641895835477563;   // 1 / sqrt(pi)
constexpr Ext kAiZero = 0.3550280538878172;      // Ai(0)
constexpr Ext kAiSlopeZero = 0.2588194037928068; // -Ai'(0)
constexpr Ext kSqrt3 = 1.7320508075688772;

// Rational approximations of the double-precision Airy method, highest power first.
constexpr double kAN[] = {3.46538101525629032477E-1, 1.20075952739645805542E1,
                          7.62796053615234516538E1,  1.68089224934630576269E2,
                          1.59756391350164413639E2,  7.05360906840444183113E1,
                          1.40264691163389668864E1,  9.99999999999999995305E-1};
constexpr double kAD[] = {5.67594532638770212846E-1, 1.47562562584847203173E1,
                          8.45138970141474626562E1,  1.77318088145400459522E2,
                          1.64234692871529701831E2,  7.14778400825575695274E1,
                          1.40959135607834029598E1,  1.00000000000000000470E0};
constexpr double kBN16[] = {-2.53240795869364152689E-1, 5.75285167332467384228E-1,
                            -3.29907036873225371650E-1, 6.44404068948199951727E-2,
                            -3.82519546641336734394E-3};
constexpr double kBD16[] = {-7.15685095054035237902E0, 1.06039580715664694291E1,
                            -5.23246636471251500874E0, 9.57395864378383833152E-1,
                            -5.50828147163549611107E-2};
constexpr double kAFN[] = {
    -1.31696323418331795333E-1, -6.26456544431912369773E-1, -6.93158036036933542233E-1,
    -2.79779981545119124951E-1, -4.91900132609500318020E-2, -4.06265923594885404393E-3,
    -1.59276496239262096340E-4, -2.77649108155232920844E-6, -1.67787698489114633780E-8};
constexpr double kAFD[] = {
    1.33560420706553243746E1,  3.26825032795224613948E1,  2.67367040941499554804E1,
    9.18707402907259625840E0,  1.47529146771666414581E0,  1.15687173795188044134E-1,
    4.40291641615211203805E-3, 7.54720348287414296618E-5, 4.51850092970580378464E-7};
constexpr double kAGN[] = {
    1.97339932091685679179E-2, 3.91103029615688277255E-1, 1.06579897599595591108E0,
    9.39169229816650230044E-1, 3.51465656105547619242E-1, 6.33888919628925490927E-2,
    5.85804113048388458567E-3, 2.82851600836737019778E-4, 6.98793669997260967291E-6,
    8.11789239554389293311E-8, 3.41551784765923618484E-10};
constexpr double kAGD[] = {9.30892908077441974853E0,  1.98352928718312140417E1,
                           1.55646628932864612953E1,  5.47686069422975497931E0,
                           9.54293611618961883998E-1, 8.64580826352392193095E-2,
                           4.12656523824222607191E-3, 1.01259085116509135510E-4,
                           1.17166733214413521882E-6, 4.91834570062930015649E-9};

// c[0] x^n + ... + c[n]
template <std::size_t N>
Ext Plain(const double (&c)[N], Ext x) {
    Ext r = c[0];
    for (std::size_t k = 1; k < N; ++k) r = r * x + c[k];
    return r;
}

// x^N + c[0] x^(N-1) + ... + c[N-1]
template <std::size_t N>
Ext Monic(const double (&c)[N], Ext x) {
    Ext r = x + c[0];
    for (std::size_t k = 1; k < N; ++k) r = r * x + c[k];
    return r;
}

} // namespace

void AiryAiBi(double x, double& ai, double& bi) {
    if (x > 25.77) {
        ai = 0;
        bi = 1e10;
        return;
    }
    const Ext ex = x;
    if (x < -2.09) {
        Ext t = std::sqrt(-ex);
        const Ext zeta = -2 * ex * t / 3;
        t = std::sqrt(t);
        const Ext k = kInvSqrtPi / t;
        const Ext z = 1 / zeta;
        const Ext zz = z * z;
        const Ext uf = 1 + zz * Plain(kAFN, zz) / Monic(kAFD, zz);
        const Ext ug = z * Plain(kAGN, zz) / Monic(kAGD, zz);
        const Ext theta = zeta + std::numbers::pi_v<Ext> / 4;
        const Ext f = std::sin(theta);
        const Ext g = std::cos(theta);
        ai = static_cast<double>(k * (f * uf - g * ug));
        bi = static_cast<double>(k * (g * uf + f * ug));
        return;
    }
    bool aiDone = false;
    if (x > 2.09) {
        Ext t = std::sqrt(ex);
        const Ext zeta = 2 * ex * t / 3;
        const Ext g = std::exp(zeta);
        t = std::sqrt(t);
        const Ext k = 2 * t * g;
        const Ext z = 1 / zeta;
        ai = static_cast<double>(kInvSqrtPi * Plain(kAN, z) / Plain(kAD, z) / k);
        aiDone = true;
        if (x > 8.3203353) {
            const Ext f = z * Plain(kBN16, z) / Monic(kBD16, z);
            bi = static_cast<double>(kInvSqrtPi * g * (1 + f) / t);
            return;
        }
    }
    // Maclaurin series of the two solutions f and g, to a relative change of 5e-8.
    Ext f = 1, g = ex, t = 1, uf = 1, ug = ex, k = 1;
    const Ext z = ex * ex * ex;
    while (t > 5e-8L) {
        uf = uf * z / (k + 1) / (k + 2);
        ug = ug * z / (k + 2) / (k + 3);
        k += 3;
        f += uf;
        g += ug;
        t = std::fabs(uf / f);
    }
    uf = kAiZero * f;
    ug = kAiSlopeZero * g;
    if (!aiDone) ai = static_cast<double>(uf - ug);
    bi = static_cast<double>(kSqrt3 * (uf + ug));
}

void JacobiSnCnDn(double u, double mc, double& sn, double& cn, double& dn) {
    if (mc == 0) {
        // 1 / cosh u underflows to 0 long before cosh overflows the extended
        // range; beyond that 0 is the exact double result.
        const Ext eu = u;
        cn = std::fabs(eu) < 11000 ? static_cast<double>(1 / std::cosh(eu)) : 0.0;
        dn = cn;
        sn = std::tanh(u);
        return;
    }
    Ext emc = mc, eu = u, d = 1;
    const bool negative = emc < 0;
    if (negative) {
        d = 1 - emc;
        emc = -emc / d;
        d = std::sqrt(d);
        eu = d * eu;
    }
    Ext em[14] = {}, en[14] = {};
    Ext a = 1, c = 1, edn = 1;
    int l = 1;
    for (int i = 1; i <= 13; ++i) {
        l = i;
        em[i] = a;
        emc = std::sqrt(emc);
        en[i] = emc;
        c = (a + emc) / 2;
        if (std::fabs(a - emc) <= 0.0003L * a) break;
        emc = a * emc;
        a = c;
    }
    eu = c * eu;
    Ext esn = std::sin(eu);
    Ext ecn = std::cos(eu);
    if (esn != 0) {
        a = ecn / esn;
        c = c * a;
        for (int ii = l; ii >= 1; --ii) {
            const Ext b = em[ii];
            a = a * c;
            c = c * edn;
            edn = (en[ii] + a) / (b + a);
            a = c / b;
        }
        a = 1 / std::sqrt(c * c + 1);
        esn = esn >= 0 ? a : -a;
        ecn = c * esn;
    }
    if (negative) {
        std::swap(ecn, edn);
        esn = esn / d;
    }
    sn = static_cast<double>(esn);
    cn = static_cast<double>(ecn);
    dn = static_cast<double>(edn);
}
