#include "complexformula/complexm.h"
#include "complexformula/compli.h"
#include "runtime/fpu.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;
const double kInf = PlusInfinity;
volatile double vZero = 0.0; // not foldable, so faults happen at run time

ComplexRec R(double x, double y) {
    return MakeComplex(cfRectangular, x, y);
}
ComplexRec P(double r, double theta) {
    return MakeComplex(cfPolar, r, theta);
}

::testing::AssertionResult Near(ComplexRec v, ComplexForm form, double a, double b,
                                double tol = 1e-14) {
    const double scale = std::max({1.0, std::fabs(a), std::fabs(b)});
    if (v.Form == form && std::fabs(v.A - a) <= tol * scale && std::fabs(v.B - b) <= tol * scale)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << (v.Form == cfPolar ? "polar" : "rect") << ", " << v.A << ", " << v.B
           << "), want (" << (form == cfPolar ? "polar" : "rect") << ", " << a << ", " << b << ")";
}

// Bit-exact, for substitute values and infinities.
::testing::AssertionResult Exactly(ComplexRec v, ComplexForm form, double a, double b) {
    if (v.Form == form && std::bit_cast<std::uint64_t>(v.A) == std::bit_cast<std::uint64_t>(a) &&
        std::bit_cast<std::uint64_t>(v.B) == std::bit_cast<std::uint64_t>(b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << v.A << ", " << v.B << "), want (" << a << ", " << b << ")";
}

TEST(Compli, ConstantsHaveTheirBitPatterns) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(NaNValue), 0x7FFFFFFFFFFFFFFFULL);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(PlusInfinity), 0x7FF0000000000000ULL);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(MinusInfinity), 0xFFF0000000000000ULL);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(GetNaN()), 0x7FFFFFFFFFFFFFFFULL);
    EXPECT_EQ(GetInfinity(), PlusInfinity);
}

TEST(Compli, ClassifiesByBits) {
    struct Row {
        const char* name;
        std::uint64_t bits;
        bool nan, infinite;
    };
    const std::vector<Row> rows = {
        {"NaNValue", 0x7FFFFFFFFFFFFFFFULL, true, false},
        {"negative quiet NaN", 0xFFF8000000000000ULL, true, false},
        {"NaN with the lowest fraction bit only", 0x7FF0000000000001ULL, true, false},
        {"plus infinity", 0x7FF0000000000000ULL, false, true},
        {"minus infinity", 0xFFF0000000000000ULL, false, true},
        {"largest double", 0x7FEFFFFFFFFFFFFFULL, false, false},
        {"smallest denormal", 0x0000000000000001ULL, false, false},
        {"minus zero", 0x8000000000000000ULL, false, false},
    };
    for (const auto& row : rows) {
        const double v = std::bit_cast<double>(row.bits);
        EXPECT_EQ(IsNaN(v), row.nan) << row.name;
        EXPECT_EQ(IsInfinite(v), row.infinite) << row.name;
    }
}

TEST(Compli, SignedInfinity) {
    EXPECT_EQ(SignedInfinity(0.0), PlusInfinity);
    EXPECT_EQ(SignedInfinity(7.0), PlusInfinity);
    EXPECT_EQ(SignedInfinity(-0.5), MinusInfinity);
}

TEST(ComplexArithmetic, NormalizeAngle) {
    struct Row {
        const char* name;
        double theta, want;
    };
    const std::vector<Row> rows = {
        {"3 pi comes down to pi", 3 * kPi, kPi},
        {"pi stays", kPi, kPi},
        {"-3 pi / 2 goes up to pi / 2", -1.5 * kPi, 0.5 * kPi},
        {"2 pi + 0.5", 2 * kPi + 0.5, 0.5},
        {"-2 pi - 0.5", -2 * kPi - 0.5, -0.5},
        {"zero", 0.0, 0.0},
        // Extended pi is larger than the double nearest to it, so that double's
        // negative already lies inside (-pi, pi] and stays.
        {"the double -pi lies inside the interval", -kPi, -kPi},
    };
    for (const auto& row : rows)
        EXPECT_NEAR(NormalizeAngle(row.theta), row.want, 1e-15) << row.name;
}

