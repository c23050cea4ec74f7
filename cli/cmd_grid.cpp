// tessarel-cli grid: the 36 x 36 grid the window's fill makes of a formula,
// as comma-separated values, one line per row.
#include "app/cp1252.h"
#include "app/sampling.h"
#include "cli/command.h"
#include "plot/plot3d.h"
#include "runtime/fpu.h"

#include <cstdio>
#include <string>

namespace {

const char* const kUsage =
    "grid [--mode 1|2|3|4] [--q Q] [--x LO,HI] [--y LO,HI] [--z LO,HI] FORMULA";

// "LO,HI" split at the first comma; each half is an interval field's text.
void ReadBounds(const cli::OptionReader& options, const char* name, std::string& low,
                std::string& high) {
    const std::string* value = options.Value(name);
    if (!value) return;
    const auto comma = value->find(',');
    if (comma == std::string::npos)
        throw cli::UsageError(std::string("expected LO,HI after ") + name);
    low = text::Utf8ToCp1252(value->substr(0, comma));
    high = text::Utf8ToCp1252(value->substr(comma + 1));
}

int Run(const cli::Args& args) {
    const cli::OptionReader options(args, {}, {"--mode", "--q", "--x", "--y", "--z"});
    if (options.Positional().size() != 1) throw cli::UsageError("expected one FORMULA");
    sampling::SurfaceRequest request;
    request.formula = text::UpperCase1252(text::Utf8ToCp1252(options.Positional()[0]));
    if (const std::string* mode = options.Value("--mode")) {
        const double m = cli::ParseDouble(*mode);
        if (m != 1 && m != 2 && m != 3 && m != 4) throw cli::UsageError("--mode is 1, 2, 3 or 4");
        request.displayMode = static_cast<int>(m);
    }
    if (const std::string* q = options.Value("--q")) request.q = cli::ParseDouble(*q);
    ReadBounds(options, "--x", request.intervals[0], request.intervals[3]);
    ReadBounds(options, "--y", request.intervals[1], request.intervals[4]);
    ReadBounds(options, "--z", request.intervals[2], request.intervals[5]);

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
