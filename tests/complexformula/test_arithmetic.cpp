// Complex arithmetic: classification by bits, angle normalisation, form
// conversion, the operations, their values at singular points, and faults.
#include "complexformula/arithmetic.h"
#include "complexformula/nonfinite.h"
#include "runtime/fpu.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

const double kPi = std::numbers::pi;
const double kInf = PlusInfinity;
volatile double vZero = 0.0; // not foldable, so faults happen at run time

ComplexRec R(double x, double y) {
    return MakeComplex(cfRectangular, x, y);
}
ComplexRec P(double r, double theta) {
    return MakeComplex(cfPolar, r, theta);
}

// Form and both parts; tol 0 compares bit for bit (infinities, substitutes).
::testing::AssertionResult Is(ComplexRec v, ComplexRec want, double tol = 1e-14) {
    const auto same = [tol](double a, double b) {
        if (tol == 0) return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
        return std::fabs(a - b) <= tol * std::max(1.0, std::fabs(b));
    };
    if (v.Form == want.Form && same(v.A, want.A) && same(v.B, want.B))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << int(v.Form) << ", " << v.A << ", " << v.B << "), want (" << int(want.Form)
           << ", " << want.A << ", " << want.B << ")";
}

TEST(Compli, ConstantsAndClassificationByBits) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(GetNaN()), 0x7FFFFFFFFFFFFFFFULL);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(GetInfinity()), 0x7FF0000000000000ULL);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(MinusInfinity), 0xFFF0000000000000ULL);
    struct {
        std::uint64_t bits;
        bool nan, infinite;
    } rows[] = {{0xFFF8000000000000ULL, true, false},  {0x7FF0000000000001ULL, true, false},
                {0xFFF0000000000000ULL, false, true},  {0x7FEFFFFFFFFFFFFFULL, false, false},
                {0x0000000000000001ULL, false, false}, {0x8000000000000000ULL, false, false}};
    for (const auto& row : rows) {
        EXPECT_EQ(IsNaN(std::bit_cast<double>(row.bits)), row.nan) << std::hex << row.bits;
        EXPECT_EQ(IsInfinite(std::bit_cast<double>(row.bits)), row.infinite) << row.bits;
    }
    EXPECT_EQ(SignedInfinity(0.0), PlusInfinity);
    EXPECT_EQ(SignedInfinity(-0.5), MinusInfinity);
}

TEST(ComplexArithmetic, NormalizeAngle) {
    EXPECT_NEAR(NormalizeAngle(3 * kPi), kPi, 1e-15);
    EXPECT_EQ(NormalizeAngle(kPi), kPi);
    EXPECT_NEAR(NormalizeAngle(-1.5 * kPi), 0.5 * kPi, 1e-15);
    EXPECT_NEAR(NormalizeAngle(-2 * kPi - 0.5), -0.5, 1e-15);
    // The double nearest -pi lies just inside -pi in extended, yet stands for -pi.
    EXPECT_EQ(NormalizeAngle(-kPi), kPi);
    // Huge angles end (reduced exactly first); infinite ones have no direction.
    for (double theta : {1e20, -DBL_MAX}) EXPECT_LE(std::fabs(NormalizeAngle(theta)), kPi) << theta;
    EXPECT_TRUE(std::isnan(NormalizeAngle(-kInf)));
}

TEST(ComplexArithmetic, ConvertForm) {
    EXPECT_TRUE(Is(ConvertForm(R(-1, 0), cfPolar), P(1, kPi)));
    EXPECT_TRUE(Is(ConvertForm(R(0, -2), cfPolar), P(2, -kPi / 2)));
    EXPECT_TRUE(Is(ConvertForm(R(-1, -0.0), cfPolar), P(1, kPi), 0)); // -0 too: principal angle
    EXPECT_TRUE(Is(ConvertForm(P(2, kPi / 2), cfRectangular), R(0, 2)));
    // Infinite parts lose their signs; a NaN gives a rectangular NaN for any target.
    EXPECT_TRUE(Is(ConvertForm(R(-kInf, 5), cfPolar), P(kInf, 0), 0));
    EXPECT_TRUE(Is(ConvertForm(R(-kInf, 5), cfRectangular), R(kInf, kInf), 0));
    const ComplexRec nan = ConvertForm(R(NaNValue, 1), cfPolar);
    EXPECT_TRUE(nan.Form == cfRectangular && IsNaN(nan.A) && IsNaN(nan.B));
}

