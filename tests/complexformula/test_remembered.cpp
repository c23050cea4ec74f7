#include "complexformula/remembered.h"

#include "runtime/fpu.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;
}

// The pair that f computes and the fault flags its computation raises.
template <class Pair, class F>
std::pair<Pair, int> WithFaults(F f) {
    rt::ClearFaults();
    Pair p = f();
    rt::Settle(p);
    const int faults = rt::FaultFlags();
    rt::ClearFaults();
    return {p, faults};
}

// Found or computed, a pair is the library's value to the bit, and a pair
// whose computation faults faults again at every call.
TEST(Remembered, EqualsTheLibraryFoundOrComputed) {
    const std::vector<long double> arguments = {
        0.0L,      -0.0L,  1.0L,    -3.774L,  3.996L,    1e-300L,    100.25L,
        -11000.0L, 1e300L, 1e4000L, LDBL_MAX, HUGE_VALL, -HUGE_VALL, NAN,
    };
    for (int round = 0; round < 3; ++round) {
        for (const long double x : arguments) {
            SCOPED_TRACE(static_cast<double>(x));
            volatile long double v = x; // the library's own values, computed apart
            const auto [t, tFaults] = WithFaults<SinCosPair>([&] { return SinCos(x); });
            const auto [tWant, tWantFaults] = WithFaults<SinCosPair>([&] {
                return SinCosPair{std::sin(v), std::cos(v)};
            });
            const auto [h, hFaults] = WithFaults<SinhCoshPair>([&] { return SinhCosh(x); });
            const auto [hWant, hWantFaults] = WithFaults<SinhCoshPair>([&] {
                return SinhCoshPair{std::sinh(v), std::cosh(v)};
            });
            if (!std::isnan(x)) {
                EXPECT_TRUE(SameBits(t.sin, tWant.sin) && SameBits(t.cos, tWant.cos));
                EXPECT_TRUE(SameBits(h.sinh, hWant.sinh) && SameBits(h.cosh, hWant.cosh));
            }
            EXPECT_EQ(tFaults, tWantFaults);
            EXPECT_EQ(hFaults, hWantFaults);
        }
    }
}

} // namespace
