// Floating-point faults that no operator or function rule guards against
// (an overflow in a sum, a quotient too large for a double, an infinite
// argument) are settled the way a zero divisor is: a division by zero gives
// ValueLimit, an overflow or an infinite result ValueLimit with its sign, an
// invalid operation 0, and all set status 2.
#pragma once

#include "realformula/interpreter.h"
#include "runtime/fpu.h"

#include <cfenv>
#include <cmath>

namespace realformula_detail {

// The result of "fail": 0 with status 2.
inline double Fail() {
    RealStatus = 2;
    return 0;
}

template <class Rule>
double GuardedRule(Rule&& rule) {
    rt::ProtectedRegion region;
    double value = rule();
    rt::Settle(value);
    const int faults = rt::FaultFlags();
    if ((faults & FE_INVALID) != 0 || std::isnan(value)) return Fail();
    if (faults != 0 || std::isinf(value)) {
        RealStatus = 2;
        const bool negative = (faults & FE_DIVBYZERO) == 0 && std::signbit(value);
        return negative ? -ValueLimit : ValueLimit;
    }
    return value;
}

} // namespace realformula_detail
