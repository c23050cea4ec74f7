// The fill spread over the pool against the fill on one thread, bit for bit.
//
// Input: Q and the x and y ranges (InterestingDouble each, five in all), the
// display mode, the points per axis (2..13) and the threads (2..4) as bytes,
// then the formula text, of which the first kFormulaBytes are used. Both
// fills must agree in every point's position, value, drawn value, status and
// fault, in the counts, the points done, the status left and the error.
//
// The text is cut so that an input stays within the time limit: 169 points,
// twice, of a text of expensive functions.
#include "app/fillpool.h"
#include "app/sampling.h"
#include "fuzz/fuzz_input.h"

#include <cstring>
#include <exception>
#include <string>

namespace {

constexpr std::size_t kFormulaBytes = 160;

bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;
}
bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Message(const std::exception_ptr& error) {
    if (!error) return "";
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return typeid(e).name() + std::string(": ") + e.what();
    } catch (...) {
        return "?";
    }
}

sampling::FillResult Compute(const sampling::FillJob& job, int threads) {
    fillpool::SetThreads(threads);
    fillpool::SetSplitEveryFill(threads > 1);
    return sampling::ComputeFill(job);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    sampling::FillJob job;
    job.state.Q = Complex{in.InterestingDouble(), 0};
    job.xLow = in.InterestingDouble();
    job.xHigh = in.InterestingDouble();
    job.yLow = in.InterestingDouble();
    job.yHigh = in.InterestingDouble();
    job.zLow = -4;
    job.zHigh = 4;
    job.displayMode = 1 + in.Byte() % 4;
    job.points = 2 + in.Byte() % 12;
    const int threads = 2 + in.Byte() % 3;
    job.formula = in.Rest().substr(0, kFormulaBytes);

    const sampling::FillResult one = Compute(job, 1);
    const sampling::FillResult pool = Compute(job, threads);
    if (pool.done != one.done) FuzzFail("another count of points done");
    if (pool.status != one.status) FuzzFail("another status left");
    if (Message(pool.error) != Message(one.error)) FuzzFail("another error");
    const sampling::FillReport &a = pool.record.report, &b = one.record.report;
    if (a.syntax != b.syntax || a.domain != b.domain || a.overflow != b.overflow ||
        a.faults != b.faults || a.firstStatus != b.firstStatus)
        FuzzFail("other status counts");
    for (std::size_t k = 0; k < one.record.samples.size(); ++k) {
        const sampling::SamplePoint& s = pool.record.samples[k];
        const sampling::SamplePoint& t = one.record.samples[k];
        if (!SameBits(s.x, t.x) || !SameBits(s.y, t.y)) FuzzFail("another position");
        if (!SameBits(s.f.re, t.f.re) || !SameBits(s.f.im, t.f.im)) FuzzFail("another value");
        if (!SameBits(s.drawn, t.drawn)) FuzzFail("another drawn value");
        if (s.status != t.status || s.fault != t.fault) FuzzFail("another point status or fault");
    }
    return 0;
}
