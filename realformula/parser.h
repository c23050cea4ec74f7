// Internals of the real formula interpreter shared by its parser, operators
// and functions: the function names, the constants, the parser state and the
// entry points of operators and functions.
#pragma once

#include "realformula/interpreter.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The 72 function names; a function is the 1-based position where its name starts.
inline constexpr std::string_view KeywordList =
    "SQR SQRT EXP LN ABS SI SIN COS TAN ARCCOS LG ARCTAN SINH COSH TANH INT SGN F1 F2 F3 F4 "
    "COT LD ARCSIN ARSINH ARCOSH ARTANH SEC GAMMA GAUSS MCARLO CI EI BETA BESSJ0 BESSJ1 WURZEL "
    "WURZEL3 EHOCH WURZEL4 W3 W4 LOG CSC WP F5 VORZEICHEN FRAC EXPP GAMMALN HEAVISIDE SINW COSW "
    "TANW COTW ARCTANW ARCSINW GSUMME SN CN DN EULERPHI AI BI ARCCOT ARCSEC DIGAMMA TIME ARCCSC "
    "COTH SZ W5";

// True when a name of KeywordList starts at this 1-based position.
bool IsKeywordStart(int position);

// K0..K6: sqrt(2 pi), 1/pi, pi^2, sqrt(pi), 1/e, e^2, sqrt(e).
extern const std::array<double, 7> ConstantTable;

// The characters that continue a number: '.', '0'..'9' and code 233.
bool IsNumberChar(unsigned char c);

// The state of one EvalReal call, shared by its parser steps. Positions are
// 1-based like the text positions of the language; the save stack of the
// pending operator and minimum precedence lives on the call stack of ApplyChain.
struct ParserState {
    std::string text;
    std::int64_t length = 0;
    std::int64_t position = 1;
    std::int64_t scanIndex = 0;
    int currentOperator = 0;
    std::uint8_t currentPrecedence = 0;
    std::uint8_t minimumPrecedence = 0;
    int pendingOperator = 0;
    double accumulator = 0;
    double x = 0;
};

// One two-operand operation; may set RealStatus, ';' writes ParamP.
double ApplyOperator(unsigned char op, double left, double right);
// a ^ b; a root applies it with exponent 1/right and rootLimit true, which
// lowers the bound on |b ln |a|| from 16 to 15.
double Power(double a, long double b, bool rootLimit);
// a ^ b for a < 0 and an integer b; fails otherwise or when |b ln |a|| > 15.
double NegativeBasePower(double a, long double b);

// The function whose name starts at this KeywordList position, applied to the argument.
double CallFunction(int position, double argument);
// F1..F5 (slot 1..5): the nested evaluation of UserFunctionText with X = t.
double UserFunction(int slot, double t);
