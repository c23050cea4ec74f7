// The platform's floating-point unit as the program sees it.
//
// The environment runs with every exception masked; invalid operation,
// division by zero and overflow are faults, underflow and inexact are silent.
// Instead of trapping, code reads the sticky IEEE status flags: a scoped check
// turns a raised fault flag into a C++ exception, and a protected region lets a
// routine catch the faults of one computation locally without losing flags that
// were raised before it.
#pragma once

#include <cfloat>
#include <stdexcept>
#include <string>

static_assert(LDBL_MANT_DIG == 64, "long double must be the 80-bit extended type");

namespace rt {

// Base of the three floating-point errors; carries a German message.
class EMathError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
class EInvalidOp : public EMathError {
  public:
    EInvalidOp();
};
class EZeroDivide : public EMathError {
  public:
    EZeroDivide();
};
class EOverflow : public EMathError {
  public:
    EOverflow();
};

// The three flags that count as faults, as the C library numbers them
// (FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW); the x87 status word and MXCSR
// keep them in the same bits.
inline constexpr int kFaultBits = 0x01 | 0x04 | 0x08;

// The fault flags of both units, read directly: the x87 status word (extended
// arithmetic) and MXCSR (doubles). A few cycles, where the C library's
// environment calls store and reload the whole x87 environment.
inline int FaultFlags() {
    unsigned short x87;
    unsigned int sse;
    asm volatile("fnstsw %0" : "=am"(x87) : : "memory");
    asm volatile("stmxcsr %0" : "=m"(sse) : : "memory");
    return (x87 | static_cast<int>(sse)) & kFaultBits;
}
// Clears the flags of both units; the environment is touched only when one is
// raised, which is rare.
void ClearRaisedFaults();
inline void ClearFaults() {
    if (FaultFlags() != 0) ClearRaisedFaults();
}
inline bool FaultRaised() {
    return FaultFlags() != 0;
}
// Throws the error for a raised fault flag (invalid before zero-divide before
// overflow) and clears the flags; does nothing when none is raised.
[[noreturn]] void ThrowFault(int flags);
inline void ThrowPendingFault() {
    const int flags = FaultFlags();
    if (flags != 0) ThrowFault(flags);
}

// Forces v to be computed and stored before this point: the compiler may
// otherwise move floating-point work past a flag test or drop unused results.
template <class T>
inline void Settle(T& v) {
    asm volatile("" : "+m"(v) : : "memory");
}

// Clears the fault flags, runs f, and throws if f raised a fault.
template <class F>
auto Checked(F&& f) -> decltype(f()) {
    ClearFaults();
    if constexpr (std::is_void_v<decltype(f())>) {
        f();
        ThrowPendingFault();
    } else {
        auto result = f();
        Settle(result);
        ThrowPendingFault();
        return result;
    }
}

// A region whose faults are caught locally. On entry the flags raised so far
// are saved and cleared; Faulted() tells whether the region raised one; on exit
// the saved flags are restored (the region's own faults are discarded).
class ProtectedRegion {
  public:
    ProtectedRegion() : m_saved(FaultFlags()) {
        if (m_saved != 0) ClearRaisedFaults();
    }
    ~ProtectedRegion() {
        ClearFaults();
        if (m_saved != 0) Restore(m_saved);
    }
    ProtectedRegion(const ProtectedRegion&) = delete;
    ProtectedRegion& operator=(const ProtectedRegion&) = delete;
    bool Faulted() const { return FaultRaised(); }

  private:
    static void Restore(int flags);
    int m_saved;
};

} // namespace rt
