// The phase portrait, pixel by pixel on the fill pool.
#include "app/portrait.h"

#include "app/fillpool.h"
#include "app/sampling.h"
#include "complexformula/compiled.h"
#include "runtime/fpu.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace portrait {

TColor PortraitColor(Complex w, TPhaseWheel wheel, bool steps) {
    const double phase = sampling::PhaseOf(w);
    if (std::isnan(phase) || !std::isfinite(w.re) || !std::isfinite(w.im)) return PhaseNeutralGray;
    const TColor color = PhaseColor(phase, wheel);
    if (!steps) return color;
    // log2 |w| in doubles where the square of the modulus is a normal double,
    // else in long double without overflow.
    const double re = static_cast<double>(w.re), im = static_cast<double>(w.im);
    const double square = re * re + im * im;
    double level;
    if (square >= std::numeric_limits<double>::min() &&
        square <= std::numeric_limits<double>::max()) {
        level = 0.5 * std::log2(square);
    } else {
        const long double a = std::fabs(w.re), b = std::fabs(w.im);
        const long double big = std::max(a, b), small = std::min(a, b);
        level = static_cast<double>(std::log2(big) +
                                    0.5L * std::log2(1 + (small / big) * (small / big)));
    }
    const double shade = 2.0 / 3 + (level - std::floor(level)) / 3;
    const auto channel = [&](int v) { return static_cast<int>(v * shade + 0.5); };
    return RGB(channel(GetRValue(color)), channel(GetGValue(color)), channel(GetBValue(color)));
}

Portrait ComputePortrait(const PortraitJob& job, const std::atomic<bool>* cancel) {
    Portrait result;
    result.width = job.width;
    result.height = job.height;
    const int count = job.width * job.height;
    result.pixels.assign(static_cast<std::size_t>(count), PhaseNeutralGray);
    if (count <= 0) return result;
    const CompiledFormula formula(job.formula);
    const int threads = fillpool::Threads();
    std::vector<CEvalState> states(static_cast<std::size_t>(threads), job.state);
    const double dx = (job.xHigh - job.xLow) / job.width, dy = (job.yHigh - job.yLow) / job.height;
    const int done = fillpool::ForEachPoint(threads, count, cancel, nullptr, [&](int w, int k) {
        const int c = k % job.width, r = k / job.width;
        const Complex z{job.xLow + dx * (c + 0.5), job.yHigh - dy * (r + 0.5)};
        try {
            const Complex f = formula.Eval(z, states[static_cast<std::size_t>(w)]);
            result.pixels[static_cast<std::size_t>(k)] = PortraitColor(f, job.wheel, job.steps);
        } catch (...) {
            // A point whose evaluation fails stays grey; the others go on.
        }
        return true;
    });
    result.cancelled = done < count;
    for (TColor p : result.pixels) result.neutral += p == PhaseNeutralGray;
    return result;
}

} // namespace portrait