TEST(ComplexArithmetic, OperationsKeepTheirForms) {
    EXPECT_TRUE(Is(CAdd(R(1, 2), P(2, kPi / 2)), R(1, 4)));
    EXPECT_TRUE(Is(CSub(P(1, kPi), R(1, 2)), R(-2, -2)));
    EXPECT_TRUE(Is(CMul(R(1, 2), R(3, 4)), R(-5, 10)));
    EXPECT_TRUE(Is(CMul(P(2, 3), R(0, 1)), P(2, 3 + kPi / 2 - 2 * kPi)));
    EXPECT_TRUE(Is(CDiv(R(1, 2), R(3, 4)), R(0.44, 0.08)));
    EXPECT_TRUE(Is(CDiv(P(6, 1), R(0, 2)), P(3, 1 - kPi / 2)));
    EXPECT_TRUE(Is(CConj(P(1, 2)), P(1, -2)));
    EXPECT_EQ(CAbs(R(3, -4)), 5);
    EXPECT_EQ(CNorm(P(3, 1)), 9);
    // Extended intermediates: no overflow for parts near the double limit.
    EXPECT_NEAR(rt::Checked([] { return CAbs(R(1e300, 1e300)); }), std::sqrt(2.0) * 1e300, 1e286);
    EXPECT_TRUE(Is(CClean(R(1e-13, -1e-12)), R(0, -1e-12), 0));
    EXPECT_TRUE(Is(CClean(P(1e-13, 2)), P(0, 0), 0)); // no modulus, no angle
}

TEST(ComplexArithmetic, SingularPointsGiveValuesNotFaults) {
    rt::ClearFaults();
    EXPECT_TRUE(Is(CDiv(R(1, 1), R(0, 0)), R(0, 0), 0));
    // The squared modulus of the divisor is kept in extended, small or large.
    EXPECT_TRUE(Is(CDiv(R(1, 1), R(1e-170, 0)), R(1e170, 1e170)));
    EXPECT_TRUE(Is(CDiv(R(1e160, 0), R(1e160, 0)), R(1, 0)));
    EXPECT_TRUE(Is(CLn(R(0, 0)), R(0, 0), 0));
    EXPECT_TRUE(Is(CPower(R(0, 0), R(2, 0)), R(0, 0), 0));
    EXPECT_TRUE(Is(CRoot(R(0, 0), 1, 3), R(0, 0), 0));
    EXPECT_TRUE(Is(CCot(R(0, 0)), R(0, 0), 0));
    EXPECT_TRUE(Is(CCoth(R(0, 0)), R(0, -0.0), 0)); // divides by 0.0001 instead of 0
    // 1 / cos of the double nearest pi/2: large but finite (mpmath 1.6331239353195369756e16).
    EXPECT_NEAR(CSec(R(kPi / 2, 0)).A, 1.6331239353195369756e16, 1e3);
    EXPECT_TRUE(Is(ComplexOne, R(1, 0), 0));
    EXPECT_FALSE(rt::FaultRaised());
    // The polar division does not test its divisor.
    EXPECT_THROW(rt::Checked([] { return CDiv(P(1, 0), P(vZero, 0)); }), rt::EZeroDivide);
}

TEST(ComplexArithmetic, LogarithmPowerRoot) {
    EXPECT_TRUE(Is(CLn(R(-1, 0)), R(0, kPi)));
    EXPECT_TRUE(Is(CExp(R(1, kPi / 2)), R(0, std::exp(1.0))));
    EXPECT_TRUE(Is(CPower(R(-1, 0), R(0.5, 0)), R(0, 1)));
    EXPECT_TRUE(Is(CRoot(R(-4, 0), 0, 2), R(0, 2)));
    EXPECT_TRUE(Is(CRoot(R(-4, 0), 1, 2), R(0, -2)));
    EXPECT_TRUE(Is(CRoot(R(8, 0), 1, 3), R(-1, std::sqrt(3.0))));
    EXPECT_GE(CRoot(R(-3, -1e-9), 0, 2).A, 0); // principal root: real part not negative
}

TEST(ComplexArithmetic, LargeArgumentLimitKeepsEarlierFaults) {
    rt::ClearFaults();
    // Beyond |2x| (|2y|) = 709, where cosh no longer fits a double: the limits.
    EXPECT_TRUE(Is(CTanh(R(400, 0)), R(1, 0), 0));
    EXPECT_TRUE(Is(CTanh(R(-400, -1)), R(-1, 0), 0));
    EXPECT_TRUE(Is(CTanh(R(6000, 0)), R(1, 0), 0));
    EXPECT_TRUE(Is(CCoth(R(400, 0)), R(1, 0), 0));
    EXPECT_TRUE(Is(CTan(R(1, -400)), R(0, -1), 0));
    EXPECT_TRUE(Is(CCot(R(1, -400)), R(0, 1), 0));
    EXPECT_FALSE(rt::FaultRaised());

    double early = 1.0 / vZero; // an earlier fault of the same evaluation
    rt::Settle(early);
    CTanh(R(400, 0));
    EXPECT_EQ(rt::FaultFlags(), FE_DIVBYZERO);
    rt::ClearFaults();
}

TEST(ComplexArithmetic, UnprotectedFaultsPass) {
    EXPECT_THROW(rt::Checked([] { return CExp(R(1000, 0)); }), rt::EOverflow); // when stored
    // e^x itself infinite: the overflow alone, no inf * sin 0.
    EXPECT_THROW(rt::Checked([] { return CExp(R(1e300, 0)); }), rt::EOverflow);
}

} // namespace
