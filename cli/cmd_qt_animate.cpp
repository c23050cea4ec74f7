// tessarel-cli animate: the window's simulation as a picture sequence, the
// Q sweep or a rotation about the x or z axis, written as an animated WebP
// or as numbered PNG frames in a folder.
#include "app/simulation.h"
#include "app/surfaceoptions.h"
#include "app/windowplot.h"
#include "cli/command.h"
#include "cli/picture.h"
#include "cli/progress.h"
#include "runtime/fpu.h"

#include <CLI/CLI.hpp>
#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr long MaxFrames = 3600;

// The frames as one animated WebP, each shown for the frame time.
class WebpSequence {
  public:
    WebpSequence(int width, int height, int frameMs) : m_frameMs(frameMs) {
        WebPAnimEncoderOptions options;
        WebPAnimEncoderOptionsInit(&options);
        options.anim_params.loop_count = 0; // repeat for ever, as the simulation runs
        m_encoder = WebPAnimEncoderNew(width, height, &options);
        WebPConfigInit(&m_config);
        // Lossless keeps the one-pixel mesh lines and labels sharp; flat
        // colour areas compress well.
        m_config.lossless = 1;
        m_config.quality = 75;
        m_config.method = 4;
    }
    ~WebpSequence() {
        if (m_encoder) WebPAnimEncoderDelete(m_encoder);
    }
    WebpSequence(const WebpSequence&) = delete;
    WebpSequence& operator=(const WebpSequence&) = delete;

    bool Add(const QImage& frame) {
        if (!m_encoder) return false;
        const QImage rgba = frame.convertToFormat(QImage::Format_RGBA8888);
        WebPPicture picture;
        if (!WebPPictureInit(&picture)) return false;
        picture.use_argb = 1;
        picture.width = rgba.width();
        picture.height = rgba.height();
        bool ok = WebPPictureImportRGBA(&picture, rgba.constBits(), int(rgba.bytesPerLine())) &&
                  WebPAnimEncoderAdd(m_encoder, &picture, m_timestamp, &m_config);
        WebPPictureFree(&picture);
        m_timestamp += m_frameMs;
        return ok;
    }

    // The whole file; empty when the encoder failed.
    QByteArray Finish() {
        WebPData data;
        WebPDataInit(&data);
        QByteArray bytes;
        if (m_encoder && WebPAnimEncoderAdd(m_encoder, nullptr, m_timestamp, nullptr) &&
            WebPAnimEncoderAssemble(m_encoder, &data))
            bytes = QByteArray(reinterpret_cast<const char*>(data.bytes), qsizetype(data.size));
        WebPDataClear(&data);
        return bytes;
    }

  private:
    WebPAnimEncoder* m_encoder = nullptr;
    WebPConfig m_config;
    int m_frameMs;
    int m_timestamp = 0;
};

struct Options {
    surfaceoptions::SurfaceOptionSet surface;
    std::string sweep, frames, step, frameTime, output, width, height;
};

long IntegerOption(const CLI::App& app, const char* name, const std::string& text, long low,
                   long high, long fallback) {
    return app.count(name) ? surfaceoptions::ParseInteger(name, text, low, high) : fallback;
}

bool EndsWithWebp(const std::string& file) {
    if (file.size() < 5) return false;
    std::string ending = file.substr(file.size() - 5);
    for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ending == ".webp";
}

