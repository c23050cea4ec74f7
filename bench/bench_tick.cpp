// One tick of the Q sweep as the window runs it every 15 ms: the fill of the
// default formula for the next Q, then the repaint of the plot into its
// off-screen image at the window's size. QSweepTickAt does the same on an
// N x N grid, on all threads and on one: how the tick grows with N.
#include "app/fillpool.h"
#include "app/sampling.h"
#include "app/windowplot.h"
#include "plot/plot3d.h"
#include "qtplot/qtcanvas.h"

#include <benchmark/benchmark.h>

namespace {

// Ticks of the Q sweep on an N x N grid: Q one step further, the fill, the
// repaint.
void RunTicks(benchmark::State& state, int points) {
    ImageHost host;
    TPlot3D plot;
    plot.SetHost(&host);
    windowplot::LoadStartView(plot);
    sampling::SurfaceRequest request;
    request.formula = "SIN(Z+Q)*Z/10";
    request.points = points;
    sampling::PrepareSurface(plot, request);
    double q = 0;
    for (auto _ : state) {
        q -= 0.1;
        if (q < -10) q = 10;
        sampling::SetQ(q);
        sampling::FillSurface(plot, request.formula, sampling::dmRealPart, points);
        plot.Paint();
    }
}

void QSweepTick(benchmark::State& state) {
    RunTicks(state, sampling::GridPoints);
}
BENCHMARK(QSweepTick)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Arguments: N, then the threads (1, or 0 for all).
void QSweepTickAt(benchmark::State& state) {
    fillpool::SetThreads(static_cast<int>(state.range(1)));
    RunTicks(state, static_cast<int>(state.range(0)));
    fillpool::SetThreads(0);
}
BENCHMARK(QSweepTickAt)
    ->ArgsProduct({{36, 64, 128}, {0, 1}})
    ->ArgNames({"N", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void FillOnly(benchmark::State& state) {
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    for (auto _ : state) sampling::FillSurface(plot, "SIN(Z+Q)*Z/10", sampling::dmRealPart);
}
BENCHMARK(FillOnly)->Unit(benchmark::kMillisecond);

} // namespace
