// The window's simulation steps as plain functions.
#include "app/simulation.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace simulation {

double QFieldValue(double q) {
    q = std::clamp(q, -QLimit, QLimit);
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, q, std::chars_format::fixed, 2);
    double shown = 0;
    if (ec == std::errc()) std::from_chars(text, end, shown);
    return shown == 0 ? 0.0 : shown; // no -0
}

bool QSweep::Tick() {
    double next = up ? q + step : q - step;
    if (next > QLimit) {
        next = QLimit;
        up = !up;
    }
    if (next < -QLimit) {
        next = -QLimit;
        up = !up;
    }
    const double shown = QFieldValue(next);
    const bool changed = shown != q;
    q = shown;
    return changed;
}

double NextAngle(double angle) {
    const double v = std::nearbyint(angle) + 1;
    return v > 359 ? 0 : v;
}

} // namespace simulation