int Run(const CLI::App& app, const Options& o) {
    surfaceoptions::SurfaceOptions options = o.surface.Read();
    const bool folder = !o.output.empty() && o.output.back() == '/';
    if (!folder && !EndsWithWebp(o.output))
        throw cli::UsageError("-o: `" + o.output +
                              "` neither ends in .webp nor names a folder ending in /");
    const int frames = int(IntegerOption(app, "--frames", o.frames, 1, MaxFrames, 100));
    const int frameMs = int(IntegerOption(app, "--frame-time", o.frameTime, 1, 60000, 15));
    const int width =
        int(IntegerOption(app, "--width", o.width, 1, cli::MaxSide, windowplot::PlotWidth));
    const int height =
        int(IntegerOption(app, "--height", o.height, 1, cli::MaxSide, windowplot::PlotHeight));
    simulation::QSweep sweep;
    if (app.count("--step")) {
        if (o.sweep != "q") throw cli::UsageError("--step: only with --sweep q");
        sweep.step = surfaceoptions::ParseNumber("--step", o.step);
        if (sweep.step < simulation::MinQStep || sweep.step > simulation::MaxQStep)
            throw cli::UsageError("--step: `" + o.step + "` is not from 0.01 to 0.2");
    }
    // The Q field shows two decimals, and the sweep goes on from what it shows.
    sweep.q = options.request.q = simulation::QFieldValue(options.request.q);

    // An output that cannot be written fails before the computing.
    const QString dir = QString::fromStdString(o.output);
    if (folder && !QDir().mkpath(dir)) {
        cli::ReportError("cannot make the folder " + o.output);
        return cli::ExitOutputFailed;
    }
    if (!cli::OutputWritable(folder ? QDir(dir).filePath("frame-0001.png").toStdString()
                                    : o.output))
        return cli::ExitOutputFailed;

    const auto gui = cli::StartGui();
    cli::Scene scene(options);
    auto progress =
        std::make_unique<cli::Progress>(frames, options.request.points * options.request.points);
    try {
        scene.Fill(progress->Points());
    } catch (const rt::EMathError& e) {
        cli::ReportError(e.what());
        return cli::ExitMathError;
    }
    WebpSequence webp(width, height, frameMs);

    double angle = o.sweep == "x" ? options.angleX : options.angleZ;
    QImage picture;
    int faults = 0;
    for (int k = 0; k < frames; ++k) {
        bool drawn = true;
        try {
            if (k > 0 && o.sweep == "q") {
                if (sweep.Tick()) scene.FillWithQ(sweep.q, progress->Points());
            } else if (k > 0) {
                angle = simulation::NextAngle(angle);
                if (o.sweep == "x")
                    scene.Plot().SetViewAngleX(angle);
                else
                    scene.Plot().SetViewAngleZ(angle);
            }
        } catch (const rt::EMathError& e) {
            // The window reports the fault and keeps its picture and its timer.
            if (faults++ == 0) {
                cli::ClearProgressLine();
                std::fprintf(stderr, "error: frame %d (Q = %.2f): %s; the previous picture stays\n",
                             k + 1, sweep.q, e.what());
            }
            drawn = false;
        }
        if (drawn) picture = scene.Raster(width, height);
        progress->FrameDone();
        if (picture.isNull()) {
            cli::ReportError("cannot make a picture of " + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels");
            return cli::ExitOutputFailed;
        }
        if (folder) {
            const QString name = QStringLiteral("frame-%1.png").arg(k + 1, 4, 10, QLatin1Char('0'));
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "PNG");
            if (!cli::WriteFile(QDir(dir).filePath(name).toStdString(), bytes))
                return cli::ExitOutputFailed;
        } else if (!webp.Add(picture)) {
            cli::ReportError("the WebP encoder refused frame " + std::to_string(k + 1));
            return cli::ExitOutputFailed;
        }
    }
    progress.reset();
    if (faults > 1) std::fprintf(stderr, "error: %d frames faulted in all\n", faults);
    if (folder) return 0;
    const QByteArray bytes = webp.Finish();
    if (bytes.isEmpty()) {
        cli::ReportError("the WebP encoder failed");
        return cli::ExitOutputFailed;
    }
    return cli::WriteFile(o.output, bytes) ? 0 : cli::ExitOutputFailed;
}

std::function<int()> Setup(CLI::App& app) {
    auto o = std::make_shared<Options>();
    o->surface.AddTo(app,
                     surfaceoptions::SurfaceOptionSet::Surface |
                         surfaceoptions::SurfaceOptionSet::View |
                         surfaceoptions::SurfaceOptionSet::Points,
                     true);
    app.add_option("--sweep", o->sweep,
                   "q sweeps Q from --q toward -10, back to 10 and so on; x or z turns the view "
                   "about that axis by 1 degree a frame")
        ->type_name("q|x|z")
        ->check(CLI::IsMember({"q", "x", "z"}))
        ->required();
    app.add_option("--frames", o->frames, "number of frames, 1 to 3600 (default 100)")
        ->type_name("N");
    app.add_option("--step", o->step,
                   "Q change per frame, 0.01 to 0.2 (default 0.1, the window's step field 10)")
        ->type_name("S");
    app.add_option("--frame-time", o->frameTime,
                   "milliseconds each frame shows in the WebP (default 15, the window's timer)")
        ->type_name("MS");
    app.add_option("-o,--output", o->output,
                   "FILE.webp for an animated WebP, or FOLDER/ for frame-0001.png, ...")
        ->type_name("FILE")
        ->required();
    app.add_option("--width", o->width, "picture width in pixels, 1 to 8192 (default 823)")
        ->type_name("W");
    app.add_option("--height", o->height, "picture height in pixels, 1 to 8192 (default 653)")
        ->type_name("H");
    app.footer(std::string("The first frame is the start picture, each further one a tick of the "
                           "window's\nsimulation. Q moves in the two decimals of the window's Q "
                           "field; past -10 or 10\nit stops at the bound and turns. A frame whose "
                           "fill faults repeats the previous\npicture and is reported once on "
                           "standard error.\n") +
               surfaceoptions::SamplingHelp());
    return [&app, o] { return Run(app, *o); };
}

const cli::Registrar kAnimate({"animate", "write the window's simulation as an animation", Setup});

} // namespace
