// What the window shares with its fills beyond the controls: the formula as
// last drawn, the display mode, the direction of the Q sweep and the grid's
// points per axis. The window
// holds one and hands its formula and mode to every fill; Q lives in the
// interpreters, where the interval fields read it too. No Qt.
#pragma once

#include "app/sampling.h"

#include <string>

struct ViewState {
    std::string formula; // Windows-1252, upper case, as the formula line delivers it
    int displayMode = sampling::dmRealPart;
    bool sweepUp = false;              // the Q sweep's next step goes up
    int points = sampling::GridPoints; // samples per axis, 8..400 in the window
    bool logHeight = false;            // the modulus drawn as log10 |F(Z)|
};
