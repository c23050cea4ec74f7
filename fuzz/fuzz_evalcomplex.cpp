// EvalComplex on any text, any Z and any Q.
//
// Input: Z's real part, Z's imaginary part and Q as three raw doubles, then
// the formula text. An rt::EMathError leaving EvalComplex is the designed way
// for an unguarded floating-point fault to reach the window; anything else
// that escapes (another exception, a crash, a sanitizer report) is a finding.
// Each input is evaluated twice: the interpreter keeps nothing between calls,
// so both calls must agree.
#include "complexformula/interpreter.h"
#include "fuzz/fuzz_input.h"
#include "runtime/fpu.h"

namespace {

struct Outcome {
    Complex value;
    std::uint8_t status = 0;
    bool faulted = false;
};

Outcome Evaluate(const std::string& text, Complex z) {
    Outcome out;
    rt::ClearFaults();
    try {
        out.value = EvalComplex(text, z);
    } catch (const rt::EMathError&) {
        out.faulted = true;
    }
    out.status = ComplexStatus;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    if (in.Remaining() < 24) return 0;
    const double zRe = in.RawDouble();
    const double zIm = in.RawDouble();
    const double q = in.RawDouble();
    const std::string text = in.Rest();

    // The window's view of the module state: Q in the real part, P untouched.
    ComplexParamQ = Complex{q, 0};
    ComplexParamP = Complex{};
    ComplexStatus = 0;

    const Complex z{zRe, zIm};
    const Outcome first = Evaluate(text, z);
    const Outcome second = Evaluate(text, z);

    if (first.faulted != second.faulted) FuzzFail("a second call faults differently");
    if (first.faulted) return 0;
    if (first.status != 0 && first.status != 1 && first.status != 2 && first.status != 4)
        FuzzFail("ComplexStatus outside 0, 1, 2, 4");
    if (first.status != second.status) FuzzFail("a second call sets another status");
    if (!SameValue(first.value.re, second.value.re) || !SameValue(first.value.im, second.value.im))
        FuzzFail("a second call returns another value");
    if (text.empty() && first.status != 1) FuzzFail("the empty text does not give status 1");
    return 0;
}
