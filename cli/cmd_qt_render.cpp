// tessarel-cli render: the picture the window's plot shows for a formula and
// the window's settings, written as PNG, SVG or PDF without a screen.
#include "app/portrait.h"
#include "app/surfaceoptions.h"
#include "app/windowplot.h"
#include "cli/command.h"
#include "cli/picture.h"
#include "cli/progress.h"
#include "qtplot/pictureio.h"
#include "runtime/fpu.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>

#include <memory>
#include <string>

namespace {

struct Options {
    surfaceoptions::SurfaceOptionSet surface;
    std::string output, format, width, height, view = "surface";
};

// The phase portrait of the options' formula over their x and y intervals,
// at Q, one pixel per point of a width x height picture.
QImage PortraitImage(const surfaceoptions::SurfaceOptions& options, int width, int height) {
    sampling::SetQ(options.request.q);
    const sampling::IntervalValues ranges =
        sampling::RangesOf(sampling::ReadIntervals(options.request.intervals));
    portrait::PortraitJob job;
    job.formula = options.request.formula;
    job.state = CEvalState{ComplexStatus, ComplexParamQ, ComplexParamP};
    job.xLow = ranges[0];
    job.yLow = ranges[1];
    job.xHigh = ranges[3];
    job.yHigh = ranges[4];
    job.width = width;
    job.height = height;
    job.wheel = options.wheel;
    const portrait::Portrait picture = portrait::ComputePortrait(job);
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    for (int r = 0; r < height; ++r) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(r));
        for (int c = 0; c < width; ++c) {
            const TColor p = picture.pixels[static_cast<std::size_t>(r) * width + c];
            line[c] = qRgb(GetRValue(p), GetGValue(p), GetBValue(p));
        }
    }
    return image;
}

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

    const bool portrait = o.view == "portrait";
    if (portrait && format != cli::PictureFormat::Png)
        throw cli::UsageError("--view portrait: written as PNG only");
    // A file that cannot be written fails before the computing.
    if (o.output != "-" && !cli::OutputWritable(o.output)) return cli::ExitOutputFailed;

    const auto gui = cli::StartGui();
    if (portrait) {
        const QByteArray png = pictureio::Png(PortraitImage(options, width, height));
        if (png.isEmpty()) return cli::ExitOutputFailed;
        return (o.output == "-" ? cli::WriteStdout(png) : cli::WriteFile(o.output, png))
                   ? 0
                   : cli::ExitOutputFailed;
    }
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
    app.add_option("--view", o->view,
                   "surface: the 3D surface; portrait: the phase portrait, hue = arg F(Z) at every "
                   "pixel of the x and y intervals, brightness in steps at |F| = 2^k, grey "
                   "where F has no phase (PNG)")
        ->type_name("surface|portrait")
        ->check(CLI::IsMember({"surface", "portrait"}));
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
