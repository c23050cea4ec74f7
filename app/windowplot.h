// The main window's plot as its start-up leaves it, and what its box and scale
// check boxes and its render event do to it. The window, the render command,
// the benchmarks, the fuzz target and the tests take these facts from here, so
// that all of them draw the same picture. No Qt.
#pragma once

#include "plot/plotbase.h"

class Canvas;
class TPlot3D;

namespace windowplot {

// The plot's size in pixels; the window lays its panels out around it.
inline constexpr int PlotWidth = 823;
inline constexpr int PlotHeight = 653;

// The magnification the window starts with: PlotHeight / 540 * 1.1, as the
// magnification field's two decimals show it.
inline constexpr double StartMagnification = 1.33;

// The edges of the bounding box: in front and hidden behind the surface.
inline constexpr TColor BoxFrameColor = 0x404040;
inline constexpr TColor BoxHiddenLineColor = 0xB0B0B0;

// Sizes the plot to PlotWidth x PlotHeight, loads the window's stored plot
// settings and then what its start-up changes: the centre in the middle of
// the plot and StartMagnification. Each setter repaints unless painting is
// held.
void LoadStartView(TPlot3D& plot);

// Shows the bounding box with its faces and edge colours, or hides it, as the
// box check box does. Each setter repaints unless painting is held.
void ShowBox(TPlot3D& plot, bool shown);

// Shows or hides the scales of all three axes, as the scale check box does.
void ShowScales(TPlot3D& plot, bool shown);

// The look the window's render event leaves on the canvas: white Verdana over
// a clear background. The scale labels are drawn before that event, so they
// show it from the second paint on.
void SetLabelFont(Canvas& canvas);

// Makes SetLabelFont the plot's render event.
void UseLabelFont(TPlot3D& plot);

} // namespace windowplot
