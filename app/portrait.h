// The phase portrait: F over the x and y intervals at every pixel, hue = arg F
// on the phase wheel, brightness in steps at the powers of two of |F|.
// Computed on the fill pool with the compiled formula, each worker on its own
// interpreter state. Plain C++, no Qt.
#pragma once

#include "complexformula/interpreter.h"
#include "plot/phasecolor.h"

#include <atomic>
#include <string>
#include <vector>

namespace portrait {

struct PortraitJob {
    std::string formula; // Windows-1252, upper case
    CEvalState state;    // Q and P as the module holds them
    double xLow = -4, xHigh = 4, yLow = -4, yHigh = 4;
    int width = 0, height = 0; // pixels
    TPhaseWheel wheel = pwEvenLightness;
    bool steps = true; // brightness steps at |F| = 2^k
};

struct Portrait {
    int width = 0, height = 0;
    std::vector<TColor> pixels; // row by row from the top (y high), PhaseNeutralGray where F
                                // faulted, is not finite or has no phase
    int neutral = 0;            // how many pixels are grey
    bool cancelled = false;
};

// The colour of a value: its phase's colour, darkened by up to a third as
// log2 |w| runs from one whole number to the next, so each step brightens
// toward the next power of two and falls back there.
TColor PortraitColor(Complex w, TPhaseWheel wheel, bool steps);

// Pixel (c, r) shows F at x = xLow + (xHigh - xLow) (c + 1/2) / width,
// y = yHigh - (yHigh - yLow) (r + 1/2) / height.
Portrait ComputePortrait(const PortraitJob& job, const std::atomic<bool>* cancel = nullptr);

} // namespace portrait