TEST(ComplexArithmetic, NormalizeAngleEndsForHugeAndInfiniteAngles) {
    for (double theta : {1e6, -1e12, 1e20, -1e300, DBL_MAX}) {
        const double t = NormalizeAngle(theta);
        EXPECT_TRUE(t > -kPi - 1e-15 && t <= kPi + 1e-15) << theta << " -> " << t;
    }
    EXPECT_TRUE(std::isnan(NormalizeAngle(kInf)));
    EXPECT_TRUE(std::isnan(NormalizeAngle(-kInf)));
}

TEST(ComplexArithmetic, ConvertForm) {
    EXPECT_TRUE(Near(ConvertForm(R(-1, 0), cfPolar), cfPolar, 1, kPi));
    EXPECT_TRUE(Near(ConvertForm(R(0, -2), cfPolar), cfPolar, 2, -kPi / 2));
    EXPECT_TRUE(Near(ConvertForm(R(3, 4), cfPolar), cfPolar, 5, std::atan2(4.0, 3.0)));
    EXPECT_TRUE(Near(ConvertForm(P(2, kPi / 2), cfRectangular), cfRectangular, 0, 2));
    EXPECT_TRUE(Exactly(ConvertForm(P(2, 1), cfPolar), cfPolar, 2, 1)); // already there
}

TEST(ComplexArithmetic, ConvertFormOfInfiniteAndNaNParts) {
    // Infinite parts lose their signs.
    EXPECT_TRUE(Exactly(ConvertForm(R(-kInf, 5), cfPolar), cfPolar, kInf, 0));
    EXPECT_TRUE(Exactly(ConvertForm(R(-kInf, 5), cfRectangular), cfRectangular, kInf, kInf));
    EXPECT_TRUE(Exactly(ConvertForm(P(1, -kInf), cfRectangular), cfRectangular, kInf, kInf));
    // A NaN makes a rectangular NaN, whatever the target.
    for (ComplexForm target : {cfPolar, cfRectangular}) {
        const ComplexRec v = ConvertForm(R(NaNValue, 1), target);
        EXPECT_EQ(v.Form, cfRectangular);
        EXPECT_TRUE(IsNaN(v.A) && IsNaN(v.B));
    }
}

TEST(ComplexArithmetic, AddAndSubtractAreRectangular) {
    EXPECT_TRUE(Near(CAdd(R(1, 2), P(2, kPi / 2)), cfRectangular, 1, 4));
    EXPECT_TRUE(Near(CSub(P(1, kPi), R(1, 2)), cfRectangular, -2, -2));
}

TEST(ComplexArithmetic, MultiplyInTheFormOfTheFirstOperand) {
    EXPECT_TRUE(Near(CMul(R(1, 2), R(3, 4)), cfRectangular, -5, 10));
    EXPECT_TRUE(Near(CMul(P(2, 3), R(0, 1)), cfPolar, 2, 3 + kPi / 2 - 2 * kPi));
    EXPECT_TRUE(Near(CMul(R(0, 1), P(2, 3)), cfRectangular, -2 * std::sin(3.0), 2 * std::cos(3.0)));
}

TEST(ComplexArithmetic, Divide) {
    // (1 + 2i) / (3 + 4i) = 0.44 + 0.08i
    EXPECT_TRUE(Near(CDiv(R(1, 2), R(3, 4)), cfRectangular, 0.44, 0.08));
    EXPECT_TRUE(Near(CDiv(P(6, 1), R(0, 2)), cfPolar, 3, 1 - kPi / 2));
}

