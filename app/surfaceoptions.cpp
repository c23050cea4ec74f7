// Definition, checking and conversion of the surface options both programs
// take on their command line.
#include "app/surfaceoptions.h"

#include "complexformula/interpreter.h"
#include "realformula/interpreter.h"
#include "text/cp1252.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace surfaceoptions {

const char* Version() {
    return TESSAREL_VERSION;
}

namespace {

std::string Quoted(const std::string& text) {
    return "`" + text + "`";
}

// An interval text is accepted when the real interpreter computes it without
// any status, as the window's field reader would read it (X = 1, current Q).
bool FieldEvaluates(const std::string& text) {
    const double v = sampling::FieldValue(text); // leaves the interpreter's status as it ends
    return RealStatus == 0 && std::isfinite(v);
}

// "LO,HI" split at the first comma, so "-1,0,5" is -1 and 0.5.
void ReadBounds(const std::string& option, const std::string& value, std::string& low,
                std::string& high) {
    const auto comma = value.find(',');
    if (comma == std::string::npos)
        throw UsageError(option + ": expected LO,HI, got " + Quoted(value));
    const std::string parts[] = {value.substr(0, comma), value.substr(comma + 1)};
    for (const std::string& part : parts)
        if (!FieldEvaluates(text::Utf8ToCp1252(part)))
            throw UsageError(option + ": " + Quoted(part) + " is not a formula that evaluates");
    low = text::Utf8ToCp1252(parts[0]);
    high = text::Utf8ToCp1252(parts[1]);
}

// The value named by one of the words of choices.
template <typename T>
T ReadChoice(const std::string& option, const std::string& value,
             std::initializer_list<std::pair<const char*, T>> choices) {
    std::string names;
    for (const auto& [name, choice] : choices) {
        if (value == name) return choice;
        names += std::string(names.empty() ? "" : ", ") + name;
    }
    throw UsageError(option + ": " + Quoted(value) + " is not one of " + names);
}

bool ReadSwitch(const std::string& option, const std::string& value) {
    return ParseInteger(option, value, 0, 1) == 1;
}

} // namespace

double ParseNumber(const std::string& option, const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    const bool whole = !text.empty() && end == text.c_str() + text.size();
    const bool overflow = errno == ERANGE && std::fabs(v) == HUGE_VAL;
    if (!whole || overflow || !std::isfinite(v))
        throw UsageError(option + ": " + Quoted(text) + " is not a finite number");
    return v;
}

long ParseInteger(const std::string& option, const std::string& text, long low, long high) {
    const double v = ParseNumber(option, text);
    if (v != std::floor(v) || v < static_cast<double>(low) || v > static_cast<double>(high))
        throw UsageError(option + ": " + Quoted(text) + " is not an integer from " +
                         std::to_string(low) + " to " + std::to_string(high));
    return static_cast<long>(v);
}

std::pair<double, double> ParsePair(const std::string& option, const std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos)
        throw UsageError(option + ": expected two numbers A,B, got " + Quoted(text));
    return {ParseNumber(option, text.substr(0, comma)),
            ParseNumber(option, text.substr(comma + 1))};
}

CLI::Option* AddFormulaOption(CLI::App& app, std::vector<std::string>& formula,
                              const std::string& description) {
    // One value per option entry: a vector option would take any argument of
    // the form "[...]" as a list of values.
    return app.add_option("FORMULA", formula, description)->type_name("")->allow_extra_args(false);
}

std::vector<std::string> FormulaArguments(const CLI::App& app,
                                          const std::vector<std::string>& positional) {
    std::vector<std::string> formulas = positional;
    for (const std::string& extra : app.remaining()) {
        if (extra == "--") continue; // the end of the options
        const bool option = extra.rfind("--", 0) == 0 || extra == "-" ||
                            (extra.size() == 2 && extra[1] >= 'a' && extra[1] <= 'z');
        if (option) throw UsageError("unknown option " + extra);
        formulas.push_back(extra);
    }
    return formulas;
}

