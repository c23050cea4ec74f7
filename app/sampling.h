// Sampling of a complex formula onto the plot's 36 x 36 grid, and the reading
// and writing of the six interval fields. Plain functions, so the window and
// the command line make the very same surface from the same texts.
#pragma once

#include "app/samples.h"
#include "complexformula/arithmetic.h"
#include "complexformula/interpreter.h"

#include <array>
#include <atomic>
#include <exception>
#include <string>

class TPlot3D;

namespace sampling {

inline constexpr int GridPoints = 36;

// What the surface shows of F(Z).
enum DisplayModeValue { dmRealPart = 1, dmImagPart = 2, dmModulus = 3, dmPhase = 4 };

// The texts of the interval fields E1..E6: lower x, y, z, then upper x, y, z.
using IntervalTexts = std::array<std::string, 6>;
using IntervalValues = std::array<double, 6>;
inline const IntervalTexts DefaultIntervalTexts = {"-4", "-4", "-4", "4", "4", "4"};

// The value of an interval field's text (Windows-1252): letters upper-cased,
// "," read as ".", evaluated as a real formula with X = 1 and the current Q;
// 0 when the formula does not evaluate cleanly.
double FieldValue(const std::string& text);

// The text the zoom commands write into a field: two decimals with trailing
// zeros and a trailing "." removed, never "-0" (10 -> "10", -3.9215 -> "-3.92").
std::string FormatNumber(double x);

// The text a zoom step writes into a field whose value goes from previous to
// next: FormatNumber's, unless those two decimals would leave the field where
// it is or move it back (steps below a hundredth); then the fewest
// significant digits that move it toward next (0.25 / 1.02 -> "0.245").
std::string ZoomText(double previous, double next);

// A field text read as a plain decimal number as far as it goes ("2*PI" -> 2);
// 0 when it does not start with a finite number. The mouse wheel reads fields so.
double PlainNumber(const std::string& text);

// The sample position k (1..points) of the span starting at base: the base
// plus |other - base| * k / points in extended precision, rounded to a double.
// The base itself is never sampled; k = points lands a full span away from it.
double SamplePosition(double base, double other, int k, int points = GridPoints);

// One complex value reduced to the real number the display mode shows,
// computed in extended precision and rounded to a double. Throws
// rt::EMathError when that raises a floating-point fault. With logHeight the
// modulus is shown as log10 |w|: -infinity for 0 (the fill cuts it to the
// lower end), finite for any finite w; the other modes ignore it.
double ReduceValue(Complex w, int displayMode, bool logHeight = false);

// The fill: resizes the plot's grid to points x points (36 x 36 in the
// window) and writes F(x_p + i y_i), reduced and clamped to the z range, into
// Cell[p, i]. Column p runs in x from RangeXLow, row i in y from RangeYLow, so
// the scales' low ends stand beside column 1 and row 1. Does not repaint.
// Every point is computed: one whose position or value raises a
// floating-point error gets NaN, so it is left undrawn, and the first such
// error in fill order is rethrown once the whole grid is written.
void FillSurface(TPlot3D& plot, const std::string& formulaText, int displayMode,
                 int points = GridPoints);
// The same fill, also recording each point's F(Z), status and drawn value
// into record, whose counts start again from 0.
void FillSurface(TPlot3D& plot, const std::string& formulaText, int displayMode, FillRecord& record,
                 int points = GridPoints);

// A fill split in two, so that its points can be computed on another thread
// than the one that owns the plot: the job takes the plot's ranges and the
// interpreter's Q and P where the plot lives, the computation touches neither
// the plot nor the module variables, and the result is written back where the
// plot lives. FillSurface is MakeFillJob, ComputeFill and ApplyFill in a row.
struct FillJob {
    std::string formula; // Windows-1252, upper case
    int displayMode = dmRealPart;
    int points = GridPoints;
    bool logHeight = false; // the modulus as log10 |F(Z)|, see ReduceValue
    double xLow = 0, xHigh = 0, yLow = 0, yHigh = 0, zLow = 0, zHigh = 0;
    CEvalState state; // Q and P as the module holds them
};
FillJob MakeFillJob(const TPlot3D& plot, const std::string& formulaText, int displayMode,
                    int points = GridPoints);

struct FillResult {
    FillRecord record;        // samples[0, done) computed, in fill order
    int done = 0;             // points computed: all of them unless cancelled
    std::exception_ptr error; // the first point's error (an rt::EMathError), if any
    std::uint8_t status = 0;  // the interpreter's status after the last evaluation
    bool cancelled = false;
};

// The points of the job in fill order (p outer, i inner) until the end or a
// cancel; a point whose computation raises an error is recorded with its
// fault and NaN as its drawn value, and the fill goes on. The points are
// spread over the fill pool's threads (app/fillpool.h), each on its own copy
// of the job's state; the result is the one-thread fill's, bit for bit, and
// after a cancel samples[0, done) are the leading points in fill order.
// cancel is read before each point by every thread; done, when given, counts
// the points computed, a chunk at a time.
FillResult ComputeFill(const FillJob& job, const std::atomic<bool>* cancel = nullptr,
                       std::atomic<int>* done = nullptr);

// arg w in -pi..pi, for any w with a direction (moduli beyond the double range
// either way, infinite parts too); NaN for 0 and where a part is NaN.
double PhaseOf(Complex w);

// Writes a computed fill into the plot's grid (resized to points x points),
// the phase of each F(Z) into its PhaseData (NaN where the point faulted) and,
// when given, into record, as the fill itself would have: the cells done get
// their values (NaN where a point faulted), ComplexStatus is left as the last
// evaluation left it, then the first point's error is rethrown.
void ApplyFill(TPlot3D& plot, const FillResult& result, FillRecord* record);

// Reads all six fields with FieldValue, E1 to E6, before anything changes.
IntervalValues ReadIntervals(const IntervalTexts& texts);

// Sets the plot's ranges from the six field values, each axis as a pair: the
// interval between the lower and the upper field, whichever is larger; the x
// interval pulled in by 0.1 % toward its middle (so -4..4 gives
// -3.996..3.996); a pair whose ends are equal widened to low..low + 1. Each
// axis repaints once.
void ApplyIntervals(TPlot3D& plot, const IntervalValues& values);
// The plot ranges ApplyIntervals sets, in the fields' order (lower x, y, z,
// then upper x, y, z).
IntervalValues RangesOf(const IntervalValues& values);
// Gives the job the ranges ApplyIntervals would give the plot, so that a fill
// can be computed for new fields before the plot takes them.
void SetJobIntervals(FillJob& job, const IntervalValues& values);

// True when the lower field of axis (0 x, 1 y, 2 z) holds a larger value than
// the upper one, so that ApplyIntervals takes them the other way round.
bool BoundsReversed(const IntervalValues& values, int axis);

// The plot settings the main window stores for its plot, applied in the
// plot's declaration order (the Range and ColorScale setters compare with the
// other bound, so the order matters).
void LoadWindowPlotSettings(TPlot3D& plot);

// Sets the parameter Q of both interpreters: the real one the interval fields
// use and the complex one the formula uses.
void SetQ(double q);

// One surface as the window makes it from its fields: Q goes into both
// interpreters, the interval texts are read and applied, then one fill.
struct SurfaceRequest {
    std::string formula; // Windows-1252, upper case
    int displayMode = dmRealPart;
    double q = 0;
    IntervalTexts intervals = DefaultIntervalTexts;
    int points = GridPoints; // samples per axis
    bool logHeight = false;  // the modulus as log10 |F(Z)|, see ReduceValue
    bool operator==(const SurfaceRequest&) const = default;
};
void PrepareSurface(TPlot3D& plot, const SurfaceRequest& request, std::atomic<int>* done = nullptr);
// The fill of PrepareSurface alone: the request's formula, mode, points and
// height at the plot's ranges and the Q the interpreters hold; recorded into
// record when given, its points counted in done.
void FillSurface(TPlot3D& plot, const SurfaceRequest& request, FillRecord* record = nullptr,
                 std::atomic<int>* done = nullptr);

} // namespace sampling
