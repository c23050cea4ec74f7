// Complex numbers and their arithmetic.
//
// Complex is the interpreter's value: two extended reals. ComplexRec is the
// arithmetic's own record, tagged rectangular or polar, in double precision;
// every operation converts its operands to the form it needs. Intermediate
// values are computed in extended precision and stored as doubles.
#pragma once

#include <cstdint>
#include <stdexcept>

struct Complex {
    long double re = 0;
    long double im = 0;
};

enum ComplexForm : std::uint8_t { cfPolar = 0, cfRectangular = 1 };

struct ComplexRec {
    ComplexForm Form = cfRectangular;
    double A = 0; // real part x, or modulus r (not negative)
    double B = 0; // imaginary part y, or angle theta in radians
};

// Never raised by the arithmetic itself; CSec and CCsc catch them.
class EComplexZeroDivide : public std::exception {};
class EComplexInvalidOp : public std::exception {};

extern ComplexRec ComplexZero; // rectangular (0, 0)
extern ComplexRec ComplexOne;  // rectangular (1, 0)

ComplexRec MakeComplex(ComplexForm form, double a, double b);
ComplexRec ConvertForm(ComplexRec z, ComplexForm target);
ComplexRec CAdd(ComplexRec a, ComplexRec b);
ComplexRec CSub(ComplexRec a, ComplexRec b);
ComplexRec CMul(ComplexRec a, ComplexRec b);
ComplexRec CDiv(ComplexRec a, ComplexRec b);
double CAbs(ComplexRec z);
double CNorm(ComplexRec z);
// The squared modulus unrounded: never 0 for a nonzero z, never overflowing.
long double CNormExtended(ComplexRec z);
ComplexRec CConj(ComplexRec z);
ComplexRec CClean(ComplexRec z);
ComplexRec CLn(ComplexRec z);
ComplexRec CExp(ComplexRec z);
ComplexRec CPower(ComplexRec a, ComplexRec b);
ComplexRec CRoot(ComplexRec z, std::uint16_t k, std::uint16_t n);
ComplexRec CCos(ComplexRec z);
ComplexRec CSin(ComplexRec z);
ComplexRec CTan(ComplexRec z);
ComplexRec CSec(ComplexRec z);
ComplexRec CCsc(ComplexRec z);
ComplexRec CCot(ComplexRec z);
ComplexRec CCosh(ComplexRec z);
ComplexRec CSinh(ComplexRec z);
ComplexRec CTanh(ComplexRec z);
ComplexRec CCoth(ComplexRec z);
double NormalizeAngle(double theta);
double ZeroIfTiny(double v);