void SurfaceOptionSet::AddTo(CLI::App& app, unsigned parts, bool formulaRequired) {
    m_app = &app;
    m_formulaRequired = formulaRequired;
    app.allow_extras();
    AddFormulaOption(app, m_formula,
                     "complex formula F(Z), e.g. \"SIN(Z+Q)*Z/10\"; put -- before one that starts "
                     "with -");
    if (parts & Surface) {
        app.add_option("--mode", m_mode,
                       "what is drawn: 1 real part, 2 imaginary part, 3 modulus, 4 phase "
                       "(default 1)")
            ->type_name("1..4");
        app.add_option("--q", m_q, "the parameter Q (default 0)")->type_name("Q");
        app.add_option("--x", m_x, "x interval LO,HI as real formulas (default -4,4)")
            ->type_name("LO,HI");
        app.add_option("--y", m_y, "y interval LO,HI (default -4,4)")->type_name("LO,HI");
        app.add_option("--z", m_z, "z interval LO,HI; values beyond it are cut off (default -4,4)")
            ->type_name("LO,HI");
        app.add_flag("--log", m_log,
                     "in mode 3, log10 |F(Z)| as the height: the z interval holds powers of ten "
                     "(-4,4 is 1e-4 to 1e4) and the scale reads them so; a zero of F lies at "
                     "the lower end; the other modes ignore it");
    }
    if (parts & (Points | WindowPoints)) {
        m_minPoints = (parts & WindowPoints) ? MinWindowPoints : MinPoints;
        app.add_option("--points", m_points,
                       "sample N x N points, N from " + std::to_string(m_minPoints) + " to " +
                           std::to_string(MaxPoints) + " (default 36)")
            ->type_name("N");
    }
    if (parts & View) {
        app.add_option("--angles", m_angles, "view angles X,Z in degrees (default 66,115)")
            ->type_name("X,Z");
        app.add_option("--size", m_size, "magnification, greater than 0 (default 1.33)")
            ->type_name("S");
        app.add_option("--mesh", m_mesh, "1 draws the mesh, 0 leaves it out (default 1)")
            ->type_name("0|1");
        app.add_option("--coords", m_coords, "1 draws the scales (default 0)")->type_name("0|1");
        app.add_option("--box", m_box, "1 draws the bounding box (default 0)")->type_name("0|1");
        app.add_option("--colour", m_colour,
                       "cell colours: by height on the colour scale -7..8, by the phase of F(Z) "
                       "(hue arg F: 0 red, 2pi/3 green, -2pi/3 blue), or by height over exactly "
                       "the z interval (default height)")
            ->type_name("height|phase|zrange");
        app.add_option("--wheel", m_wheel,
                       "the hue wheel of --colour phase: even lightness (oklab) or the classic "
                       "HSV wheel (default oklab)")
            ->type_name("oklab|hsv");
        app.add_option("--legend", m_legend,
                       "1 draws a legend at the right edge: the colour bar with its values, or "
                       "the hue wheel (default 0)")
            ->type_name("0|1");
    }
}

