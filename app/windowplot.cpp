// The plot's start-up view, and what the window's box and scale check boxes
// and its render event do to the plot.
#include "app/windowplot.h"

#include "app/sampling.h"
#include "plot/canvas.h"
#include "plot/plot3d.h"

namespace windowplot {

void LoadStartView(TPlot3D& plot) {
    plot.SetSize(PlotWidth, PlotHeight);
    sampling::LoadWindowPlotSettings(plot);
    plot.SetCentX(PlotWidth / 2);
    plot.SetCentY(PlotHeight / 2);
    plot.SetMagnification(StartMagnification);
}

void ShowBox(TPlot3D& plot, bool shown) {
    if (shown) {
        plot.SetColorCubeFrame(BoxFrameColor);
        plot.SetColorCubeHidLin(BoxHiddenLineColor);
        plot.SetBoundBoxStyle(bbFaces);
    } else {
        plot.SetBoundBoxStyle(bbNone);
    }
}

void ShowScales(TPlot3D& plot, bool shown) {
    plot.SetVisibleXCoords(shown);
    plot.SetVisibleYCoords(shown);
    plot.SetVisibleZCoords(shown);
}

void SetLabelFont(Canvas& canvas) {
    canvas.SetBrushStyle(bsClear);
    canvas.SetFontColor(clWhite);
    canvas.SetFontName("Verdana");
}

void UseLabelFont(TPlot3D& plot) {
    plot.OnDataRendered = [](TPlot3D&, Canvas*& canvas) { SetLabelFont(*canvas); };
}

} // namespace windowplot
