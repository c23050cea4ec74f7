// tessarel-cli grid: the grid the window's fill makes of a formula, as bare
// values (one line per row) or as CSV with the coordinates of every point.
#include "app/sampling.h"
#include "app/surfaceoptions.h"
#include "cli/command.h"
#include "cli/progress.h"
#include "plot/plot3d.h"
#include "runtime/fpu.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

namespace {

struct Options {
    surfaceoptions::SurfaceOptionSet surface;
    std::string format = "values";
};

// Row i holds Cell[1, i] ... Cell[N, i], comma-separated.
void PrintValues(const TMatrix& grid) {
    for (int row = 1; row <= grid.NrOfRows(); ++row) {
        for (int col = 1; col <= grid.NrOfColumns(); ++col)
            std::printf(col == 1 ? "%.17g" : ",%.17g", grid.Cell(col, row));
        std::printf("\n");
    }
}

int Run(const Options& o) {
    const surfaceoptions::SurfaceOptions options = o.surface.Read();
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    const sampling::SurfaceRequest& request = options.request;
    try {
        // The window's steps of PrepareSurface, with the fill recorded.
        sampling::SetQ(request.q);
        sampling::ApplyIntervals(plot, sampling::ReadIntervals(request.intervals));
        sampling::FillRecord record;
        {
            cli::Progress progress(1, request.points * request.points);
            sampling::FillSurface(plot, request, &record, progress.Points());
        }
        if (o.format == "csv")
            sampling::WriteCsv(std::cout, record);
        else
            PrintValues(plot.SurfaceData());
    } catch (const rt::EMathError& e) {
        cli::ReportError(e.what());
        return cli::ExitMathError;
    }
    return 0;
}

std::function<int()> Setup(CLI::App& app) {
    auto o = std::make_shared<Options>();
    o->surface.AddTo(
        app, surfaceoptions::SurfaceOptionSet::Surface | surfaceoptions::SurfaceOptionSet::Points,
        true);
    app.add_option("--format", o->format,
                   "values: one line per row i holding the values of columns 1..N; csv: a header "
                   "and one line per point p, i, x, y, Re F, Im F and the drawn value")
        ->type_name("values|csv")
        ->check(CLI::IsMember({"values", "csv"}));
    app.footer(surfaceoptions::SamplingHelp());
    return [o] { return Run(*o); };
}

const cli::Registrar kGrid({"grid", "print the sampled grid the window would draw", Setup});

} // namespace