SurfaceOptions SurfaceOptionSet::Read() const {
    SurfaceOptions result;
    const std::vector<std::string> formulas = FormulaArguments(*m_app, m_formula);
    if (formulas.size() > 1) throw UsageError("FORMULA: one formula only (quote it)");
    if (formulas.empty() && m_formulaRequired) throw UsageError("FORMULA: missing");
    if (!formulas.empty()) {
        if (formulas[0].size() > MaxFormulaLength)
            throw UsageError("FORMULA: longer than " + std::to_string(MaxFormulaLength) +
                             " characters");
        result.request.formula = text::UpperCase1252(text::Utf8ToCp1252(formulas[0]));
        result.formulaGiven = true;
    }
    const auto given = [&](const char* name) {
        const CLI::Option* option = m_app->get_option_no_throw(name);
        return option && option->count() > 0;
    };
    if (given("--mode")) result.request.displayMode = ParseInteger("--mode", m_mode, 1, 4);
    if (given("--q")) result.request.q = ParseNumber("--q", m_q);
    if (given("--points"))
        result.request.points =
            static_cast<int>(ParseInteger("--points", m_points, m_minPoints, MaxPoints));
    result.request.logHeight = m_log;
    // The interval texts are read with the Q they will be drawn with.
    sampling::SetQ(result.request.q);
    auto& bounds = result.request.intervals;
    if (given("--x")) ReadBounds("--x", m_x, bounds[0], bounds[3]);
    if (given("--y")) ReadBounds("--y", m_y, bounds[1], bounds[4]);
    if (given("--z")) ReadBounds("--z", m_z, bounds[2], bounds[5]);
    if (given("--angles")) std::tie(result.angleX, result.angleZ) = ParsePair("--angles", m_angles);
    if (given("--size")) {
        result.size = ParseNumber("--size", m_size);
        if (result.size <= 0)
            throw UsageError("--size: " + Quoted(m_size) + " must be greater than 0");
    }
    if (given("--mesh")) result.mesh = ReadSwitch("--mesh", m_mesh);
    if (given("--coords")) result.coords = ReadSwitch("--coords", m_coords);
    if (given("--box")) result.box = ReadSwitch("--box", m_box);
    if (given("--colour"))
        result.coloring = ReadChoice<TSurfaceColoring>(
            "--colour", m_colour,
            {{"height", scHeight}, {"phase", scPhase}, {"zrange", scHeightZRange}});
    if (given("--wheel"))
        result.wheel = ReadChoice<TPhaseWheel>("--wheel", m_wheel,
                                               {{"oklab", pwEvenLightness}, {"hsv", pwHsv}});
    if (given("--legend")) result.legend = ReadSwitch("--legend", m_legend);
    return result;
}

namespace {

// word in single quotes, each ' written as '\'' (end the quotes, an escaped
// quote, quotes again).
std::string SingleQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

std::string ShellQuoted(const std::string& word) {
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               (c != '\0' && std::strchr("%+,-./:=@_", c));
    });
    return plain ? word : SingleQuoted(word);
}

namespace {

// The shortest text that reads back as v.
std::string NumberText(double v) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

// "--name value", or "--name=value" where the value starts with "-" and
// could pass for an option.
void AddOption(std::vector<std::string>& words, const std::string& name, const std::string& value) {
    if (!value.empty() && value[0] == '-') {
        words.push_back(name + "=" + value);
    } else {
        words.push_back(name);
        words.push_back(value);
    }
}

// An interval field's text as the option gives it back (UTF-8).
std::string BoundText(const std::string& field, bool lower) {
    if (!FieldEvaluates(field)) return "0";
    std::string text = text::Cp1252ToUtf8(field);
    if (lower) std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

// The words quoted where they need it, the value of "--name=value" alone, the
// last word (the formula) always.
std::string QuotedCommand(const std::vector<std::string>& words) {
    std::string line;
    for (std::size_t k = 0; k < words.size(); ++k) {
        const std::string& word = words[k];
        const auto equals = word.rfind("--", 0) == 0 ? word.find('=') : std::string::npos;
        line += k == 0 ? "" : " ";
        if (k + 1 == words.size())
            line += SingleQuoted(word);
        else if (equals != std::string::npos)
            line += word.substr(0, equals + 1) + ShellQuoted(word.substr(equals + 1));
        else
            line += ShellQuoted(word);
    }
    return line;
}

} // namespace

std::vector<std::string> CommandArguments(const SurfaceOptions& options) {
    const sampling::SurfaceRequest& request = options.request;
    const SurfaceOptions defaults;
    std::vector<std::string> words;
    if (request.displayMode != defaults.request.displayMode)
        AddOption(words, "--mode", std::to_string(request.displayMode));
    if (request.q != defaults.request.q) AddOption(words, "--q", NumberText(request.q));

    const double savedQ = ParamQ;
    const Complex savedComplexQ = ComplexParamQ;
    const std::uint8_t savedStatus = RealStatus;
    sampling::SetQ(request.q);
    const char* const axes[] = {"--x", "--y", "--z"};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const std::string& low = request.intervals[axis];
        const std::string& high = request.intervals[axis + 3];
        if (low != sampling::DefaultIntervalTexts[axis] ||
            high != sampling::DefaultIntervalTexts[axis + 3])
            AddOption(words, axes[axis], BoundText(low, true) + "," + BoundText(high, false));
    }
    ParamQ = savedQ;
    ComplexParamQ = savedComplexQ;
    RealStatus = savedStatus;

