// tessarel-cli grid: the 36 x 36 grid the window's fill makes of a formula,
// as comma-separated values, one line per row.
#include "app/sampling.h"
#include "cli/command.h"
#include "cli/surfaceoptions.h"
#include "plot/plot3d.h"
#include "runtime/fpu.h"

#include <cstdio>
#include <string>

namespace {

const char* const kUsage =
    "grid [--mode 1|2|3|4] [--q Q] [--x LO,HI] [--y LO,HI] [--z LO,HI] FORMULA";

int Run(const cli::Args& args) {
    const cli::OptionReader options(args, {}, cli::SurfaceOptionNames());
    const sampling::SurfaceRequest request = cli::ReadSurfaceRequest(options);

    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    try {
        sampling::PrepareSurface(plot, request);
    } catch (const rt::EMathError& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 3;
    }
    const TMatrix& grid = plot.SurfaceData();
    for (int row = 1; row <= grid.NrOfRows(); ++row) {
        for (int col = 1; col <= grid.NrOfColumns(); ++col)
            std::printf(col == 1 ? "%.17g" : ",%.17g", grid.Cell(col, row));
        std::printf("\n");
    }
    return 0;
}

const cli::Registrar kGrid({"grid", kUsage, "print the sampled 36 x 36 grid as CSV", Run});

} // namespace
