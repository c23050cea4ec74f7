// One paint of the main window's picture: a 36 x 36 surface at the window's
// plot size and settings, with mesh, box and scales, rendered through the
// image canvas.
#include <benchmark/benchmark.h>
#include <cmath>

#include "app/windowplot.h"
#include "plot/plot3d.h"
#include "qtplot/qtcanvas.h"

namespace {

void SetUp(TPlot3D& plot) {
    plot.SetHoldPaint(true);
    windowplot::LoadStartView(plot);
    windowplot::ShowBox(plot, true);
    windowplot::ShowScales(plot, true);
    windowplot::UseLabelFont(plot);
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
