// tessarel-cli render: the picture the window's plot shows for a formula and a
// few of the window's settings, written as PNG without a screen.
#include "app/sampling.h"
#include "app/windowplot.h"
#include "cli/command.h"
#include "cli/surfaceoptions.h"
#include "plot/plot3d.h"
#include "qtplot/qtcanvas.h"
#include "runtime/fpu.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

const char* const kUsage =
    "render [--mode 1|2|3|4] [--q Q] [--x LO,HI] [--y LO,HI] [--z LO,HI] [--angles X,Z] "
    "[--size S] [--mesh 0|1] [--coords 0|1] [--box 0|1] -o FILE.png FORMULA";

bool ReadSwitch(const cli::OptionReader& options, const char* name, bool fallback) {
    const std::string* value = options.Value(name);
    if (!value) return fallback;
    if (*value == "0") return false;
    if (*value == "1") return true;
    throw cli::UsageError(std::string(name) + " is 0 or 1");
}

// A GUI application on the offscreen platform unless one is chosen already.
std::unique_ptr<QGuiApplication> StartGui() {
    if (QGuiApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tessarel-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int Run(const cli::Args& given) {
    // "-o FILE" is the one short option; the reader knows only long ones.
    cli::Args args;
    std::string output;
    for (std::size_t k = 0; k < given.size(); ++k) {
        if (given[k] == "-o" || given[k] == "--output") {
            if (k + 1 >= given.size()) throw cli::UsageError("missing FILE after -o");
            output = given[++k];
        } else {
            args.push_back(given[k]);
        }
    }
    if (output.empty()) throw cli::UsageError("missing -o FILE.png");
    std::vector<std::string> valued = cli::SurfaceOptionNames();
    valued.insert(valued.end(), {"--angles", "--size", "--mesh", "--coords", "--box"});
    const cli::OptionReader options(args, {}, valued);
    const sampling::SurfaceRequest request = cli::ReadSurfaceRequest(options);
    double angleX = 66, angleZ = 115, size = windowplot::StartMagnification;
    if (const std::string* a = options.Value("--angles"))
        std::tie(angleX, angleZ) = cli::ParsePair(*a);
    if (const std::string* s = options.Value("--size")) size = cli::ParseDouble(*s);
    const bool mesh = ReadSwitch(options, "--mesh", true);
    const bool coords = ReadSwitch(options, "--coords", false);
    const bool box = ReadSwitch(options, "--box", false);

    const auto gui = StartGui();
    ImageHost host;
    TPlot3D plot;
    plot.SetHost(&host);
    plot.SetHoldPaint(true);
    windowplot::LoadStartView(plot);
    // What the window's controls make of it.
    plot.SetMagnification(size);
    plot.SetViewAngleX(angleX);
    plot.SetViewAngleZ(angleZ);
    plot.SetMeshVisible(mesh);
    windowplot::ShowScales(plot, coords);
    windowplot::ShowBox(plot, box);
    windowplot::UseLabelFont(plot);
    try {
        sampling::PrepareSurface(plot, request);
    } catch (const rt::EMathError& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 3;
    }
    // The window has painted many times before its picture settles; the label
    // font that the render event leaves on the canvas shows from the second
    // paint on.
    plot.SetHoldPaint(false);
    plot.Paint();
    if (!host.Image().save(QString::fromStdString(output), "PNG")) {
        std::fprintf(stderr, "error: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}

const cli::Registrar kRender({"render", kUsage, "write the window's picture of a formula as PNG",
                              Run});

} // namespace
