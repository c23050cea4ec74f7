// Sampling of a complex formula onto the plot's grid; the interval fields'
// texts and ranges are in intervalfields.cpp.
#include "app/sampling.h"

#include "app/fillpool.h"
#include "app/windowplot.h"
#include "complexformula/compiled.h"
#include "complexformula/interpreter.h"
#include "plot/plot3d.h"
#include "realformula/interpreter.h"
#include "runtime/fpu.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace sampling {

double SamplePosition(double base, double other, int k, int points) {
    return rt::Checked([&] {
        const long double b = base;
        const long double t = b + std::fabs(static_cast<long double>(other) - b) * k / points;
        return static_cast<double>(t);
    });
}

double ReduceValue(Complex w, int displayMode, bool logHeight) {
    return rt::Checked([&] {
        long double v;
        switch (displayMode) {
        case dmRealPart:
            v = w.re;
            break;
        case dmImagPart:
            v = w.im;
            break;
        case dmPhase:
            v = std::atan2(w.im, w.re);
            break;
        default:
            if (logHeight) {
                // hypot keeps moduli beyond the double range finite; log10 of 0
                // would be a division by zero.
                const long double modulus = std::hypot(w.re, w.im);
                v = modulus == 0 ? -std::numeric_limits<long double>::infinity()
                                 : std::log10(modulus);
            } else {
                v = std::sqrt(std::fabs(w.re * w.re + w.im * w.im));
            }
            break;
        }
        return static_cast<double>(v);
    });
}

FillJob MakeFillJob(const TPlot3D& plot, const std::string& formulaText, int displayMode,
                    int points) {
    FillJob job;
    job.formula = formulaText;
    job.displayMode = displayMode;
    job.points = points;
    job.xLow = plot.RangeXLow();
    job.xHigh = plot.RangeXHigh();
    job.yLow = plot.RangeYLow();
    job.yHigh = plot.RangeYHigh();
    job.zLow = plot.RangeZLow();
    job.zHigh = plot.RangeZHigh();
    job.state = CEvalState{ComplexStatus, ComplexParamQ, ComplexParamP};
    return job;
}

namespace {

PointFault FaultOf(const rt::EMathError& e) {
    if (dynamic_cast<const rt::EInvalidOp*>(&e)) return PointFault::InvalidOperation;
    if (dynamic_cast<const rt::EZeroDivide*>(&e)) return PointFault::DivisionByZero;
    if (dynamic_cast<const rt::EOverflow*>(&e)) return PointFault::Overflow;
    return PointFault::Other;
}

// A sample position, or NaN and the error that kept it from being stored.
struct Position {
    double value = std::numeric_limits<double>::quiet_NaN();
    PointFault fault = PointFault::None;
    std::exception_ptr error;
};

std::vector<Position> Positions(double base, double other, int points) {
    std::vector<Position> positions(static_cast<std::size_t>(points) + 1);
    for (int k = 1; k <= points; ++k) {
        Position& at = positions[static_cast<std::size_t>(k)];
        try {
            at.value = SamplePosition(base, other, k, points);
        } catch (const rt::EMathError& e) {
            at.fault = FaultOf(e);
            at.error = std::current_exception();
        }
    }
    return positions;
}

} // namespace

namespace {

// What one worker of a fill keeps: its own interpreter state, the first error
// among its points (its points come in increasing order, so the first met is
// its first in fill order), and where an error that is no floating-point
// fault ended the fill. Aligned so that two workers never share a cache line.
struct alignas(64) FillWorker {
    CEvalState state;
    int errorAt = std::numeric_limits<int>::max();
    std::exception_ptr error;
    int stopAt = std::numeric_limits<int>::max();
    std::exception_ptr stop;
};

// The status an evaluation left at each point; kNotEvaluated where the
// position faulted, so no evaluation ran.
constexpr std::int16_t kNotEvaluated = -1;

// One point of the fill. Where an error leaves the computation the point is
// recorded with its fault and left undrawn, and the error returned.
std::exception_ptr ComputePoint(const FillJob& job, const CompiledFormula& formula,
                                const Position& x, const Position& y, CEvalState& state,
                                SamplePoint& s, std::int16_t& statusLeft) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    s = SamplePoint{x.value, y.value, Complex{nan, nan}, 0, nan, PointFault::None};
    std::exception_ptr error = x.error ? x.error : y.error;
    s.fault = x.fault != PointFault::None ? x.fault : y.fault;
    if (s.fault != PointFault::None) return error;
    try {
        s.f = formula.Eval(Complex{x.value, y.value}, state);
        statusLeft = state.Status;
        double v = ReduceValue(s.f, job.displayMode, job.logHeight);
        if (v > job.zHigh) v = job.zHigh;
        if (v < job.zLow) v = job.zLow;
        s.drawn = v;
        s.status = state.Status;
        return nullptr;
    } catch (const rt::EMathError& e) {
        statusLeft = state.Status;
        s.fault = FaultOf(e);
        return std::current_exception();
    }
}

} // namespace

