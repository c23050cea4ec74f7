// The command-line options that describe a surface and its view, shared by the
// window (tessarel) and tessarel-cli so both read them alike: the formula,
// --mode, --q, --x, --y, --z and the view options --angles, --size, --mesh,
// --coords, --box, the sample count --points and the log height --log. Parsed by CLI11, checked
// here: numbers finite and in range, interval texts formulas that evaluate.
// No Qt.
#pragma once

#include "app/sampling.h"
#include "app/windowplot.h"
#include "plot/plot3d.h"

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace surfaceoptions {

// The programs' version, from the build.
const char* Version();

// The longest formula accepted, as the window's formula line holds at most.
inline constexpr std::size_t MaxFormulaLength = 32767;
// Sample counts per axis for --points; the window takes from MinWindowPoints.
inline constexpr int MinPoints = 2;
inline constexpr int MinWindowPoints = 8;
inline constexpr int MaxPoints = 400;

// Bad usage, with the option it concerns at the front of the message.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Checked conversions; option names the option in the message.
double ParseNumber(const std::string& option, const std::string& text);
long ParseInteger(const std::string& option, const std::string& text, long low, long high);
// "A,B": two finite numbers.
std::pair<double, double> ParsePair(const std::string& option, const std::string& text);

// Adds the positional FORMULA to app, taken verbatim: CLI11 would split an
// argument in square brackets at its commas ("[1,2]") and drop the brackets
// ("[-2]"), where the interpreters read them as the integer part.
CLI::Option* AddFormulaOption(CLI::App& app, std::vector<std::string>& formula,
                              const std::string& description);

// The formula arguments of a parsed app that allows extras: the positional
// ones plus unknown arguments that start with a single "-" ("-Z^2"). "--name",
// "-" and "-x" (one small letter) are unknown options: UsageError.
std::vector<std::string> FormulaArguments(const CLI::App& app,
                                          const std::vector<std::string>& positional);

// Everything the options say, with the window's start-up values as defaults.
struct SurfaceOptions {
    sampling::SurfaceRequest request; // formula converted and upper-cased, points
    double angleX = 66;
    double angleZ = 115;
    double size = windowplot::StartMagnification;
    bool mesh = true;
    bool coords = false;
    bool box = false;
    TSurfaceColoring coloring = scHeight;
    TPhaseWheel wheel = pwEvenLightness;
    bool legend = false;
    bool formulaGiven = false;
    bool operator==(const SurfaceOptions&) const = default;
};

// The option texts as typed, bound to a CLI::App, and their reading.
class SurfaceOptionSet {
  public:
    // Points is --points from MinPoints, WindowPoints from MinWindowPoints.
    enum Parts : unsigned { Surface = 1, View = 2, Points = 4, WindowPoints = 8 };

    // Adds the options of the given parts and the FORMULA positional
    // (required or optional). Unknown arguments that start with a single "-"
    // are taken as the formula ("-Z^2"), so the app allows extras.
    void AddTo(CLI::App& app, unsigned parts, bool formulaRequired);

    // Checks and converts what was parsed; throws UsageError. The interval
    // texts are evaluated with the given Q, as the window reads its fields.
    SurfaceOptions Read() const;

  private:
    CLI::App* m_app = nullptr;
    bool m_formulaRequired = true;
    int m_minPoints = MinPoints;
    bool m_log = false;
    std::vector<std::string> m_formula;
    std::string m_mode, m_q, m_x, m_y, m_z, m_points;
    std::string m_angles, m_size, m_mesh, m_coords, m_box, m_colour, m_wheel, m_legend;
};

// A word for a POSIX shell: as it is when it holds only characters no shell
// treats specially, else in single quotes with each ' written as '\''.
std::string ShellQuoted(const std::string& word);

// The command-line arguments that give options back, UTF-8, one word each and
// unquoted: every option whose value differs from the default, in the order
// --help lists them, then the formula (after "--" when it starts with "-").
// The interval texts are read with options' Q as the fields are: one that
// does not evaluate (a field reads it as 0) is written as 0, and a comma in a
// lower bound as "." (the fields read both alike; LO,HI splits at the first
// comma). Leaves the interpreters' Q and status as it found them.
std::vector<std::string> CommandArguments(const SurfaceOptions& options);

// The command that renders the picture of options into file, quoted for a
// POSIX shell: "tessarel-cli render -o bild.png --mode 3 'GAMMA(Z)'", with
// --width and --height where the picture's size is not the window's.
std::string RenderCommandLine(const SurfaceOptions& options, const std::string& file = "bild.png",
                              int width = windowplot::PlotWidth,
                              int height = windowplot::PlotHeight);
// The command that opens the window on the same view: "tessarel --mode 3
// 'GAMMA(Z)'".
std::string WindowCommandLine(const SurfaceOptions& options);

// The help text that explains the modes, the intervals and the sampling
// positions, for the footer of a command's --help.
const char* SamplingHelp();

} // namespace surfaceoptions
