// tessarel-cli render: the picture the window's plot shows for a formula and
// the window's settings, written as PNG, SVG or PDF without a screen.
#include "app/surfaceoptions.h"
#include "app/windowplot.h"
#include "cli/command.h"
#include "cli/picture.h"
#include "cli/progress.h"
#include "runtime/fpu.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>

#include <memory>
#include <string>

namespace {

struct Options {
    surfaceoptions::SurfaceOptionSet surface;
    std::string output, format, width, height;
};

int Run(const CLI::App& app, const Options& o) {
    const surfaceoptions::SurfaceOptions options = o.surface.Read();
    const cli::PictureFormat format = cli::PictureFormatOf(o.format, "-o", o.output);
    const int width =
        app.count("--width")
            ? static_cast<int>(surfaceoptions::ParseInteger("--width", o.width, 1, cli::MaxSide))
            : windowplot::PlotWidth;
    const int height =
        app.count("--height")
            ? static_cast<int>(surfaceoptions::ParseInteger("--height", o.height, 1, cli::MaxSide))
            : windowplot::PlotHeight;

    // A file that cannot be written fails before the computing.
    if (o.output != "-" && !cli::OutputWritable(o.output)) return cli::ExitOutputFailed;

    const auto gui = cli::StartGui();
    cli::Scene scene(options);
    // A fault leaves its points undrawn; the picture of the others is written
    // all the same, and the status says that it is incomplete.
    int status = 0;
    try {
        const int points = options.request.points;
        cli::Progress progress(1, points * points);
        scene.Fill(progress.Points());
    } catch (const rt::EMathError& e) {
        cli::ReportError(e.what());
        status = cli::ExitMathError;
    }
    QByteArray bytes;
    switch (format) {
    case cli::PictureFormat::Png:
        bytes = scene.Png(width, height);
        break;
    case cli::PictureFormat::Svg:
        bytes = scene.Svg(width, height);
        break;
    case cli::PictureFormat::Pdf:
        bytes = scene.Pdf(width, height);
        break;
    }
    if (bytes.isEmpty()) {
        cli::ReportError("cannot make the picture of " + std::to_string(width) + " x " +
                         std::to_string(height) + " pixels");
        return cli::ExitOutputFailed;
    }
    const bool written =
        o.output == "-" ? cli::WriteStdout(bytes) : cli::WriteFile(o.output, bytes);
    return written ? status : cli::ExitOutputFailed;
}

std::function<int()> Setup(CLI::App& app) {
    auto o = std::make_shared<Options>();
    o->surface.AddTo(app,
                     surfaceoptions::SurfaceOptionSet::Surface |
                         surfaceoptions::SurfaceOptionSet::View |
                         surfaceoptions::SurfaceOptionSet::Points,
                     true);
    app.add_option("-o,--output", o->output,
                   "the picture: FILE.png, FILE.svg (vector) or FILE.pdf; - writes PNG to "
                   "standard output")
        ->type_name("FILE")
        ->required();
    app.add_option("--format", o->format, "png, svg or pdf whatever the file's ending")
        ->type_name("png|svg|pdf")
        ->check(CLI::IsMember({"png", "svg", "pdf"}));
    app.add_option("--width", o->width, "picture width in pixels, 1 to 8192 (default 823)")
        ->type_name("W");
    app.add_option("--height", o->height, "picture height in pixels, 1 to 8192 (default 653)")
        ->type_name("H");
    app.footer(std::string("The defaults are the window right after start-up. Another size scales "
                           "the whole\npicture, centred where the proportions differ.\n") +
               surfaceoptions::SamplingHelp());
    return [&app, o] { return Run(app, *o); };
}

const cli::Registrar kRender({"render", "write the window's picture of a formula", Setup});

} // namespace
