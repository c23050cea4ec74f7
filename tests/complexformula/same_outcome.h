// The outcome of one complex evaluation (value bits, status, the error that
// left) and the check that the interpreter gives it twice and the compiled
// form gives it too.
#pragma once

#include "complexformula/compiled.h"
#include "complexformula/interpreter.h"

#include "runtime/fpu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace complextest {

struct Outcome {
    Complex value;
    std::uint8_t status = 0;
    std::string error; // the message of the rt::EMathError that left, if any
};

template <class F>
Outcome Run(F&& evaluate, const std::uint8_t& status) {
    Outcome out;
    try {
        out.value = evaluate();
    } catch (const rt::EMathError& e) {
        out.error = e.what();
    }
    out.status = status;
    return out;
}

inline bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;
}

inline bool Same(const Outcome& a, const Outcome& b) {
    return a.error == b.error && a.status == b.status &&
           (!a.error.empty() ||
            (SameBits(a.value.re, b.value.re) && SameBits(a.value.im, b.value.im)));
}

// The interpreter twice, then the compiled form on the module variables and on
// an explicit state: all four the same.
inline ::testing::AssertionResult SameOutcome(const std::string& text,
                                              const CompiledFormula& compiled, Complex z) {
    ComplexStatus = 0;
    const Outcome want = Run([&] { return EvalComplex(text, z); }, ComplexStatus);
    ComplexStatus = 0;
    const Outcome again = Run([&] { return EvalComplex(text, z); }, ComplexStatus);
    ComplexStatus = 0;
    const Outcome module = Run([&] { return compiled.Eval(z); }, ComplexStatus);
    CEvalState state{0, ComplexParamQ, ComplexParamP};
    const Outcome own = Run([&] { return compiled.Eval(z, state); }, state.Status);
    for (const Outcome* got : {&again, &module, &own}) {
        if (!Same(*got, want))
            return ::testing::AssertionFailure()
                   << (got == &again ? "interpreter twice" : "compiled") << ": text \"" << text
                   << "\" at " << static_cast<double>(z.re) << "+" << static_cast<double>(z.im)
                   << "i: status " << int(got->status) << " vs " << int(want.status) << ", error \""
                   << got->error << "\" vs \"" << want.error << "\", value "
                   << static_cast<double>(got->value.re) << " vs "
                   << static_cast<double>(want.value.re);
    }
    return ::testing::AssertionSuccess();
}

} // namespace complextest
