// What the complex formula language computes, one step at a time: the
// operators, the functions by their position in the keyword list, the modulus
// bars and the final overflow test. The interpreter, which computes while it
// reads, and the compiled program, which replays a translation, both call
// these and nothing else, so they compute the same bits.
//
// Each step that may raise a floating-point fault checks the flags right after
// it and throws the first fault as rt::EMathError: computing on with its
// infinities or NaNs would add an invalid operation that hides it.
#pragma once

#include "complexformula/interpreter.h"

#include <cstdint>
#include <numbers>
#include <string_view>

namespace cformula {

using Ext = long double;

constexpr Ext kPi = std::numbers::pi_v<Ext>;
constexpr Ext kE = std::numbers::e_v<Ext>;

// A function is known by the 1-based position of its name in this list. The
// original names come first; a name is looked up among them as a substring,
// so that fragments such as S (SQR) or E (EXP) select a function too. The
// names after them were added later and are found only by their whole name,
// and only where the original lookup selects no function: every text that
// the original names read keeps its reading.
constexpr std::string_view ComplexKeywordList =
    "SQR SQRT EXP LN ABS SIN COS TAN COSH SINH TANH GAMMA BI0 BJ0 SEC CSC COT DN SN CN "
    "RIEMANN TRE TIM COTH EI DIGAMMA RE IM ARG CONJ ZETA";
constexpr std::size_t ComplexOriginalKeywordsSize = 113;
constexpr std::string_view ComplexOriginalKeywords =
    ComplexKeywordList.substr(0, ComplexOriginalKeywordsSize);
static_assert(ComplexOriginalKeywords.ends_with(" DIGAMMA"));

// Every name of the list is a function: a position selects one exactly when a
// name starts there.
constexpr bool IsFunctionPosition(int k) {
    if (k < 1 || k > static_cast<int>(ComplexKeywordList.size())) return false;
    return k == 1 || ComplexKeywordList[static_cast<std::size_t>(k) - 2] == ' ';
}

// Decimal text to extended. A malformed token yields the value of its longest
// leading part of the form digits[.digits] (0 when there is none); a token
// with an exponent (a plain decimal, then "E" and a signed or unsigned integer)
// is read whole. A number too large for the extended range is +infinity, one
// too small 0. Nothing is reported and no fault flag is left behind.
Ext DecimalToExtended(std::string_view token);
// The length of the exponent "E" ["+" | "-"] digit {digit} that starts rest
// and follows the number token, 0 when none does. Only a plain decimal (digits
// with at most one point, at least one digit) takes an exponent.
std::size_t ExponentLength(std::string_view token, std::string_view rest);

// How a step treats the fault flags. Checked: the first fault raised leaves
// right after the step that raised it, as rt::EMathError (the interpreter's
// way). Deferred: no step tests the flags; they stay pending for the one test
// of FinalValue. A deferred evaluation that ends with no flag raised took the
// very path a checked one takes; one that ends with a flag must be repeated
// checked to find which fault leaves, and where.
enum class Faults { Checked, Deferred };

// One operator applied to two values; the operands' conversion to doubles is
// checked, the result is not.
Complex ApplyOperator(Complex left, Complex right, unsigned char op, std::uint8_t& status);
// One operator applied, then the fault check. status: ComplexStatus or a
// caller's own; '^' reads it.
template <Faults F>
Complex OperatorStep(const Complex& left, const Complex& right, unsigned char op,
                     std::uint8_t& status);
// The function at keyword position k (IsFunctionPosition(k)) of the argument
// w, then the fault check.
template <Faults F>
Complex FunctionStep(int k, const Complex& w, std::uint8_t& status);
// |w|, in extended precision; not checked (an overflow stays pending).
Complex Modulus(Complex w);
// The fault check between steps that have none of their own.
void CheckFault();
// The value of the formula from the value read: status 1 when reading
// stopped too deep, the final overflow test, then the last fault check.
Complex FinalValue(Complex v, bool tooDeep, std::uint8_t& status);

// The module variables as one evaluation's state: Q and P read on entry, the
// status written back on exit, also when an error leaves.
struct ModuleState {
    CEvalState State{ComplexStatus, ComplexParamQ, ComplexParamP};
    ModuleState() = default;
    ~ModuleState() { ComplexStatus = State.Status; }
    ModuleState(const ModuleState&) = delete;
    ModuleState& operator=(const ModuleState&) = delete;
};

} // namespace cformula
