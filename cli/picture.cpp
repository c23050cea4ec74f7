// Painting the window's plot headless and writing the pictures.
#include "cli/picture.h"

#include "app/windowplot.h"
#include "cli/command.h"
#include "qtplot/paintercanvas.h"
#include "qtplot/pictureio.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

bool EndsWith(const std::string& text, const std::string& ending) {
    if (text.size() < ending.size()) return false;
    return std::equal(ending.rbegin(), ending.rend(), text.rbegin(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

std::unique_ptr<QGuiApplication> StartGui() {
    if (QGuiApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tessarel-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

PictureFormat PictureFormatOf(const std::string& format, const std::string& option,
                              const std::string& file) {
    if (format == "png") return PictureFormat::Png;
    if (format == "svg") return PictureFormat::Svg;
    if (format == "pdf") return PictureFormat::Pdf;
    if (file == "-" || EndsWith(file, ".png")) return PictureFormat::Png;
    if (EndsWith(file, ".svg")) return PictureFormat::Svg;
    if (EndsWith(file, ".pdf")) return PictureFormat::Pdf;
    throw UsageError(option + ": `" + file +
                     "` does not end in .png, .svg or .pdf (--format names one)");
}

Scene::Scene(const surfaceoptions::SurfaceOptions& options) : m_options(options) {
    m_plot.SetHost(&m_host);
    m_plot.SetHoldPaint(true);
    windowplot::LoadStartView(m_plot);
    // What the window's controls make of it.
    m_plot.SetMagnification(options.size);
    m_plot.SetViewAngleX(options.angleX);
    m_plot.SetViewAngleZ(options.angleZ);
    m_plot.SetMeshVisible(options.mesh);
    windowplot::ShowScales(m_plot, options.coords);
    windowplot::ShowBox(m_plot, options.box);
    windowplot::UseLabelFont(m_plot);
    m_plot.SetSurfaceColoring(options.coloring);
    m_plot.SetPhaseWheel(options.wheel);
    m_plot.SetLegendVisible(options.legend);
    m_plot.SetLogScaleZ(options.request.logHeight &&
                        options.request.displayMode == sampling::dmModulus);
}

void Scene::Fill(std::atomic<int>* done) {
    sampling::PrepareSurface(m_plot, m_options.request, done);
}

void Scene::FillWithQ(double q, std::atomic<int>* done) {
    sampling::SetQ(q);
    sampling::FillSurface(m_plot, m_options.request, nullptr, done);
}

QImage Scene::Raster(int width, int height) {
    // The window has painted many times before its picture settles; the label
    // font that the render event leaves on the canvas shows from the second
    // paint on.
    m_plot.SetHoldPaint(false);
    m_plot.Paint();
    m_plot.SetHoldPaint(true);
    if (width == windowplot::PlotWidth && height == windowplot::PlotHeight) return m_host.Image();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.setDotsPerMeterX(pictureio::DotsPerMeter);
    image.setDotsPerMeterY(pictureio::DotsPerMeter);
    QPainter painter(&image);
    PaintScaled(painter, width, height);
    return image;
}

void Scene::PaintScaled(QPainter& painter, int width, int height) {
    const double scale =
        std::min(double(width) / windowplot::PlotWidth, double(height) / windowplot::PlotHeight);
    const double offsetX = (width - scale * windowplot::PlotWidth) / 2;
    const double offsetY = (height - scale * windowplot::PlotHeight) / 2;
    // Where the proportions differ, the rest shows the plot's background.
    painter.fillRect(QRect(0, 0, width, height), QtCanvas::ToQColor(m_plot.ColorBakGnd()));
    PainterHost host(painter, scale, offsetX, offsetY);
    windowplot::SetLabelFont(host.CanvasRef());
    m_plot.SetHost(&host);
    m_plot.SetHoldPaint(false);
    m_plot.Paint();
    m_plot.SetHoldPaint(true);
    m_plot.SetHost(&m_host);
}

QByteArray Scene::Png(int width, int height) {
    return pictureio::Png(Raster(width, height));
}

QByteArray Scene::Svg(int width, int height) {
    Raster(windowplot::PlotWidth, windowplot::PlotHeight); // settles the label font
    return pictureio::Svg(QSize(width, height),
                          [&](QPainter& painter) { PaintScaled(painter, width, height); });
}

QByteArray Scene::Pdf(int width, int height) {
    Raster(windowplot::PlotWidth, windowplot::PlotHeight);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(pictureio::DotsPerInch);
    // Qt rounds the page to whole points; the picture fills it.
    writer.setPageSize(QPageSize(
        QSizeF(width * 72.0 / pictureio::DotsPerInch, height * 72.0 / pictureio::DotsPerInch),
        QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("Tessarel"));
    QPainter painter(&writer);
    PaintScaled(painter, width, height);
    painter.end();
    return bytes;
}

bool OutputWritable(const std::string& path) {
    const auto fail = [&](int reason) {
        ReportError("cannot write " + path + ": " + std::strerror(reason));
        return false;
    };
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return fail(EISDIR);
        if (access(path.c_str(), W_OK) != 0) return fail(errno);
        // A device or a pipe is written in place, without a temporary file.
        if (!S_ISREG(info.st_mode)) return true;
    }
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos
                                   ? std::string(".")
                                   : path.substr(0, std::max<std::size_t>(slash, 1));
    std::string probe = folder + "/.tessarel-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) return fail(errno);
    close(fd);
    unlink(probe.c_str());
    return true;
}

bool WriteFile(const std::string& path, const QByteArray& bytes) {
    const QString reason = pictureio::WriteFile(QString::fromStdString(path), bytes);
    if (reason.isEmpty()) return true;
    ReportError("cannot write " + path + ": " + reason.toStdString());
    return false;
}

bool WriteStdout(const QByteArray& bytes) {
    const auto size = static_cast<std::size_t>(bytes.size());
    errno = 0; // the reason of a short write, before anything else can change it
    if (std::fwrite(bytes.constData(), 1, size, stdout) != size) return StdoutLost(errno);
    return StdoutArrived();
}

} // namespace cli