    if (request.logHeight) words.push_back("--log");
    if (request.points != defaults.request.points)
        AddOption(words, "--points", std::to_string(request.points));
    if (options.angleX != defaults.angleX || options.angleZ != defaults.angleZ)
        AddOption(words, "--angles", NumberText(options.angleX) + "," + NumberText(options.angleZ));
    if (options.size != defaults.size) AddOption(words, "--size", NumberText(options.size));
    if (options.mesh != defaults.mesh) AddOption(words, "--mesh", options.mesh ? "1" : "0");
    if (options.coords != defaults.coords) AddOption(words, "--coords", options.coords ? "1" : "0");
    if (options.box != defaults.box) AddOption(words, "--box", options.box ? "1" : "0");
    const char* const colourings[] = {"height", "phase", "zrange"};
    if (options.coloring != defaults.coloring)
        AddOption(words, "--colour", colourings[options.coloring]);
    if (options.wheel != defaults.wheel)
        AddOption(words, "--wheel", options.wheel == pwHsv ? "hsv" : "oklab");
    if (options.legend != defaults.legend) AddOption(words, "--legend", options.legend ? "1" : "0");

    const std::string formula = text::Cp1252ToUtf8(request.formula);
    if (!formula.empty() && formula[0] == '-') words.push_back("--");
    words.push_back(formula);
    return words;
}

std::string RenderCommandLine(const SurfaceOptions& options, const std::string& file, int width,
                              int height) {
    std::vector<std::string> words = {"tessarel-cli", "render", "-o", file};
    if (width != windowplot::PlotWidth) AddOption(words, "--width", std::to_string(width));
    if (height != windowplot::PlotHeight) AddOption(words, "--height", std::to_string(height));
    const std::vector<std::string> arguments = CommandArguments(options);
    words.insert(words.end(), arguments.begin(), arguments.end());
    return QuotedCommand(words);
}

std::string WindowCommandLine(const SurfaceOptions& options) {
    std::vector<std::string> words = {"tessarel"};
    const std::vector<std::string> arguments = CommandArguments(options);
    words.insert(words.end(), arguments.begin(), arguments.end());
    return QuotedCommand(words);
}

const char* SamplingHelp() {
    return "Modes: 1 real part, 2 imaginary part, 3 modulus, 4 phase (-pi..pi) of F(Z).\n"
           "Intervals: LO,HI is split at the first comma; each half is a real formula in X (1)\n"
           "and Q as in the window's fields (2*pi, -x, 1,5 after the split), and must evaluate.\n"
           "Sampling: N x N points (N = 36 unless --points). Column p = 1..N lies at\n"
           "x = XLO + (XHI - XLO) * p / N and row i at y = YLO + (YHI - YLO) * i / N, so the low\n"
           "ends are never sampled and the high ends always. LO and HI given the other way\n"
           "round are taken in order; equal ones become LO..LO+1. The x bounds are first\n"
           "pulled in by 0.1 % toward their middle (-4,4 gives -3.996..3.996). Values outside\n"
           "the z interval are cut off at its ends.";
}

} // namespace surfaceoptions
