// The real formula interpreter of the interval fields: the value of a formula
// in X, P, Q and R, read and computed in one pass per call. Failures are a
// status code plus a substitute value, never an exception.
#pragma once

#include <array>
#include <cstdint>
#include <string>

extern double ParamP;
extern double ParamQ;
extern double ParamR;
// 0 ok, 1 syntax or range failure, 2 domain failure, 3 step function, 4 out of range.
extern std::uint8_t RealStatus;
extern std::array<std::string, 5> UserFunctionText; // F1..F5, slots 0..4

extern const double ValueLimit; // 1e10

// State of the pseudo-random generator of MCARLO; fixed at program start so the
// sequence repeats from run to run. Setting it restarts a known sequence.
extern std::uint32_t RandomState;

// text: Windows-1252 bytes; the caller upper-cases it.
double EvalReal(std::string text, double x);
