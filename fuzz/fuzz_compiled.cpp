// The compiled form of a formula against EvalComplex, bit for bit.
//
// Input: Q and P (real parts) and three points Z as raw doubles, eight in
// all, then the formula text. The text is translated once and evaluated at
// each point, on the module variables and on an explicit state; every
// evaluation must match the interpreter's in both parts' bits, the status and
// the error that leaves (none, or which rt::EMathError).
#include "complexformula/compiled.h"
#include "complexformula/interpreter.h"
#include "fuzz/fuzz_input.h"
#include "runtime/fpu.h"

#include <cstring>

namespace {

struct Outcome {
    Complex value;
    std::uint8_t status = 0;
    int error = 0; // 0 none, 1 invalid, 2 zero-divide, 3 overflow
};

template <class F>
Outcome Run(F&& evaluate, const std::uint8_t& status) {
    Outcome out;
    try {
        out.value = evaluate();
    } catch (const rt::EInvalidOp&) {
        out.error = 1;
    } catch (const rt::EZeroDivide&) {
        out.error = 2;
    } catch (const rt::EOverflow&) {
        out.error = 3;
    }
    out.status = status;
    return out;
}

// The ten significant bytes of an extended value.
bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;
}

void Compare(const Outcome& interpreted, const Outcome& compiled) {
    if (interpreted.error != compiled.error) FuzzFail("another error leaves");
    if (interpreted.status != compiled.status) FuzzFail("another status");
    if (interpreted.error != 0) return;
    if (!SameBits(interpreted.value.re, compiled.value.re) ||
        !SameBits(interpreted.value.im, compiled.value.im))
        FuzzFail("another value");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    if (in.Remaining() < 64) return 0;
    const double q = in.RawDouble();
    const double p = in.RawDouble();
    Complex points[3];
    for (Complex& z : points) {
        z.re = in.RawDouble();
        z.im = in.RawDouble();
    }
    const std::string text = in.Rest();

    ComplexParamQ = Complex{q, 0};
    ComplexParamP = Complex{p, 0};
    const CompiledFormula compiled(text);
    // A long text of expensive functions costs up to seconds per point; it is
    // compared at its first point only, so an input stays within the time limit.
    const std::size_t count = text.size() > 8192 ? 1 : 3;
    for (std::size_t k = 0; k < count; ++k) {
        const Complex z = points[k];
        ComplexStatus = 0;
        const Outcome interpreted = Run([&] { return EvalComplex(text, z); }, ComplexStatus);
        ComplexStatus = 0;
        const Outcome onModule = Run([&] { return compiled.Eval(z); }, ComplexStatus);
        Compare(interpreted, onModule);
        CEvalState state{0, ComplexParamQ, ComplexParamP};
        const Outcome onState = Run([&] { return compiled.Eval(z, state); }, state.Status);
        Compare(interpreted, onState);
    }
    return 0;
}
