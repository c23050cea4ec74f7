// The hue wheel that colours a complex value by its phase: arg 0 red,
// 2 pi/3 green, -2 pi/3 blue, running counter-clockwise. Shared by the
// surface coloured by phase, the phase portrait and the legend's wheel.
#pragma once

#include "plot/plotbase.h"

enum TPhaseWheel {
    // Even lightness and chroma, built in the OKLab colour space, so that no
    // false light bands appear at yellow and cyan.
    pwEvenLightness,
    // The classic HSV wheel at full saturation and value.
    pwHsv
};

// The colour of points that have no phase: F is 0, not finite, or faulted.
inline constexpr TColor PhaseNeutralGray = 0x808080;

// The wheel's colour at phase (radians, any finite value; it is taken modulo
// 2 pi); PhaseNeutralGray for a non-finite phase. Read from a table of
// PhaseSteps colours, so it is cheap enough for every pixel.
TColor PhaseColor(double phase, TPhaseWheel wheel);
inline constexpr int PhaseSteps = 4096;

// A phase as a unit vector; (0, 0) for a point without a phase (NaN).
struct PhaseVector {
    double x = 0, y = 0;
};
PhaseVector ToPhaseVector(double phase);

// The phase over a cell from its corners' vectors: the argument of their sum,
// so that neighbouring cells change colour smoothly except where the phase
// really jumps. NaN when no corner has a phase or the vectors cancel (up to
// rounding).
double CellPhase(const PhaseVector* corners, int count);