FillResult ComputeFill(const FillJob& job, const std::atomic<bool>* cancel,
                       std::atomic<int>* done) {
    const int points = job.points;
    const int count = points * points;
    FillResult result;
    result.record.points = points;
    result.record.samples.resize(static_cast<std::size_t>(count));
    result.status = job.state.Status;
    try {
        // The text is translated once; the program computes what EvalComplex
        // would at every point.
        const CompiledFormula formula(job.formula);
        const std::vector<Position> xs = Positions(job.xLow, job.xHigh, points);
        const std::vector<Position> ys = Positions(job.yLow, job.yHigh, points);
        // Every point is computed, spread over the pool's threads, each on its
        // own interpreter state; what the one-thread fill would report is
        // gathered afterwards in fill order.
        const int threads = fillpool::Threads();
        std::vector<FillWorker> workers(static_cast<std::size_t>(threads));
        for (FillWorker& w : workers) w.state = job.state;
        std::vector<std::int16_t> statusLeft(static_cast<std::size_t>(count), kNotEvaluated);
        std::vector<SamplePoint>& samples = result.record.samples;
        result.done = fillpool::ForEachPoint(threads, count, cancel, done, [&](int w, int k) {
            FillWorker& worker = workers[static_cast<std::size_t>(w)];
            const auto at = static_cast<std::size_t>(k);
            try {
                std::exception_ptr error =
                    ComputePoint(job, formula, xs[static_cast<std::size_t>(k / points + 1)],
                                 ys[static_cast<std::size_t>(k % points + 1)], worker.state,
                                 samples[at], statusLeft[at]);
                if (error && !worker.error) {
                    worker.error = std::move(error);
                    worker.errorAt = k;
                }
                return true;
            } catch (...) {
                statusLeft[at] = worker.state.Status;
                worker.stop = std::current_exception();
                worker.stopAt = k;
                return false;
            }
        });
        const auto reached = static_cast<std::size_t>(result.done);
        std::fill(samples.begin() + static_cast<std::ptrdiff_t>(reached), samples.end(),
                  SamplePoint{});
        for (std::size_t k = 0; k < reached; ++k) {
            if (samples[k].fault == PointFault::None)
                result.record.report.Count(samples[k].status);
            else
                ++result.record.report.faults;
        }
        // The first fault in fill order is the fill's error; an error that is
        // no fault ends the fill where it leaves, and takes its place.
        int firstError = result.done;
        const FillWorker* stopped = nullptr;
        for (const FillWorker& w : workers) {
            if (w.errorAt < firstError) {
                firstError = w.errorAt;
                result.error = w.error;
            }
            if (w.stopAt == result.done) stopped = &w;
        }
        if (stopped) result.error = stopped->stop;
        for (std::size_t k = stopped ? reached + 1 : reached; k-- > 0;) {
            if (statusLeft[k] != kNotEvaluated) {
                result.status = static_cast<std::uint8_t>(statusLeft[k]);
                break;
            }
        }
    } catch (...) {
        result.error = std::current_exception();
    }
    result.cancelled =
        result.done < points * points && cancel && cancel->load(std::memory_order_relaxed);
    return result;
}

double PhaseOf(Complex w) {
    if (std::isnan(w.re) || std::isnan(w.im) || (w.re == 0 && w.im == 0))
        return std::numeric_limits<double>::quiet_NaN();
    long double re = w.re, im = w.im;
    const long double scale = std::max(std::fabs(re), std::fabs(im));
    if (std::isinf(scale)) {
        re = std::isinf(re) ? std::copysign(1.0L, re) : 0.0L;
        im = std::isinf(im) ? std::copysign(1.0L, im) : 0.0L;
    } else if (scale > std::numeric_limits<double>::max() ||
               scale < std::numeric_limits<double>::min()) {
        // Scaled into the double range: the conversion would overflow or
        // lose the value, and the direction is all that counts.
        re /= scale;
        im /= scale;
    }
    return std::atan2(static_cast<double>(im), static_cast<double>(re));
}

