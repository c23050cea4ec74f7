#include "runtime/fpu.h"

#include <cfenv>

namespace rt {

namespace {
constexpr int kFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
}

EInvalidOp::EInvalidOp() : EMathError("Ungültige Gleitkommaoperation") {}
EZeroDivide::EZeroDivide() : EMathError("Gleitkommadivision durch Null") {}
EOverflow::EOverflow() : EMathError("Gleitkommaüberlauf") {}

int FaultFlags() { return std::fetestexcept(kFaults); }

void ClearFaults() { std::feclearexcept(kFaults); }

bool FaultRaised() { return FaultFlags() != 0; }

void ThrowPendingFault() {
    const int flags = FaultFlags();
    if (flags == 0) return;
    ClearFaults();
    if (flags & FE_INVALID) throw EInvalidOp();
    if (flags & FE_DIVBYZERO) throw EZeroDivide();
    throw EOverflow();
}

ProtectedRegion::ProtectedRegion() : m_saved(FaultFlags()) { ClearFaults(); }

ProtectedRegion::~ProtectedRegion() {
    ClearFaults();
    if (m_saved != 0) std::feraiseexcept(m_saved);
}

bool ProtectedRegion::Faulted() const { return FaultRaised(); }

} // namespace rt