TEST(ComplexArithmetic, RectangularDivisionByZeroGivesZeroQuietly) {
    const ComplexRec v = rt::Checked([] { return CDiv(R(1, 1), R(0, 0)); });
    EXPECT_TRUE(Exactly(v, cfRectangular, 0, 0));
    // A divisor whose squared modulus underflows counts as zero.
    EXPECT_TRUE(
        Exactly(rt::Checked([] { return CDiv(R(1, 1), R(1e-170, 0)); }), cfRectangular, 0, 0));
}

TEST(ComplexArithmetic, PolarDivisionByZeroModulusRaisesTheFault) {
    EXPECT_THROW(rt::Checked([] { return CDiv(P(1, 0), P(vZero, 0)); }), rt::EZeroDivide);
}

TEST(ComplexArithmetic, ModulusNormConjugate) {
    EXPECT_EQ(CAbs(R(3, -4)), 5);
    EXPECT_EQ(CAbs(P(2.5, 1)), 2.5);
    EXPECT_EQ(CNorm(R(3, -4)), 25);
    EXPECT_EQ(CNorm(P(3, 1)), 9);
    // Extended intermediates: no overflow for parts near the double limit.
    EXPECT_NEAR(rt::Checked([] { return CAbs(R(1e300, 1e300)); }), std::sqrt(2.0) * 1e300, 1e286);
    EXPECT_TRUE(Exactly(CConj(R(1, 2)), cfRectangular, 1, -2));
    EXPECT_TRUE(Near(CConj(P(1, 2)), cfPolar, 1, -2));
}

TEST(ComplexArithmetic, Clean) {
    EXPECT_TRUE(Exactly(CClean(R(1e-13, -2)), cfRectangular, 0, -2));
    EXPECT_TRUE(Exactly(CClean(R(1e-12, -1e-13)), cfRectangular, 1e-12, 0));
    EXPECT_TRUE(Exactly(CClean(P(1e-13, 2)), cfPolar, 0, 0)); // zero modulus: angle 0
    EXPECT_TRUE(Exactly(CClean(P(1, 1e-13)), cfPolar, 1, 0));
    EXPECT_EQ(ZeroIfTiny(-9.9e-13), 0);
    EXPECT_EQ(ZeroIfTiny(-1e-12), -1e-12);
}

TEST(ComplexArithmetic, LogarithmExponentialPowerRoot) {
    EXPECT_TRUE(Exactly(rt::Checked([] { return CLn(R(0, 0)); }), cfRectangular, 0, 0));
    EXPECT_TRUE(Near(CLn(R(-1, 0)), cfRectangular, 0, kPi));
    EXPECT_TRUE(Near(CLn(P(std::exp(2.0), -1)), cfRectangular, 2, -1));
    EXPECT_TRUE(Near(CExp(R(1, kPi / 2)), cfRectangular, 0, std::exp(1.0)));
    EXPECT_TRUE(Near(CExp(R(-2, 0)), cfRectangular, std::exp(-2.0), 0));
    EXPECT_TRUE(Exactly(CPower(R(0, 0), R(2, 0)), cfRectangular, 0, 0));
    EXPECT_TRUE(Near(CPower(R(-1, 0), R(0.5, 0)), cfRectangular, 0, 1));
    EXPECT_TRUE(Near(CPower(R(2, 0), R(10, 0)), cfRectangular, 1024, 0, 1e-15));
    EXPECT_TRUE(Near(CRoot(R(-4, 0), 0, 2), cfRectangular, 0, 2));
    EXPECT_TRUE(Near(CRoot(R(-4, 0), 1, 2), cfRectangular, 0, -2));
    EXPECT_TRUE(Near(CRoot(R(8, 0), 1, 3), cfRectangular, -1, std::sqrt(3.0)));
    EXPECT_TRUE(Exactly(CRoot(R(0, 0), 1, 3), cfRectangular, 0, 0));
    // The principal square root has a real part that is not negative.
    EXPECT_GE(CRoot(R(-3, -1e-9), 0, 2).A, 0);
}

