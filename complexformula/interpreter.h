// The complex formula interpreter: F(Z) from a formula text, one point per
// call. The text is prepared and read once, left to right, computing as it
// reads; nothing survives from one call to the next. Failures the language
// foresees are a status code plus a substitute value; floating-point faults
// that no rule guards leave EvalComplex as rt::EMathError, the first one raised.
#pragma once

#include "complexformula/arithmetic.h"

#include <cstdint>
#include <string>

// 0 ok, 1 syntax error, 2 domain error, 4 overflow; set by every call.
extern std::uint8_t ComplexStatus;
extern Complex ComplexParamQ; // the window writes the real part
extern Complex ComplexParamP; // nothing writes it

extern const long double ComplexLimit; // 1e30
extern const double JacobiModulus;     // 0.2

// text: Windows-1252 bytes, upper case as the formula line delivers it.
Complex EvalComplex(const std::string& text, Complex z);

// The state one evaluation reads and writes, for callers that keep their own
// instead of the module variables above.
struct CEvalState {
    std::uint8_t Status = 0; // as ComplexStatus
    Complex Q{};
    Complex P{};
};
// EvalComplex on an explicit state: reads Q and P, writes Status (also when an
// rt::EMathError leaves the call).
Complex EvalComplex(const std::string& text, Complex z, CEvalState& state);

// Where the reading of a formula text goes wrong, for a message to the user.
// The reading depends on no value, so one check covers every point. Positions
// are 1-based in the text as given (text.size() + 1 is its end).
struct CSyntaxReport {
    enum Kind {
        Clean,    // read to the end, every bracket closed
        Error,    // a syntax error (status 1): reading failed at position
        Unclosed, // no error, but the end of the text closed the bracket at position
        Unread,   // no error, but reading stopped before position (a surplus
                  // closing bracket, or the text cut after a "(-")
    };
    Kind kind = Clean;
    std::size_t position = 0;
};
CSyntaxReport CheckComplexSyntax(const std::string& text);

// Internals of the interpreter, open to tests.
//
// Brackets, modulus bars and function arguments nested deeper than this are a
// syntax error (status 1): reading stops there and the value read so far is
// returned. A level costs at most a few parser frames, measured at about 2 KB
// of stack (about 6 KB under AddressSanitizer), so 500 levels need about 1 MB
// (3 MB instrumented) of the usual 8 MB stack; no typed formula comes near.
inline constexpr int ComplexMaxNesting = 500;
// Commas to points; "(-" to "(0-", cutting the text after each such place to
// 255 characters.
std::string CPrepareText(std::string text);
// One operator of the formula language applied to two values.
Complex CApplyOperator(Complex left, Complex right, char op);
