// Accuracy of the special functions against independent reference values and
// the points where their methods switch. The reference values were computed
// once with python3-mpmath 1.3 at 30 digits (mpmath.gamma, loggamma, digamma,
// besselj, si, ci, ei, airyai, airybi, ncdf, ellipfun) and rounded to 17 digits.
#include "realformula/higherfunctions.h"
#include "realtest.h"

#include <climits>

namespace {

struct Ref {
    double x;
    double value;
    double tolerance; // absolute unless noted
};

void CheckRelative(const char* name, double (*f)(double), const std::vector<Ref>& rows) {
    for (const Ref& r : rows) {
        SCOPED_TRACE(testing::Message() << name << "(" << r.x << ")");
        EXPECT_NEAR(r.value, f(r.x), std::fabs(r.value) * r.tolerance);
    }
}

void CheckAbsolute(const char* name, double (*f)(double), const std::vector<Ref>& rows) {
    for (const Ref& r : rows) {
        SCOPED_TRACE(testing::Message() << name << "(" << r.x << ")");
        EXPECT_NEAR(r.value, f(r.x), r.tolerance);
    }
}

double LogGammaOf(double x) {
    bool failed = false;
    const double v = LogGamma(x, failed);
    EXPECT_FALSE(failed);
    return v;
}

double DigammaOf(double x) {
    bool failed = false;
    const double v = Digamma(x, failed);
    EXPECT_FALSE(failed);
    return v;
}

TEST(RealSpecial, GammaWithin3e7) {
    ResetModule();
    CheckRelative("GammaPoly", GammaPoly,
                  {{0.5, 1.772453850905516, 3e-7},
                   {1.5, 0.88622692545275801, 3e-7},
                   {2.5, 1.329340388179137, 3e-7},
                   {5, 24.0, 3e-7},
                   {10.3, 716430.68906237641, 3e-7},
                   {42.9, 9.6580500519127355e+50, 3e-7},
                   {43, 1.4050061177528799e+51, 3e-7},
                   {0.1, 9.5135076986687313, 3e-7},
                   {-0.5, -3.5449077018110321, 3e-7},
                   {-1.5, 2.3632718012073547, 3e-7},
                   {-2.5, -0.94530872048294188, 3e-7},
                   {-7.3, 0.00041838787301354802, 3e-7}});
    EXPECT_EQ(0, RealStatus);
}

TEST(RealSpecial, LogGammaAndItsRange) {
    CheckRelative("LogGamma", LogGammaOf,
                  {{0.5, 0.57236494292470009, 1e-15},
                   {2.5, 0.28468287047291916, 1e-15},
                   {7.25, 7.0521854507385394, 1e-15},
                   {10, 12.80182748008147, 1e-15},
                   {20.5, 40.831500974530798, 1e-15},
                   {21, 42.335616460753485, 1e-15}, // once refused as too large
                   {100, 359.1342053695754, 1e-15},
                   {1e10, 220258509288.81058, 1e-15},
                   {1.0000001, -5.7721558299185071e-8, 1e-12}, // beside the zeros at 1 and 2
                   {1.9999999, -4.2278430309861298e-8, 1e-12},
                   {-3.98516, 1.0550638828268197, 1e-14}, // where gamma is positive below 0
                   {-3.0206, 2.0654667464137313, 1e-14},
                   {-1.5, 0.86004701537648101, 1e-14},
                   {-3.5, -1.309006684993042, 1e-14}});
    EXPECT_EQ(0, LogGammaOf(1));
    EXPECT_EQ(0, LogGammaOf(2));
    // Refused: from -4.5 down, at the poles, where gamma is negative, for NaN,
    // and where the logarithm is beyond the double range.
    for (const double x : {-4.5, -5.5, 0.0, -1.0, -0.5, -2.5, -4.2, std::nan(""), 1e308}) {
        SCOPED_TRACE(x);
        bool failed = false;
        EXPECT_EQ(0, LogGamma(x, failed));
        EXPECT_TRUE(failed);
    }
}

TEST(RealSpecial, Digamma) {
    CheckAbsolute("Digamma", DigammaOf,
                  {{0.5, -1.9635100260214235, 1e-13},
                   {1, -0.5772156649015329, 0},
                   {2, 0.42278433509846714, 1e-13},
                   {3.7, 1.1671535393615114, 1e-13},
                   {25, 3.198742512851974, 1e-13},
                   {1e-06, -1000000.57721402, 1e-5}, // the small-argument branch
                   {-0.5, 0.036489973978576521, 1e-13},
                   {-2.3, 3.3173231575618227, 1e-13},
                   {-7.9, -7.5400072244194784, 1e-12}});
    for (const double x : {0.0, -1.0, -3.000001, -1e300}) {
        SCOPED_TRACE(x);
        bool failed = false;
        EXPECT_EQ(0, Digamma(x, failed));
        EXPECT_TRUE(failed);
    }
}

TEST(RealSpecial, SpecialFunctionClearsStatusAndReportsFailure) {
    RealStatus = 2;
    SpecialResult r = SpecialFunction(SpecialKind::BesselJ1, 0);
    EXPECT_EQ(0, RealStatus);
    EXPECT_FALSE(r.failed);
    r = SpecialFunction(SpecialKind::LogGamma, -0.5);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(0, r.value);
    EXPECT_EQ(0, RealStatus); // CallFunction turns the flag into status 4
    r = SpecialFunction(SpecialKind::BesselJ0, INFINITY);
    EXPECT_TRUE(r.failed);
}

TEST(RealSpecial, BesselBothSidesOfEight) {
    const double below8 = std::nextafter(8.0, 0.0);
    CheckAbsolute("BesselJ0", BesselJ0,
                  {{0, 57568490574.0 / 57568490411.0, 1e-15},
                   {1, 0.76519768655796655, 1e-8},
                   {2.404825557695773, -6.1087652597367304e-17, 1e-8},
                   {5, -0.1775967713143383, 1e-8},
                   {7.99, 0.17399001312793258, 1e-8},
                   {below8, 0.17165080713755391, 1e-8},
                   {8, 0.17165080713755391, 1e-8},
                   {8.01, 0.16929736911054296, 1e-8},
                   {20, 0.16702466434058315, 1e-8},
                   {-3, -0.26005195490193344, 1e-8},
                   {-10, -0.24593576445134834, 1e-8},
                   {60, -0.09147180408906187, 1e-8}});
    CheckAbsolute("BesselJ1", BesselJ1,
                  {{0, 0.0, 0},
                   {1, 0.44005058574493352, 1e-8},
                   {3.8317, 2.4045590431036321e-6, 1e-8},
                   {5, -0.32757913759146522, 1e-8},
                   {7.99, 0.23320071425350177, 1e-8},
                   {below8, 0.23463634685391462, 1e-8},
                   {8, 0.23463634685391462, 1e-8},
                   {-8, -0.23463634685391462, 1e-8},
                   {8.01, 0.236047103630834, 1e-8},
                   {20, 0.066833124175850046, 1e-8},
                   {-3, -0.33905895852593646, 1e-8},
                   {-10, -0.043472746168861437, 1e-8},
                   {60, 0.046598383758166318, 1e-8}});
}

TEST(RealSpecial, Integrals) {
    // Si and Ci switch from the power series to the asymptotic series of f
    // and g at 22; both sides and the large-argument limit are good to 1e-9.
    CheckAbsolute("SineIntegral", SineIntegral,
                  {{0.1, 0.099944461108276956, 1e-9},
                   {1, 0.94608307036718301, 1e-9},
                   {5, 1.5499312449446741, 1e-9},
                   {10, 1.658347594218874, 1e-9},
                   {20, 1.5482417010434398, 1e-9},
                   {21.9, 1.6158962294401178, 1e-9},
                   {22, 1.6160837365943665, 1e-9},
                   {30, 1.5667565400303511, 1e-9},
                   {35, 1.5969222045083056, 1e-9},
                   {40, 1.5869851193547845, 1e-9},
                   {49, 1.5650631167362712, 1e-9}});
    CheckAbsolute("CosineIntegral", CosineIntegral,
                  {{0.1, -1.7278683866572966, 1e-9},
                   {1, 0.33740392290096813, 1e-9},
                   {5, -0.19002974965664388, 1e-9},
                   {10, -0.045456433004455373, 1e-9},
                   {20, 0.044419820845353317, 1e-9},
                   {21.9, 0.0061907485006200559, 1e-9},
                   {22, 0.0016406919157377497, 1e-9},
                   {30, -0.033032417282071144, 1e-9},
                   {40, 0.019020007896208767, 1e-9},
                   {45, 0.018631743703556532, 1e-9}});
    // Ei is good to 1e-12 relative, and absolute beside its zero at 0.3725.
    CheckRelative("ExpIntegral", ExpIntegral,
                  {{0.004, -4.9402412494024896, 1e-12},
                   {0.1, -1.6228128139692766, 1e-12},
                   {0.320219, -0.21374084350807992, 1e-12},
                   {1, 1.8951178163559368, 1e-12},
                   {4.1, 21.048466568323176, 1e-12},
                   {5, 40.185275355803177, 1e-12},
                   {10, 2492.2289762418778, 1e-12},
                   {20, 25615652.664056589, 1e-12},
                   {39, 2280446200301902.6, 1e-12}});
    CheckAbsolute(
        "ExpIntegral", ExpIntegral,
        {{0.3788071870803833, 0.024416660341101633, 1e-16}, {0.37250741078136663, 0, 1e-16}});
}

TEST(RealSpecial, IntegralBounds) {
    const double below50 = std::nextafter(50.0, 0.0);
    const double below40 = std::nextafter(40.0, 0.0);
    const double leastPositive = std::nextafter(0.0, 1.0);
    struct Case {
        const char* name;
        double (*f)(double);
        double x;
        bool fails;
    };
    const std::vector<Case> cases = {
        {"Si(0)", SineIntegral, 0, true},
        {"Si(-1)", SineIntegral, -1, true},
        {"Si(50)", SineIntegral, 50, true},
        {"Si below 50", SineIntegral, below50, false},
        {"Ci(0)", CosineIntegral, 0, true},
        {"Ci(50)", CosineIntegral, 50, true},
        {"Ci below 50", CosineIntegral, below50, false},
        {"Ei(0)", ExpIntegral, 0, true},
        {"Ei(40)", ExpIntegral, 40, true},
        {"Ei below 40", ExpIntegral, below40, false},
        {"Si of nothing", SineIntegral, std::nan(""), true},
        {"Si of the least positive", SineIntegral, leastPositive, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RealStatus = 0;
        const double v = c.f(c.x);
        EXPECT_EQ(c.fails ? 2 : 0, RealStatus);
        if (c.fails)
            EXPECT_EQ(0, v);
        else
            EXPECT_TRUE(std::isfinite(v) && std::fabs(v) < 1e16);
    }
}

TEST(RealSpecial, AiryAcrossItsFourRegions) {
    struct AiryRef {
        double x, ai, bi, tolerance; // relative
    };
    const double above209 = std::nextafter(2.09, 3.0);
    const double below209 = std::nextafter(-2.09, -3.0);
    const double above832 = std::nextafter(8.3203353, 9.0);
    // The series (|x| <= 2.09, Bi up to 8.3203353) stops at a relative change
    // of 5e-8; the rational forms are good to double precision.
    const std::vector<AiryRef> rows = {
        {-20, -0.17640612707798469, -0.20013930932265135, 1e-14},
        {-5, 0.35076100902411432, -0.13836913490160058, 1e-14},
        {-2.1, 0.16348451299929268, -0.43590234823072676, 1e-14},
        {below209, 0.17005055173202994, -0.43393986253871789, 1e-14},
        {-2.09, 0.17005055173202994, -0.43393986253871789, 1e-7},
        {-1, 0.53556088329235212, 0.10399738949694461, 1e-7},
        {0, 0.3550280538878172, 0.6149266274460007, 1e-15},
        {0.5, 0.23169360648083349, 0.85427704310315549, 1e-7},
        {2.09, 0.030420318363198371, 3.6953287962741536, 1e-7},
        {above209, 0.030420318363198371, 3.6953287962741536, 1e-7},
        {5, 0.00010834442813607442, 657.79204417117118, 1e-7},
        {8.3203353, 1.8613097038608425e-8, 2965170.1766479296, 1e-7},
        {above832, 1.8613097038608425e-8, 2965170.1766479296, 1e-14},
        {15, 2.1649625207379923e-18, 18982099567493590.0, 1e-14},
        {25.7, 2.3754065481195886e-39, 1.3216596130380985e+37, 1e-14},
    };
    for (const AiryRef& r : rows) {
        SCOPED_TRACE(r.x);
        double ai = 0, bi = 0;
        AiryAiBi(r.x, ai, bi);
        EXPECT_NEAR(r.ai, ai, std::fabs(r.ai) * r.tolerance);
        EXPECT_NEAR(r.bi, bi, std::fabs(r.bi) * r.tolerance);
    }
    double ai = -1, bi = -1;
    AiryAiBi(30, ai, bi);
    EXPECT_EQ(0, ai);
    EXPECT_EQ(1e10, bi);
    AiryAiBi(-1e300, ai, bi); // no overflow on the way
    EXPECT_TRUE(std::isfinite(ai) && std::isfinite(bi));
}

TEST(RealSpecial, JacobiEllipticFunctions) {
    struct JacobiRef {
        double k, u, sn, cn, dn;
    };
    // mpmath.ellipfun with parameter m = k^2; k = 1.5 takes the reciprocal-modulus path.
    const std::vector<JacobiRef> rows = {
        {0.5, 0.3, 0.29446555154955623, 0.95566209454525068, 0.98910187025283392},
        {0.5, 1, 0.82263557812986236, 0.56856899809517149, 0.9114920056691319},
        {0.5, 2.5, 0.74990304990178414, -0.66154774260668613, 0.92704441853505626},
        {0.99, 0.3, 0.2913960566155014, 0.95660249748207092, 0.95748528983947095},
        {0.99, 1, 0.76329179996283983, 0.64605388947787328, 0.65496538390216418},
        {0.99, 2.5, 0.99079320909891377, 0.13538396065810803, 0.19458693005720344},
        {1.5, 0.3, 0.28609455267831335, 0.95820139163319722, 0.90323711758737003},
        {1.5, 1, 0.64873846676401167, 0.76101143338367744, 0.23035061084470445},
        {1.5, 2.5, -0.086753524685218209, 0.99622980579517457, -0.99149690286861475},
        {0, 2, std::sin(2.0), std::cos(2.0), 1},
        {1, 2, std::tanh(2.0), 1 / std::cosh(2.0), 1 / std::cosh(2.0)},
    };
    for (const JacobiRef& r : rows) {
        SCOPED_TRACE(testing::Message() << "k=" << r.k << " u=" << r.u);
        double sn = 0, cn = 0, dn = 0;
        JacobiSnCnDn(r.u, 1 - r.k * r.k, sn, cn, dn);
        EXPECT_NEAR(r.sn, sn, 1e-9);
        EXPECT_NEAR(r.cn, cn, 1e-9);
        EXPECT_NEAR(r.dn, dn, 1e-9);
    }
}

double GaussSumOf(double x) {
    ResetModule();
    const double v = EvalReal("GSUMME(X)", x);
    EXPECT_EQ(0, RealStatus);
    return v;
}

TEST(RealSpecial, GaussSumIsTheNormalDistribution) {
    // Good to the last digits over the whole range, the lower tail included.
    CheckRelative("GSUMME", GaussSumOf,
                  {{-3, 0.0013498980316300945, 1e-14},
                   {-1, 0.15865525393145705, 1e-14},
                   {-0.2, 0.42074029056089697, 1e-14},
                   {0, 0.5, 0},
                   {0.2, 0.57925970943910303, 1e-14},
                   {1, 0.84134474606854295, 1e-14},
                   {1.2312436405688734, 0.89088412307162152, 1e-14},
                   {2.5, 0.99379033467422386, 1e-14},
                   {8, 0.99999999999999938, 1e-15},
                   {-5, 2.8665157187919391e-7, 1e-14},
                   {-9.33, 5.2935453864547428e-21, 1e-14},
                   {-38, 2.8854283600687843e-316, 1e-8}}); // a subnormal double
}

TEST(RealSpecial, EulerPhiAndGcd) {
    RealStatus = 0;
    EXPECT_EQ(4000, EulerPhi(10000));
    EXPECT_EQ(1, EulerPhi(1));
    EXPECT_EQ(1, EulerPhi(2));
    EXPECT_EQ(9972, EulerPhi(9973)); // a prime
    // Every accepted n against a sieve of the totient.
    std::vector<std::int32_t> sieve(10001);
    for (std::int32_t n = 0; n <= 10000; ++n) sieve[n] = n;
    for (std::int32_t p = 2; p <= 10000; ++p)
        if (sieve[p] == p)
            for (std::int32_t m = p; m <= 10000; m += p) sieve[m] -= sieve[m] / p;
    for (std::int32_t n = 1; n <= 10000; ++n) ASSERT_EQ(sieve[n], EulerPhi(n)) << n;
    EXPECT_EQ(0, RealStatus);
    EXPECT_EQ(0, EulerPhi(0));
    EXPECT_EQ(1, RealStatus);
    const std::vector<std::tuple<std::int32_t, std::int32_t, std::int64_t>> gcds = {
        {12, 18, 6},      {18, 12, 6},
        {7, 13, 1},       {0, 5, 1},
        {5, 0, 1},        {-12, 18, 6},
        {INT_MIN, -1, 1}, {INT_MIN, INT_MIN, 2147483648LL},
        {INT_MIN, 6, 2},  {INT_MAX, INT_MAX, INT_MAX},
    };
    for (const auto& [a, b, g] : gcds) EXPECT_EQ(g, Gcd(a, b)) << a << " " << b;
}

} // namespace
