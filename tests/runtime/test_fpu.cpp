// The floating-point environment: faults as errors, silent underflow and
// inexact, and protected regions.
#include "runtime/fpu.h"

#include <gtest/gtest.h>

#include <cfloat>

namespace {

// Values the compiler cannot fold, so the operations happen at run time.
volatile double vZero = 0.0;
volatile double vHuge = DBL_MAX;
volatile long double vExtHuge = 1e4000L;

TEST(Fpu, EachFaultBecomesItsError) {
    EXPECT_THROW(rt::Checked([] { return 1.0 / vZero; }), rt::EZeroDivide);
    EXPECT_THROW(rt::Checked([] { return vZero / vZero; }), rt::EInvalidOp);
    EXPECT_THROW(rt::Checked([] { return vHuge * 2.0; }), rt::EOverflow);
    EXPECT_NO_THROW(rt::Checked([] { return vHuge / 2.0; }));
}

TEST(Fpu, StoringAnExtendedValueThatDoesNotFitADoubleOverflows) {
    EXPECT_THROW(rt::Checked([] { return static_cast<double>(vExtHuge); }), rt::EOverflow);
}

TEST(Fpu, UnderflowAndInexactAreSilent) {
    EXPECT_NO_THROW(rt::Checked([] { return 1e-300 * (vHuge > 0 ? 1e-300 : 1.0); }));
    EXPECT_NO_THROW(rt::Checked([] { return 1.0 / (3.0 + vZero); }));
}

TEST(Fpu, ErrorsDeriveFromEMathErrorWithGermanMessages) {
    try {
        rt::Checked([] { return vHuge * 4.0; });
        FAIL() << "no error";
    } catch (const rt::EMathError& e) {
        EXPECT_STREQ(e.what(), "Gleitkommaüberlauf");
    }
}

TEST(Fpu, ProtectedRegionCatchesItsOwnFaultAndKeepsEarlierOnes) {
    rt::ClearFaults();
    double early = 1.0 / vZero; // an earlier fault of the same evaluation
    rt::Settle(early);
    {
        rt::ProtectedRegion region;
        EXPECT_FALSE(region.Faulted());
        double inner = vHuge * 8.0;
        rt::Settle(inner);
        EXPECT_TRUE(region.Faulted());
    }
    EXPECT_THROW(rt::ThrowPendingFault(), rt::EZeroDivide);
    EXPECT_FALSE(rt::FaultRaised());
}

TEST(Fpu, ProtectedRegionDiscardsItsOwnFault) {
    rt::ClearFaults();
    {
        rt::ProtectedRegion region;
        double inner = vZero / vZero;
        rt::Settle(inner);
        EXPECT_TRUE(region.Faulted());
    }
    EXPECT_FALSE(rt::FaultRaised());
}

} // namespace
