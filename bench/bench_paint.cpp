// One paint of the main window's picture: a 36 x 36 surface at 823 x 653
// with mesh, box and scales, rendered through the image canvas.
#include <benchmark/benchmark.h>
#include <cmath>

#include "plot/plot3d.h"
#include "qtplot/qtcanvas.h"

namespace {

void SetUp(TPlot3D& plot) {
    plot.SetHoldPaint(true);
    plot.SetSize(823, 653);
    plot.SetCentX(411);
    plot.SetCentY(326);
    plot.SetMagnification(1.33);
    plot.SetViewAngleX(66);
    plot.SetViewAngleZ(115);
    plot.SetRangeXLow(-3.996);
    plot.SetRangeXHigh(3.996);
    plot.SetRangeYLow(4);
    plot.SetRangeYHigh(-4);
    plot.SetRangeZLow(-4);
    plot.SetRangeZHigh(4);
    plot.SetColorScaleHigh(8);
    plot.SetColorScaleLow(-7);
    plot.SetColorLow(clFuchsia);
    plot.SetColorHigh(clYellow);
    plot.SetColorMesh(clMaroon);
    plot.SetColorXCoords(clBlue);
    plot.SetColorYCoords(clBlue);
    plot.SetColorZCoords(clRed);
    plot.SetDecPlaceZ(1);
    plot.SetBoundBoxStyle(bbFaces);
    plot.SetMeshVisible(true);
    plot.SetVisibleXCoords(true);
    plot.SetVisibleYCoords(true);
    plot.SetVisibleZCoords(true);
    plot.SetFrameStyle(fsNone);
    plot.SurfaceData().Resize(36, 36);
    for (int i = 1; i <= 36; ++i)
        for (int j = 1; j <= 36; ++j) {
            const double x = -4 + 8.0 * (i - 1) / 35, y = 4 - 8.0 * (j - 1) / 35;
            plot.SurfaceData().SetCell(i, j, 2.5 * std::sin(x) * std::cos(y / 2));
        }
}

void BM_PaintMainWindow(benchmark::State& state) {
    TPlot3D plot;
    ImageHost host;
    plot.SetHost(&host);
    SetUp(plot);
    plot.SetHoldPaint(false);
    for (auto _ : state) {
        plot.Paint();
        benchmark::DoNotOptimize(host.Image().constBits());
    }
}
BENCHMARK(BM_PaintMainWindow)->Unit(benchmark::kMillisecond);

} // namespace
