// NaN and infinity support for doubles, by bit pattern.
#pragma once

extern const double NaNValue;      // 0x7FFFFFFFFFFFFFFF
extern const double PlusInfinity;  // 0x7FF0000000000000
extern const double MinusInfinity; // 0xFFF0000000000000

bool IsNaN(double v);
bool IsInfinite(double v);
double GetNaN();
double GetInfinity();
double SignedInfinity(double v); // +inf for v >= 0, else -inf
