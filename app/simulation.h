// The steps of the window's simulation without its timer and fields: the Q
// sweep between -10 and 10 and the turn of a view angle by one degree. The
// Q field shows two decimals and Q is read back from it, so a sweep moves
// through the values the field shows. No Qt.
#pragma once

namespace simulation {

inline constexpr double QLimit = 10;
// The Q step field holds hundredths, 1 to 20; the window starts at 10.
inline constexpr double MinQStep = 0.01;
inline constexpr double MaxQStep = 0.20;
inline constexpr double StartQStep = 0.10;

// q as the Q field shows it and hands it back: two decimals, never -0,
// clamped to -10..10.
double QFieldValue(double q);

// The Q sweep. It starts downward, as the window's does after start-up.
struct QSweep {
    double q = 0; // the Q field's value
    double step = StartQStep;
    bool up = false; // the direction of the next step

    // One tick: q moves one step; past -10 or 10 it stops at the bound and
    // the direction reverses (a step that lands exactly on a bound does not
    // reverse, so the bound shows for two ticks). Returns whether the
    // field's value changed, that is whether the window refills.
    bool Tick();
};

// The next angle of a rotation: the angle rounded to a whole degree plus
// one, 0 after 359 (also from 360, which a drag can leave in the field).
double NextAngle(double angle);

} // namespace simulation