TEST(ComplexArithmetic, ExponentialOverflowsWhenStored) {
    EXPECT_THROW(rt::Checked([] { return CExp(R(1000, 0)); }), rt::EOverflow);
    EXPECT_NO_THROW(rt::Checked([] { return CExp(R(700, 0)); }));
}

TEST(ComplexArithmetic, CircularAndHyperbolicSingularPoints) {
    EXPECT_TRUE(Exactly(CCot(R(0, 0)), cfRectangular, 0, 0));
    EXPECT_TRUE(Exactly(CTan(R(0, 0)), cfRectangular, 0, 0));
    // cosh 0 - cos 0 = 0 is replaced by 0.0001.
    EXPECT_TRUE(Near(rt::Checked([] { return CCoth(R(0, 0)); }), cfRectangular, 0, 0, 0));
    EXPECT_TRUE(Near(CCoth(R(0, 1e-3)), cfRectangular, 0, -1 / std::tan(1e-3), 1e-12));
    // 1 / cos of the double nearest pi/2: large but finite (mpmath: 1.6331239353195369756e16).
    const ComplexRec sec = rt::Checked([] { return CSec(R(kPi / 2, 0)); });
    EXPECT_NEAR(sec.A, 1.6331239353195369756e16, 1e3);
    EXPECT_TRUE(Exactly(ComplexOne, cfRectangular, 1, 0));
}

TEST(ComplexArithmetic, CircularAndHyperbolicValues) {
    // References: mpmath at 30 digits, z = 0.7 - 1.3i (the same doubles).
    struct Row {
        const char* name;
        ComplexRec (*f)(ComplexRec);
        double re, im;
    };
    const std::vector<Row> rows = {
        {"cos", CCos, 1.5074383508731426006, 1.0941280057977618082},
        {"sin", CSin, 1.2696978072048744717, -1.2989945381844448964},
        {"tan", CTan, 0.14201665536948033814, -0.96480160350936609731},
        {"sec", CSec, 0.43448457339208122385, -0.31535733422200462675},
        {"csc", CCsc, 0.38481296198118504889, 0.39369205254954053243},
        {"cot", CCot, 0.14933231644907048137, 1.0145011371447459055},
        {"cosh", CCosh, 0.33575623873216534974, -0.73093953523155780269},
        {"sinh", CSinh, 0.20292025165577843619, -1.2094283694576538955},
        {"tanh", CTanh, 1.4716284458736200231, -0.39837519535697753313},
        {"coth", CCoth, 0.63312374278765822042, 0.17138890962959427972},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(Near(row.f(R(0.7, -1.3)), cfRectangular, row.re, row.im)) << row.name;
}

TEST(ComplexArithmetic, TanhCatchesItsOwnFaultAndKeepsEarlierOnes) {
    rt::ClearFaults();
    // D = cosh 800 + cos 0 overflows when stored to double: caught.
    const ComplexRec v = CTanh(R(400, 0));
    EXPECT_TRUE(Exactly(v, cfRectangular, kInf, kInf));
    EXPECT_FALSE(rt::FaultRaised());
    // The substitutes carry the signs of sinh 2x and sin 2y.
    EXPECT_TRUE(Exactly(CTanh(R(-400, -1)), cfRectangular, -kInf, -kInf));
    rt::ClearFaults();

    double early = 1.0 / vZero; // an earlier fault of the same evaluation
    rt::Settle(early);
    CTanh(R(400, 0));
    EXPECT_EQ(rt::FaultFlags(), FE_DIVBYZERO);
    rt::ClearFaults();
}

TEST(ComplexArithmetic, UnprotectedPartsOfTanhAndCothLetFaultsPass) {
    // cosh 12000 overflows the extended range before the protected region.
    EXPECT_THROW(rt::Checked([] { return CTanh(R(6000, 0)); }), rt::EOverflow);
    // In CCoth the difference D is stored to double unprotected.
    EXPECT_THROW(rt::Checked([] { return CCoth(R(400, 0)); }), rt::EOverflow);
}

} // namespace
