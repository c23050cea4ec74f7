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

// The three flags that count as faults.
int FaultFlags();
void ClearFaults();
bool FaultRaised();
// Throws the error for a raised fault flag (invalid before zero-divide before
// overflow) and clears the flags; does nothing when none is raised.
void ThrowPendingFault();

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
    ProtectedRegion();
    ~ProtectedRegion();
    ProtectedRegion(const ProtectedRegion&) = delete;
    ProtectedRegion& operator=(const ProtectedRegion&) = delete;
    bool Faulted() const;

  private:
    int m_saved;
};

} // namespace rt
