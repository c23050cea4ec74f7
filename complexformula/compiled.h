// A complex formula translated once and evaluated at many points.
//
// The translation reads the text with the interpreter's own reader and
// records its steps, in the order a reading takes them, as a flat program for
// a small stack machine: the values pushed, the operators and functions
// applied, the fault checks and the status writes of syntax errors. Replaying
// it computes what EvalComplex computes for the same text: the same bits, the
// same status, the same error where one leaves. Nothing in the reading depends
// on a value, so every text translates; a text whose program would not fit the
// instruction format is read afresh at every point instead.
#pragma once

#include "complexformula/interpreter.h"
#include "complexformula/operations.h"

#include <cstdint>
#include <string>
#include <vector>

class CompiledFormula {
  public:
    // text: as for EvalComplex.
    explicit CompiledFormula(const std::string& text);

    // EvalComplex(text, z), on the module variables.
    Complex Eval(Complex z) const;
    // EvalComplex(text, z, state).
    Complex Eval(Complex z, CEvalState& state) const;

    // The text is read at every point: its program would not fit.
    bool Interpreted() const { return m_interpreted; }
    // The memory the program holds, in bytes.
    std::size_t ProgramBytes() const;

  private:
    Complex RunTwice(Complex z, CEvalState& state, Complex* stack) const;
    template <cformula::Faults F>
    Complex Run(Complex z, CEvalState& state, Complex* stack) const;

    std::string m_text;                // kept only when interpreted
    std::vector<std::uint32_t> m_code; // opcode in the low byte, its operand above
    std::vector<long double> m_numbers;
    std::size_t m_maxDepth = 0; // of the value stack
    bool m_empty = false;
    bool m_tooDeep = false;
    bool m_interpreted = false;
};
