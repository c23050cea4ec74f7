// The floating-point faults as errors with German messages, raising the error
// of a fault flag, and restoring the flags a protected region saved.
#include "runtime/fpu.h"

#include <cfenv>

namespace rt {

namespace {
constexpr int kFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
}

EInvalidOp::EInvalidOp() : EMathError("Ungültige Gleitkommaoperation") {}
EZeroDivide::EZeroDivide() : EMathError("Gleitkommadivision durch Null") {}
EOverflow::EOverflow() : EMathError("Gleitkommaüberlauf") {}

static_assert(kFaultBits == kFaults, "the fault bits are the C library's flags");

void ClearRaisedFaults() {
    std::feclearexcept(kFaults);
}

void ThrowFault(int flags) {
    ClearRaisedFaults();
    if (flags & FE_INVALID) throw EInvalidOp();
    if (flags & FE_DIVBYZERO) throw EZeroDivide();
    throw EOverflow();
}

void ProtectedRegion::Restore(int flags) {
    std::feraiseexcept(flags);
}

} // namespace rt