void ApplyFill(TPlot3D& plot, const FillResult& result, FillRecord* record) {
    const int points = result.record.points;
    TMatrix& grid = plot.SurfaceData();
    grid.Resize(points, points);
    // The phases too, whatever the colouring: switching to it only repaints.
    TMatrix& phases = plot.PhaseData();
    phases.Resize(points, points);
    if (record) {
        record->points = points;
        record->samples.resize(static_cast<std::size_t>(points) * points);
        record->report = result.record.report;
    }
    for (int k = 0; k < result.done; ++k) {
        const SamplePoint& s = result.record.samples[static_cast<std::size_t>(k)];
        grid.SetCell(k / points + 1, k % points + 1, s.drawn);
        phases.SetCell(k / points + 1, k % points + 1,
                       s.fault == PointFault::None ? PhaseOf(s.f) : std::nan(""));
        if (record) record->samples[static_cast<std::size_t>(k)] = s;
    }
    ComplexStatus = result.status;
    if (result.error) std::rethrow_exception(result.error);
}

void FillSurface(TPlot3D& plot, const std::string& formulaText, int displayMode, int points) {
    ApplyFill(plot, ComputeFill(MakeFillJob(plot, formulaText, displayMode, points)), nullptr);
}

void FillSurface(TPlot3D& plot, const std::string& formulaText, int displayMode, FillRecord& record,
                 int points) {
    ApplyFill(plot, ComputeFill(MakeFillJob(plot, formulaText, displayMode, points)), &record);
}

void LoadWindowPlotSettings(TPlot3D& p) {
    p.SetBoundBoxStyle(bbNone);
    p.SetCentX(340);
    p.SetCentY(260);
    p.SetColorFrame(clGray);
    p.SetColorBakGnd(clWhite);
    p.SetColorCodeAvg(false);
    p.SetColorCubeFrame(windowplot::BoxFrameColor);
    p.SetColorCubeHidLin(windowplot::BoxHiddenLineColor);
    p.SetColorCubeFaceLow(clSilver);
    p.SetColorCubeFaceHigh(0xFEEEEE);
    p.SetColorXCoords(clBlue);
    p.SetColorYCoords(clBlue);
    p.SetColorZCoords(clRed);
    p.SetColorMesh(clMaroon);
    p.SetColorHigh(clYellow);
    p.SetColorMid(clWhite);
    p.SetColorLow(clFuchsia);
    p.SetColorScaleHigh(8);
    p.SetColorScaleLow(-7);
    p.SetColorCodingMode(ccmTwoColors);
    p.SetColorScheme(csBWG);
    p.SetDecPlaceX(1);
    p.SetDecPlaceY(1);
    p.SetDecPlaceZ(1);
    p.SetFrameStyle(fsNone);
    p.SetMeshVisible(true);
    p.SetMagnification(1.1);
    p.SetMouseAction(maRotate);
    p.SetMinTickX(3);
    p.SetMinTickY(3);
    p.SetMinTickZ(3);
    p.SetRangeXLow(-3.996);
    p.SetRangeYLow(-4);
    p.SetRangeZLow(-4);
    p.SetRangeXHigh(3.996);
    p.SetRangeYHigh(4);
    p.SetRangeZHigh(4);
    p.SetScaleFactX(1);
    p.SetScaleFactY(1);
    p.SetScaleFactZ(1);
    p.SetViewAngleX(66);
    p.SetViewAngleZ(115);
    p.SetVisibleXCoords(false);
    p.SetVisibleYCoords(false);
    p.SetVisibleZCoords(false);
}

void SetQ(double q) {
    ParamQ = q;
    ComplexParamQ.re = q;
}

void FillSurface(TPlot3D& plot, const SurfaceRequest& request, FillRecord* record,
                 std::atomic<int>* done) {
    FillJob job = MakeFillJob(plot, request.formula, request.displayMode, request.points);
    job.logHeight = request.logHeight;
    ApplyFill(plot, ComputeFill(job, nullptr, done), record);
}

void PrepareSurface(TPlot3D& plot, const SurfaceRequest& request, std::atomic<int>* done) {
    SetQ(request.q);
    ApplyIntervals(plot, ReadIntervals(request.intervals));
    FillSurface(plot, request, nullptr, done);
}

} // namespace sampling
