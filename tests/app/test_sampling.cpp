// The sampling routines shared by the window and tessarel-cli.
#include "app/sampling.h"

#include "app/fillpool.h"
#include "app/formulafeedback.h"

#include "complexformula/interpreter.h"
#include "plot/plot3d.h"
#include "plot/recordingcanvas.h"
#include "realformula/interpreter.h"
#include "runtime/fpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>
#include <string>
#include <thread>
#include <tuple>
#include <typeinfo>
#include <utility>
#include <vector>

namespace {

struct TextToNumber {
    const char* name;
    const char* text;
    double expected;
};

TEST(FormatNumber, TwoDecimalsTrimmed) {
    const struct {
        const char* name;
        double value;
        const char* expected;
    } rows[] = {
        {"rounds to two decimals", -3.9215686274509802, "-3.92"},
        {"whole number loses its decimals", 10, "10"},
        {"one decimal kept", 4.4, "4.4"},
        {"negative zero written as zero", -0.001, "0"},
        {"zero", 0, "0"},
        {"zeros before the point stay", 100, "100"},
        {"wheel up on 4", 4.08, "4.08"},
        {"zoom in on 4", 4 / 1.1, "3.64"},
        {"zoom out on -4", -4 * 1.1, "-4.4"},
        {"large value in fixed notation", 1e20, "100000000000000000000"},
        {"small negative rounds to -0.01", -0.006, "-0.01"},
    };
    for (const auto& r : rows) EXPECT_EQ(sampling::FormatNumber(r.value), r.expected) << r.name;
}

TEST(ZoomText, MovesTheFieldTowardTheNewValue) {
    const struct {
        const char* name;
        double previous, next;
        const char* expected;
    } rows[] = {
        {"usual wheel step keeps two decimals", -4, -4 / 1.02, "-3.92"},
        {"usual menu step keeps two decimals", 4, 4 / 1.1, "3.64"},
        {"wheel in below a quarter", 0.25, 0.25 / 1.02, "0.245"},
        {"two decimals suffice again", 0.245, 0.245 / 1.02, "0.24"},
        {"wheel out below a quarter", -0.24, -0.24 * 1.02, "-0.245"},
        {"menu zoom in on a twentieth", 0.05, 0.05 / 1.1, "0.045"},
        {"two decimals would step back", 0.0098, 0.0098 / 1.02, "0.0096"},
        {"zero stays zero", 0, 0, "0"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(sampling::ZoomText(r.previous, r.next), r.expected) << r.name;
}

TEST(PlainNumber, ReadsAsFarAsTheNumberGoes) {
    const TextToNumber rows[] = {
        {"integer", "-4", -4},
        {"decimal", "3.5", 3.5},
        {"leading blanks", "  2.5", 2.5},
        {"plus sign", "+2", 2},
        {"exponent", "1e3", 1000},
        {"formula stops at the operator", "2*PI", 2},
        {"comma is not a decimal point", "1,5", 1},
        {"letters read as 0", "ABC", 0},
        {"empty reads as 0", "", 0},
        {"infinity reads as 0", "INF", 0},
        {"out of range reads as 0", "1e999", 0},
    };
    for (const auto& r : rows) EXPECT_EQ(sampling::PlainNumber(r.text), r.expected) << r.name;
}

TEST(FieldValue, ReadsRealFormulas) {
    ParamQ = 2.5;
    const TextToNumber rows[] = {
        {"number", "-4", -4},
        {"formula with a constant", "2*pi", 6.283185307179586},
        {"decimal comma", "1,5", 1.5},
        {"X stands for 1", "X", 1},
        {"lower-case x too", "x", 1},
        {"Q is the current parameter", "Q", 2.5},
        {"unknown name reads 0", "ABC", 0},
        {"empty field reads 0", "", 0},
        {"syntax error reads 0", "2+*3", 0},
    };
    for (const auto& r : rows) EXPECT_DOUBLE_EQ(sampling::FieldValue(r.text), r.expected) << r.name;
    ParamQ = 0;
}

TEST(FieldValue, ClearsAStaleStatus) {
    RealStatus = 1;
    EXPECT_EQ(sampling::FieldValue("3"), 3);
}

TEST(SamplePosition, StartsOneStepInsideTheBase) {
    const struct {
        const char* name;
        double base, other;
        int k;
        double expected;
    } rows[] = {
        {"first x column", -3.996, 3.996, 1, -3.774},
        {"last x column on the high bound", -3.996, 3.996, 36, 3.996},
        {"first row", -4, 4, 1, -4 + 8.0 / 36},
        {"row 18 exactly on zero", -4, 4, 18, 0},
        {"reversed bounds run away from the base", 4, -4, 1, 4 + 8.0 / 36},
    };
    for (const auto& r : rows)
        EXPECT_NEAR(sampling::SamplePosition(r.base, r.other, r.k), r.expected, 1e-12) << r.name;
    EXPECT_EQ(sampling::SamplePosition(-4, 4, 18), 0.0);
}

TEST(SamplePosition, OverflowWhenStoredIsAnError) {
    EXPECT_THROW(sampling::SamplePosition(DBL_MAX, -DBL_MAX, 1), rt::EOverflow);
}

TEST(ReduceValue, ByDisplayMode) {
    const struct {
        const char* name;
        Complex w;
        int mode;
        double expected;
        bool log = false;
    } rows[] = {
        {"real part", {3, 4}, 1, 3},
        {"imaginary part", {3, 4}, 2, 4},
        {"modulus", {3, 4}, 3, 5},
        {"modulus for any other mode", {3, 4}, 7, 5},
        {"phase on the negative axis", {-2, 0}, 4, std::numbers::pi},
        {"phase of zero", {0, 0}, 4, 0},
        {"phase in the third quadrant", {-1, -1}, 4, -3 * std::numbers::pi / 4},
        {"log modulus", {3, 4}, 3, 0.69897000433601880479, true},
        {"log modulus of a tiny value", {0, -1e-300}, 3, -300, true},
        {"log modulus beyond the double range", {1e3000L, 0}, 3, 3000, true},
        {"log of a zero lies below every cut", {0, 0}, 3, -INFINITY, true},
        {"log ignored by the real part", {3, 4}, 1, 3, true},
    };
    for (const auto& r : rows)
        EXPECT_DOUBLE_EQ(sampling::ReduceValue(r.w, r.mode, r.log), r.expected) << r.name;
}

TEST(ReduceValue, FaultsAreErrors) {
    const struct {
        const char* name;
        Complex w;
        int mode;
    } rows[] = {
        {"real part too large for a double", {1e4000L, 0}, 1},
        {"imaginary part too large for a double", {0, -1e4000L}, 2},
        {"modulus squared overflows", {1e3000L, 0}, 3},
    };
    for (const auto& r : rows)
        EXPECT_THROW(sampling::ReduceValue(r.w, r.mode), rt::EOverflow) << r.name;
}

TEST(PhaseOf, DirectionAtAnyModulus) {
    const long double inf = std::numeric_limits<long double>::infinity();
    const double pi = std::numbers::pi;
    const struct {
        const char* name;
        Complex w;
        double expected; // NaN: no phase
    } rows[] = {
        {"beyond the double range", {-1e4000L, 1e4000L}, 3 * pi / 4},
        {"below the double range", {0, -1e-4000L}, -pi / 2},
        {"negative real axis", {-2, 0}, pi},
        {"infinite parts", {inf, -inf}, -pi / 4},
        {"one infinite part", {3, -inf}, -pi / 2},
        {"zero", {0, 0}, NAN},
        {"NaN part", {NAN, 1}, NAN},
    };
    for (const auto& r : rows) {
        const double phase = sampling::PhaseOf(r.w);
        if (std::isnan(r.expected))
            EXPECT_TRUE(std::isnan(phase)) << r.name;
        else
            EXPECT_DOUBLE_EQ(phase, r.expected) << r.name;
    }
}

class Fill : public ::testing::Test {
  protected:
    void SetUp() override {
        sampling::LoadWindowPlotSettings(plot);
        ParamQ = 0;
        ComplexParamQ = Complex{};
    }
    void Sample(const char* formula, int mode,
                const sampling::IntervalTexts& fields = sampling::DefaultIntervalTexts) {
        sampling::SurfaceRequest request;
        request.formula = formula;
        request.displayMode = mode;
        request.intervals = fields;
        sampling::PrepareSurface(plot, request);
    }
    double Cell(int p, int i) const { return plot.SurfaceData().Cell(p, i); }
    TPlot3D plot;
};

TEST_F(Fill, DefaultFieldsGiveTheWindowsRanges) {
    Sample("Z", 1);
    EXPECT_DOUBLE_EQ(plot.RangeXLow(), -3.996);
    EXPECT_DOUBLE_EQ(plot.RangeXHigh(), 3.996);
    EXPECT_EQ(plot.RangeYLow(), -4);
    EXPECT_EQ(plot.RangeYHigh(), 4);
    EXPECT_EQ(plot.RangeZLow(), -4);
    EXPECT_EQ(plot.RangeZHigh(), 4);
    EXPECT_EQ(plot.SurfaceData().NrOfColumns(), 36);
    EXPECT_EQ(plot.SurfaceData().NrOfRows(), 36);
}

TEST_F(Fill, SamplingPositions) {
    Sample("Z", 1);
    EXPECT_NEAR(Cell(1, 1), -3.774, 1e-12);
    EXPECT_DOUBLE_EQ(Cell(36, 36), 3.996);
    for (int p = 1; p <= 36; ++p)
        for (int i = 2; i <= 36; ++i) ASSERT_EQ(Cell(p, i), Cell(p, 1)) << "column " << p;
    Sample("Z", 2);
    EXPECT_NEAR(Cell(1, 1), -3.7777777777777777, 1e-12);
    EXPECT_EQ(Cell(36, 36), 4);
    for (int i = 1; i <= 36; ++i)
        for (int p = 2; p <= 36; ++p) ASSERT_EQ(Cell(p, i), Cell(1, i)) << "row " << i;
    EXPECT_EQ(Cell(5, 18), 0.0);
}

TEST_F(Fill, ScaleLabelsStandBesideTheSampledValues) {
    // Seen straight down, every label's foot lies beside the column (x) or
    // row (y) whose sampled value it names, within one and a half steps.
    const sampling::IntervalTexts fields = {"-2", "-1", "-20", "6", "5", "20"};
    const struct {
        const char* name;
        int mode;
        TP3ScaleKind kind;
    } rows[] = {{"x labels along the columns", 1, skXScale},
                {"y labels along the rows", 2, skYScale}};
    plot.SetViewAngleX(0);
    plot.SetViewAngleZ(0);
    plot.SetVisibleXCoords(true);
    plot.SetVisibleYCoords(true);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Sample("Z", r.mode, fields);
        std::vector<std::pair<double, TPoint>> labels;
        plot.OnBeforeDrawScaleLabel = [&](TPlot3D&, Canvas*&, TP3ScaleKind kind, std::string& text,
                                          int x, int y) {
            if (kind == r.kind) labels.push_back({std::stod(text), TPoint{x, y}});
        };
        plot.Paint();
        plot.OnBeforeDrawScaleLabel = nullptr;
        ASSERT_GE(labels.size(), 3u);
        const bool x = r.kind == skXScale;
        const auto value = [&](int k) { return x ? Cell(k, 1) : Cell(1, k); };
        const auto screen = [&](int k) {
            return x ? plot.ScreenXGrid().Cell(k, 1) : plot.ScreenYGrid().Cell(1, k);
        };
        const double step = value(2) - value(1);
        for (const auto& [label, foot] : labels) {
            int nearest = 1;
            for (int k = 2; k <= 36; ++k)
                if (std::abs(screen(k) - (x ? foot.x : foot.y)) <
                    std::abs(screen(nearest) - (x ? foot.x : foot.y)))
                    nearest = k;
            EXPECT_NEAR(value(nearest), label, 1.5 * step) << "label " << label;
        }
    }
}

TEST_F(Fill, PhaseAlongRow18) {
    Sample("Z", 4);
    for (int p = 1; p <= 17; ++p) EXPECT_DOUBLE_EQ(Cell(p, 18), std::numbers::pi) << p;
    for (int p = 18; p <= 36; ++p) EXPECT_EQ(Cell(p, 18), 0.0) << p;
}

// The phase a drawn colour stands for: where the wheel has that colour.
double PhaseOfColor(TColor c, TPhaseWheel wheel) {
    static std::map<std::pair<TPhaseWheel, TColor>, double> phases;
    if (phases.empty())
        for (TPhaseWheel w : {pwEvenLightness, pwHsv})
            for (int k = PhaseSteps; k-- > 0;) {
                const double phase = 2 * std::numbers::pi * k / PhaseSteps;
                phases[{w, PhaseColor(phase, w)}] = std::remainder(phase, 2 * std::numbers::pi);
            }
    const auto found = phases.find({wheel, c});
    return found == phases.end() ? std::nan("") : found->second;
}

// The colour of every drawn cell, read from the recorded polygons, by the
// phase it stands for, and the centre of the cell.
struct DrawnCell {
    double x, y, phase;
};
std::vector<DrawnCell> DrawnPhases(TPlot3D& plot) {
    RecordingHost host;
    std::vector<std::pair<int, int>> cells;
    plot.SetHost(&host);
    plot.OnBeforeRenderPolygon = [&](TPlot3D&, Canvas*&, bool&, int i, int j, TQuad, TColor&) {
        cells.emplace_back(i, j);
    };
    plot.Paint();
    plot.OnBeforeRenderPolygon = nullptr;
    plot.SetHost(nullptr);
    const auto polygons = host.canvas.OpsOf(DrawOp::Poly);
    const auto at = [&](double low, double high, double k) { return low + (high - low) * k / 36; };
    std::vector<DrawnCell> drawn;
    for (std::size_t k = 0; k < cells.size(); ++k)
        drawn.push_back({at(plot.RangeXLow(), plot.RangeXHigh(), cells[k].first + 0.5),
                         at(plot.RangeYLow(), plot.RangeYHigh(), cells[k].second + 0.5),
                         PhaseOfColor(polygons[k].brushColor, plot.PhaseWheel())});
    return drawn;
}

TEST_F(Fill, ColourByPhaseIsTheArgumentOfF) {
    // F = Z in every display mode: the phase grid holds arg Z, each cell away
    // from the zero the colour of arg Z at its centre.
    plot.SetSurfaceColoring(scPhase);
    for (int mode = 1; mode <= 4; ++mode) {
        Sample("Z", mode);
        for (int p = 1; p <= 36; p += 5)
            for (int i = 1; i <= 36; i += 7)
                ASSERT_EQ(plot.PhaseData().Cell(p, i),
                          std::atan2(sampling::SamplePosition(-4, 4, i),
                                     sampling::SamplePosition(-3.996, 3.996, p)));
        double worst = 0;
        for (const DrawnCell& c : DrawnPhases(plot))
            if (std::hypot(c.x, c.y) > 1)
                worst = std::max(worst, std::fabs(std::remainder(c.phase - std::atan2(c.y, c.x),
                                                                 2 * std::numbers::pi)));
        // The corners' mean direction differs from the centre's in second
        // order of the cell's width (0.22 at a distance above 1), and a colour
        // stands for a few neighbouring steps of the wheel.
        EXPECT_LT(worst, 0.025) << "mode " << mode;
    }
}

TEST_F(Fill, PhaseColoursWindAroundZerosAndPoles) {
    // The colours on a circle around a zero of order n turn n times
    // counter-clockwise, around a pole clockwise.
    const struct {
        const char* formula;
        double x, y, radius;
        int winding;
    } rows[] = {
        {"Z", 0, 0, 2, 1},
        {"Z^2", 0, 0, 2, 2},
        {"1/Z", 0, 0, 2, -1},
        {"(Z-1)/(Z^2+Z+1), zero at 1", 1, 0, 0.6, 1},
        {"(Z-1)/(Z^2+Z+1), pole at -1/2+0.866i", -0.5, 0.8660254, 0.6, -1},
        {"(Z-1)/(Z^2+Z+1), around all three", 0, 0, 3, -1},
    };
    plot.SetSurfaceColoring(scPhase);
    for (TPhaseWheel wheel : {pwEvenLightness, pwHsv}) {
        plot.SetPhaseWheel(wheel);
        for (const auto& r : rows) {
            const std::string formula =
                std::string(r.formula).substr(0, std::string(r.formula).find(','));
            Sample(formula.c_str(), 3);
            std::vector<std::pair<double, double>> ring; // angle around the centre, phase
            for (const DrawnCell& c : DrawnPhases(plot))
                if (std::fabs(std::hypot(c.x - r.x, c.y - r.y) - r.radius) < 0.12)
                    ring.emplace_back(std::atan2(c.y - r.y, c.x - r.x), c.phase);
            ASSERT_GE(ring.size(), 12u) << r.formula;
            std::sort(ring.begin(), ring.end());
            double turned = 0;
            for (std::size_t k = 0; k < ring.size(); ++k)
                turned += std::remainder(ring[(k + 1) % ring.size()].second - ring[k].second,
                                         2 * std::numbers::pi);
            EXPECT_NEAR(turned / (2 * std::numbers::pi), r.winding, 1e-9)
                << r.formula << ", wheel " << wheel;
        }
    }
}

TEST_F(Fill, ValuesAreClampedToTheZRange) {
    Sample("Z", 3);
    EXPECT_EQ(Cell(36, 36), 4);
    EXPECT_EQ(Cell(1, 1), 4); // |-3.774 - 3.778i| > 4
    EXPECT_NEAR(Cell(18, 20), 2 * 8.0 / 36, 1e-12);
    Sample("100", 1);
    EXPECT_EQ(Cell(7, 7), 4);
    Sample("-100", 1);
    EXPECT_EQ(Cell(7, 7), -4);
    Sample("Z*10", 1, {"-4", "-4", "-1,5", "4", "4", "2"});
    EXPECT_EQ(Cell(1, 1), -1.5);
    EXPECT_EQ(Cell(36, 1), 2);
}

TEST_F(Fill, LogHeightIsCutByTheZRange) {
    const struct {
        const char* formula;
        int mode;
        double expected; // z interval -1..1
    } rows[] = {{"0", 3, -1}, {"1", 3, 0}, {"SQRT(10)", 3, 0.5}, {"100", 3, 1}, {"0.5", 1, 0.5}};
    for (const auto& r : rows) {
        sampling::SurfaceRequest request;
        request.formula = r.formula;
        request.displayMode = r.mode;
        request.intervals = {"-4", "-4", "-1", "4", "4", "1"};
        request.logHeight = true;
        sampling::PrepareSurface(plot, request);
        EXPECT_DOUBLE_EQ(Cell(5, 9), r.expected) << r.formula << " in mode " << r.mode;
    }
}

TEST_F(Fill, FillingTwiceStoresTheSameValues) {
    Sample("SIN(Z+Q)*Z/10", 1);
    std::vector<double> first;
    for (int p = 1; p <= 36; ++p)
        for (int i = 1; i <= 36; ++i) first.push_back(Cell(p, i));
    sampling::FillSurface(plot, "SIN(Z+Q)*Z/10", 1);
    std::size_t k = 0;
    for (int p = 1; p <= 36; ++p)
        for (int i = 1; i <= 36; ++i) ASSERT_EQ(Cell(p, i), first[k++]);
}

TEST_F(Fill, QComesFromTheComplexInterpreter) {
    sampling::SurfaceRequest request;
    request.formula = "Q";
    request.q = 1.25;
    sampling::PrepareSurface(plot, request);
    EXPECT_EQ(ParamQ, 1.25);
    EXPECT_EQ(ComplexParamQ.re, 1.25L);
    EXPECT_EQ(Cell(3, 30), 1.25);
}

TEST_F(Fill, AnErrorLeavesItsPointsUndrawnAndComputesTheRest) {
    Sample("3", 1);
    // Stored y bounds so wide that rows 15 to 36 overflow a double.
    plot.SetRangeYLow(1e308);
    plot.SetRangeYHigh(-1e308);
    sampling::FillRecord record;
    EXPECT_THROW(sampling::FillSurface(plot, "2", 1, record), rt::EOverflow);
    for (int i = 1; i <= 14; ++i) EXPECT_EQ(Cell(36, i), 2) << i;
    for (int i = 15; i <= 36; ++i) EXPECT_TRUE(std::isnan(Cell(1, i))) << i;
    EXPECT_EQ(record.At(1, 15).fault, sampling::PointFault::Overflow);
    EXPECT_TRUE(std::isnan(record.At(1, 15).y));
    EXPECT_EQ(record.report.faults, 36 * 22);
}

TEST_F(Fill, NoMixedPicture) {
    // Regression: an error ended the fill, and the points after it kept the
    // previous formula's values.
    Sample("2*Z", 1);
    sampling::FillRecord record;
    EXPECT_THROW(sampling::FillSurface(plot, "Z^1000", 1, record), rt::EOverflow);
    int faults = 0, first = 0;
    for (int k = 1296; k >= 1; --k) {
        const int p = (k - 1) / 36 + 1, i = (k - 1) % 36 + 1;
        const sampling::SamplePoint& s = record.At(p, i);
        if (s.fault != sampling::PointFault::None) {
            ++faults;
            first = k;
            EXPECT_TRUE(std::isnan(Cell(p, i))) << p << ", " << i;
        } else {
            ASSERT_EQ(Cell(p, i), s.drawn) << p << ", " << i;
        }
    }
    EXPECT_GT(faults, 0);
    EXPECT_EQ(record.report.faults, faults);
    EXPECT_EQ(record.At((first - 1) / 36 + 1, (first - 1) % 36 + 1).fault,
              sampling::PointFault::Overflow);
    // Near 0 the power is computed: (-0.218 - 0.222i)^1000 is 0 to a double.
    EXPECT_EQ(record.At(17, 17).fault, sampling::PointFault::None);
    EXPECT_EQ(Cell(17, 17), 0);
}

// The pool's fill against the one-thread fill, field by field and bit for bit.
class PoolFill : public ::testing::Test {
  protected:
    void TearDown() override {
        fillpool::SetThreads(0);
        fillpool::SetSplitEveryFill(false);
    }
    static sampling::FillResult Compute(const sampling::FillJob& job, int threads,
                                        const std::atomic<bool>* cancel = nullptr,
                                        std::atomic<int>* done = nullptr) {
        fillpool::SetThreads(threads);
        fillpool::SetSplitEveryFill(threads > 1);
        return sampling::ComputeFill(job, cancel, done);
    }
    static bool Same(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }
    static bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    static void ExpectSamePoints(const sampling::FillResult& a, const sampling::FillResult& b,
                                 int count) {
        for (int k = 0; k < count; ++k) {
            const sampling::SamplePoint& s = a.record.samples[static_cast<std::size_t>(k)];
            const sampling::SamplePoint& t = b.record.samples[static_cast<std::size_t>(k)];
            ASSERT_TRUE(Same(s.x, t.x) && Same(s.y, t.y) && Same(s.f.re, t.f.re) &&
                        Same(s.f.im, t.f.im) && Same(s.drawn, t.drawn) && s.status == t.status &&
                        s.fault == t.fault)
                << "point " << k;
        }
    }
    static std::string Message(const std::exception_ptr& error) {
        if (!error) return "";
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            return typeid(e).name() + std::string(": ") + e.what();
        }
    }
};

TEST_F(PoolFill, BitIdenticalToOneThread) {
    const struct {
        const char* name;
        const char* formula;
        int mode;
        double yLow, yHigh; // 0, 0: the window's -4..4
        int statusLeft;     // by the last point, in fill order
    } rows[] = {
        {"the default formula", "SIN(Z+Q)*Z/10", sampling::dmRealPart, 0, 0, 0},
        {"overflow part way, also at the last point", "Z^1000", sampling::dmRealPart, 0, 0, 0},
        {"domain status at every point", "LN(Z-Z)", sampling::dmImagPart, 0, 0, 2},
        {"division by zero substituted", "1/(Z-Z)", sampling::dmModulus, 0, 0, 2},
        {"status at the last point only", "LN(Z-3.996-4*I)", sampling::dmPhase, 0, 0, 2},
        {"overflow status in the right half", "EXP(Z*1000)", sampling::dmRealPart, 0, 0, 4},
        {"syntax error everywhere", "Z+", sampling::dmRealPart, 0, 0, 1},
        {"empty text", "", sampling::dmRealPart, 0, 0, 1},
        {"reduction overflows part way", "Z*1E300", sampling::dmModulus, 0, 0, 2},
        {"poles of gamma", "GAMMA(Z*2)", sampling::dmModulus, 0, 0, 0},
        {"an expensive function", "RIEMANN(Z)", sampling::dmRealPart, 0, 0, 0},
        {"remembered sine pairs", "SEC(Z)*CSC(Z)+COSH(Z)", sampling::dmRealPart, 0, 0, 0},
        {"positions that overflow", "2", sampling::dmRealPart, 1e308, -1e308, 0},
    };
    for (const auto& r : rows) {
        for (const int points : {36, 37}) {
            SCOPED_TRACE(std::string(r.name) + " at " + std::to_string(points));
            ComplexStatus = 3; // the status the fill starts from
            TPlot3D plot;
            sampling::LoadWindowPlotSettings(plot);
            if (r.yLow != r.yHigh) {
                plot.SetRangeYLow(r.yLow);
                plot.SetRangeYHigh(r.yHigh);
            }
            ComplexParamQ = Complex{0.3L, 0};
            const sampling::FillJob job = sampling::MakeFillJob(plot, r.formula, r.mode, points);
            const sampling::FillResult one = Compute(job, 1);
            EXPECT_EQ(one.status, r.statusLeft);
            for (const int threads : {2, 3}) {
                const sampling::FillResult pool = Compute(job, threads);
                ASSERT_EQ(pool.done, points * points);
                EXPECT_EQ(pool.done, one.done);
                EXPECT_EQ(pool.status, one.status);
                EXPECT_EQ(pool.cancelled, one.cancelled);
                EXPECT_EQ(Message(pool.error), Message(one.error));
                const sampling::FillReport &a = pool.record.report, &b = one.record.report;
                EXPECT_EQ(std::tie(a.syntax, a.domain, a.overflow, a.faults, a.firstStatus),
                          std::tie(b.syntax, b.domain, b.overflow, b.faults, b.firstStatus));
                ExpectSamePoints(pool, one, points * points);
            }
        }
    }
}

TEST_F(PoolFill, CancelAnswersWithTheComputedPointsInFillOrder) {
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    const sampling::FillJob job = sampling::MakeFillJob(plot, "RIEMANN(Z)", 1, 100);
    const sampling::FillResult one = Compute(job, 1);
    std::atomic<bool> cancel{false};
    std::atomic<int> done{0};
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread canceller([&] {
        while (done < 500) std::this_thread::yield();
        cancelledAt = std::chrono::steady_clock::now();
        cancel = true;
    });
    const sampling::FillResult pool = Compute(job, 3, &cancel, &done);
    const auto answered = std::chrono::steady_clock::now();
    canceller.join();
    ASSERT_TRUE(pool.cancelled);
    EXPECT_LT(answered - cancelledAt, std::chrono::milliseconds(100));
    ExpectSamePoints(pool, one, pool.done);
    for (std::size_t k = static_cast<std::size_t>(pool.done); k < pool.record.samples.size(); ++k)
        ASSERT_TRUE(Same(pool.record.samples[k].drawn, 0.0)) << "point " << k;
}

TEST(ApplyIntervals, FieldsToRanges) {
    const double pi = std::numbers::pi;
    const struct {
        const char* name;
        sampling::IntervalTexts fields;
        double xLow, xHigh, yLow, yHigh, zLow, zHigh;
    } rows[] = {
        // clang-format off
        {"defaults", sampling::DefaultIntervalTexts, -3.996, 3.996, -4, 4, -4, 4},
        {"x pulled toward the middle, also when negative", {"-10", "0", "-1", "-2", "5", "1"}, -9.996, -2.004, 0, 5, -1, 1},
        {"x pulled toward the middle far from 0", {"1000", "0", "0", "1000,5", "1", "1"}, 1000.00025, 1000.49975, 0, 1, 0, 1},
        {"formulas", {"-2*pi", "1,5", "-x", "pi", "3", "X+1"}, -1.9985 * pi, 0.9985 * pi, 1.5, 3, -1, 2},
        {"nonsense and empty read 0", {"ABC", "", "-4", "4", "4", "4"}, 0.002, 3.998, 0, 4, -4, 4},
        {"bounds as a pair: y and z meet the ends in force", {"4", "4", "-8", "8", "8", "-4"}, 4.002, 7.998, 4, 8, -8, -4},
        {"equal bounds widened upward", {"3", "-2", "5", "3", "-2", "5"}, 3, 4, -2, -1, 5, 6},
        {"reversed bounds: the interval between", {"8", "4", "4", "4", "-4", "-4"}, 4.002, 7.998, -4, 4, -4, 4},
        // clang-format on
    };
    for (const auto& r : rows) {
        TPlot3D plot;
        sampling::LoadWindowPlotSettings(plot);
        sampling::ApplyIntervals(plot, sampling::ReadIntervals(r.fields));
        EXPECT_DOUBLE_EQ(plot.RangeXLow(), r.xLow) << r.name;
        EXPECT_DOUBLE_EQ(plot.RangeXHigh(), r.xHigh) << r.name;
        EXPECT_DOUBLE_EQ(plot.RangeYHigh(), r.yHigh) << r.name;
        EXPECT_DOUBLE_EQ(plot.RangeYLow(), r.yLow) << r.name;
        EXPECT_DOUBLE_EQ(plot.RangeZLow(), r.zLow) << r.name;
        EXPECT_DOUBLE_EQ(plot.RangeZHigh(), r.zHigh) << r.name;
    }
}

TEST(ApplyIntervals, BoundsApplyAsAPair) {
    // Regression: the ends were set one at a time, so a new lower bound equal
    // to the upper one in force moved by 1 (x 4..8 sampled from 3.13).
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    sampling::ApplyIntervals(plot, sampling::ReadIntervals(sampling::DefaultIntervalTexts));
    sampling::ApplyIntervals(plot, sampling::ReadIntervals({"4", "4", "-4", "8", "8", "4"}));
    EXPECT_DOUBLE_EQ(plot.RangeXLow(), 4.002);
    EXPECT_EQ(plot.RangeYLow(), 4);
    EXPECT_EQ(plot.RangeYHigh(), 8);
}

TEST(ApplyIntervals, SymmetricXBoundsAreExactly0999Times) {
    for (const double b : {4.0, 0.1, 3.7, 1e10, 123.456})
        for (const double sign : {1.0, -1.0}) {
            TPlot3D plot;
            sampling::ApplyIntervals(plot, {-sign * b, -4, -4, sign * b, 4, 4});
            EXPECT_EQ(plot.RangeXLow(), -b * 0.999) << b;
            EXPECT_EQ(plot.RangeXHigh(), b * 0.999) << b;
        }
}

TEST(IntervalNotes, NameWhatTheFieldsCannotSay) {
    const auto nested = [](const std::string& open, const std::string& close, int n) {
        std::string text;
        for (int k = 0; k < n; ++k) text += open;
        text += "1";
        for (int k = 0; k < n; ++k) text += close;
        return text;
    };
    using feedback::Severity;
    const char* const swapped = "untere und obere Grenze vertauscht";
    const char* const deep = "tiefer als 255 Ebenen";
    const struct {
        const char* name;
        sampling::IntervalTexts fields;
        std::size_t field; // the note looked at
        Severity severity;
        const char* says; // nullptr: no note
    } rows[] = {
        // clang-format off
        {"clean fields", sampling::DefaultIntervalTexts, 0, Severity::None, nullptr},
        {"reversed bounds: the lower field", {"-4", "4", "-4", "4", "-4", "4"}, 1, Severity::Hint, swapped},
        {"reversed bounds: the upper field", {"-4", "4", "-4", "4", "-4", "4"}, 4, Severity::Hint, swapped},
        {"reversed bounds after a field read as 0", {"ABC", "-4", "-4", "-1", "4", "4"}, 0, Severity::Fault, swapped},
        {"equal bounds are not reversed", {"-4", "-4", "2", "4", "4", "2"}, 2, Severity::None, nullptr},
        {"255 nested brackets are read", {nested("(", ")", 255), "-4", "-4", "4", "4", "4"}, 0, Severity::None, nullptr},
        {"256 nested brackets named", {nested("(", ")", 256), "-4", "-4", "4", "4", "4"}, 0, Severity::Fault, deep},
        {"256 nested calls named", {"-4", nested("SIN(", ")", 256), "-4", "4", "4", "4"}, 1, Severity::Fault, deep},
        {"256 nested bars named", {"-4", "-4", nested("|", "|", 256), "4", "4", "4"}, 2, Severity::Fault, deep},
        {"256 nested floor brackets named", {"-4", "-4", "-4", nested("[", "]", 256), "4", "4"}, 3, Severity::Fault, deep},
        {"a syntax error is not a nesting", {"-4", "-4", "-4", "4", "4", "2+*3"}, 5, Severity::Fault, "Syntax"},
        // clang-format on
    };
    for (const auto& r : rows) {
        sampling::IntervalValues values{};
        std::array<std::uint8_t, 6> status{};
        for (std::size_t k = 0; k < 6; ++k) {
            values[k] = sampling::FieldValue(r.fields[k]);
            status[k] = RealStatus;
        }
        const auto notes = feedback::IntervalNotes(r.fields, status, values);
        EXPECT_EQ(notes[r.field].severity, r.severity) << r.name;
        const std::string& text = notes[r.field].text;
        if (r.says) {
            EXPECT_NE(text.find(r.says), std::string::npos) << r.name << ": " << text;
        } else {
            EXPECT_EQ(text, "") << r.name;
        }
    }
}

TEST(LoadWindowPlotSettings, TheWindowsStoredView) {
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    EXPECT_EQ(plot.ColorScaleHigh(), 8);
    EXPECT_EQ(plot.ColorScaleLow(), -7);
    EXPECT_EQ(plot.ViewAngleX(), 66);
    EXPECT_EQ(plot.ViewAngleZ(), 115);
    EXPECT_EQ(plot.BoundBoxStyle(), bbNone);
    EXPECT_EQ(plot.FrameStyle(), fsNone);
    EXPECT_EQ(plot.ColorLow(), clFuchsia);
    EXPECT_EQ(plot.ColorMid(), clWhite);
    EXPECT_EQ(plot.ColorMesh(), clMaroon);
    EXPECT_FALSE(plot.VisibleXCoords());
    EXPECT_EQ(plot.DecPlaceZ(), 1);
}

} // namespace
