// The legend at the plot's right edge, so that a colour can be read as a
// number: by height a colour bar with the values of its ramp, by phase the hue
// wheel labelled 0, pi/2, pi and -pi/2 (Windows-1252 has no pi).
#pragma once

#include "plot/canvas.h"

class TPlot3D;

// Draws the legend of plot's SurfaceColoring into its Width() x Height()
// picture. Each bar label is centred on the row whose colour its value has;
// each wheel label stands outside the wheel in the direction of its phase.
void DrawLegend(Canvas& canvas, const TPlot3D& plot);
