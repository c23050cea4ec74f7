// The window's picture without a screen: a plot set up from the surface
// options, painted at any size into a PNG image, an SVG or a PDF, and the
// writing of the result to a file (never half-written) or to standard output.
#pragma once

#include "app/surfaceoptions.h"
#include "plot/plot3d.h"
#include "qtplot/qtcanvas.h"

#include <QByteArray>
#include <QImage>

#include <atomic>
#include <memory>
#include <string>

class QGuiApplication;

namespace cli {

// A GUI application on the offscreen platform unless one is chosen already.
std::unique_ptr<QGuiApplication> StartGui();

enum class PictureFormat { Png, Svg, Pdf };

// The format given by name (png, svg, pdf), or else the one a file name asks
// for by its ending (any case); "-" is PNG on standard output. Throws
// UsageError for any other ending, naming option.
PictureFormat PictureFormatOf(const std::string& format, const std::string& option,
                              const std::string& file);

// Checked picture sizes: 1..MaxSide pixels a side.
inline constexpr long MaxSide = 8192;

// The plot as the window shows it after start-up and the options' changes.
class Scene {
  public:
    explicit Scene(const surfaceoptions::SurfaceOptions& options);

    TPlot3D& Plot() { return m_plot; }
    // Fills the grid as the window's draw request does; throws rt::EMathError.
    // done, when given, counts the points computed.
    void Fill(std::atomic<int>* done = nullptr);
    // Q for both interpreters, then one fill, as a tick of the Q sweep does.
    void FillWithQ(double q, std::atomic<int>* done = nullptr);

    // The picture at width x height: the window's plot scaled as a whole (the
    // same factor both ways, centred on the background colour). The window's
    // own size gives the window's pixels exactly.
    QImage Raster(int width, int height);
    QByteArray Png(int width, int height);
    QByteArray Svg(int width, int height);
    QByteArray Pdf(int width, int height);

  private:
    // Paints onto painter at the scale that fits width x height.
    void PaintScaled(class QPainter& painter, int width, int height);

    surfaceoptions::SurfaceOptions m_options;
    ImageHost m_host;
    TPlot3D m_plot;
};

// Checks, before anything is computed, that path can be written as WriteFile
// writes it: an existing folder that takes a new file (one is made there and
// removed at once), an existing file that may be written; reports "error:
// cannot write PATH: REASON" and returns false.
bool OutputWritable(const std::string& path);

// Writes bytes to path through a temporary file that replaces path only when
// complete; reports "error: cannot write PATH: REASON" and returns false.
bool WriteFile(const std::string& path, const QByteArray& bytes);
// Writes bytes to standard output; false (reported) when they did not arrive.
bool WriteStdout(const QByteArray& bytes);

} // namespace cli
