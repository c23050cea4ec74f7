// The fill of the default formula SIN(Z+Q)*Z/10 on the 36 x 36 grid, four
// ways in one process: a native C++ loop of the same formula (the limit), a
// parse-once expression library evaluating bytecode per point (the peer), the
// text interpreter per point, and the compiled fill the window uses. Each
// iteration is one fill at the next Q of a sweep; the real part is clamped to
// the z range and stored, as the fill does. The table at the end gives each
// row's CPU time per fill and its ratio to the native loop.
//
// The pool rows fill expensive formulas and a large grid on one thread and on
// all of them (fillpool::Threads()); their table gives the wall time per fill
// and the speed-up.
//
// The portrait row computes and colours the phase portrait of the default
// formula at 823 x 653 pixels on all threads; the table sets it beside the same
// picture from numpy and matplotlib (portrait_numpy.py, run by /usr/bin/python3).
#include "app/fillpool.h"
#include "app/portrait.h"
#include "app/sampling.h"
#include "complexformula/interpreter.h"
#include "plot/plot3d.h"

#include <benchmark/benchmark.h>

#include <array>
#include <complex>
#include <cstdio>
#include <map>
#include <string>

#ifdef TESSAREL_HAVE_MUPARSERX
#include <mpParser.h>
#endif

namespace {

constexpr int N = sampling::GridPoints;
const char* const kFormula = "SIN(Z+Q)*Z/10";

// The grid positions and z range of the window's start view.
struct Grid {
    std::array<double, N> xs{}, ys{};
    double zLow = -4, zHigh = 4;
    Grid() {
        TPlot3D plot;
        sampling::LoadWindowPlotSettings(plot);
        for (int k = 1; k <= N; ++k) {
            xs[k - 1] = sampling::SamplePosition(plot.RangeXLow(), plot.RangeXHigh(), k);
            ys[k - 1] = sampling::SamplePosition(plot.RangeYLow(), plot.RangeYHigh(), k);
        }
    }
};
const Grid grid;

double NextQ(double& q) {
    q -= 0.1;
    if (q < -10) q = 10;
    return q;
}

double Clamped(double v) {
    return v > grid.zHigh ? grid.zHigh : v < grid.zLow ? grid.zLow : v;
}

void NativeLoop(benchmark::State& state) {
    std::array<double, N * N> cells{};
    double q = 0;
    for (auto _ : state) {
        const std::complex<double> qc(NextQ(q), 0);
        for (int p = 0; p < N; ++p)
            for (int i = 0; i < N; ++i) {
                const std::complex<double> z(grid.xs[p], grid.ys[i]);
                cells[p * N + i] = Clamped((std::sin(z + qc) * z / 10.0).real());
            }
        benchmark::DoNotOptimize(cells.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(NativeLoop)->Unit(benchmark::kMillisecond);

void ExpressionLibrary(benchmark::State& state) {
#ifdef TESSAREL_HAVE_MUPARSERX
    mup::ParserX parser(mup::pckALL_COMPLEX);
    mup::Value z(mup::cmplx_type(0, 0));
    mup::Value q(0.0);
    parser.DefineVar("z", mup::Variable(&z));
    parser.DefineVar("q", mup::Variable(&q));
    parser.SetExpr("sin(z+q)*z/10");
    std::array<double, N * N> cells{};
    double qValue = 0;
    for (auto _ : state) {
        q = NextQ(qValue);
        for (int p = 0; p < N; ++p)
            for (int i = 0; i < N; ++i) {
                z = mup::cmplx_type(grid.xs[p], grid.ys[i]);
                cells[p * N + i] = Clamped(parser.Eval().GetFloat());
            }
        benchmark::DoNotOptimize(cells.data());
    }
#else
    state.SkipWithError("libmuparserx-dev is not installed (make bench installs it)");
#endif
}
BENCHMARK(ExpressionLibrary)->Unit(benchmark::kMillisecond);

// The fill as it was: the text read again at every point.
void InterpreterPerPoint(benchmark::State& state) {
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    TMatrix& cells = plot.SurfaceData();
    cells.Resize(N, N);
    double q = 0;
    for (auto _ : state) {
        ComplexParamQ.re = NextQ(q);
        for (int p = 0; p < N; ++p)
            for (int i = 0; i < N; ++i) {
                const Complex w = EvalComplex(kFormula, Complex{grid.xs[p], grid.ys[i]});
                cells.SetCell(p + 1, i + 1,
                              Clamped(sampling::ReduceValue(w, sampling::dmRealPart)));
            }
    }
}
BENCHMARK(InterpreterPerPoint)->Unit(benchmark::kMillisecond);

void CompiledFill(benchmark::State& state) {
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    double q = 0;
    for (auto _ : state) {
        ComplexParamQ.re = NextQ(q);
        sampling::FillSurface(plot, kFormula, sampling::dmRealPart);
    }
}
BENCHMARK(CompiledFill)->Unit(benchmark::kMillisecond);

// A fill on the pool: threads 1, or 0 for all of them.
struct PoolCase {
    const char* formula;
    int points;
};
const PoolCase kPoolCases[] = {{"RIEMANN(Z)", 36}, {"GAMMA(Z)", 36}, {kFormula, 400}};

std::string PoolRowName(const PoolCase& c, int threads) {
    return "PoolFill/" + std::string(c.formula) + "/" + std::to_string(c.points) +
           "/threads:" + (threads == 1 ? std::string("1") : "all");
}

void PoolFill(benchmark::State& state, PoolCase c, int threads) {
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    fillpool::SetThreads(threads);
    double q = 0;
    for (auto _ : state) {
        ComplexParamQ.re = NextQ(q);
        sampling::FillSurface(plot, c.formula, sampling::dmRealPart, c.points);
    }
    fillpool::SetThreads(0);
}

// The phase portrait of the default formula at the window's plot size, on all
// threads, computed and coloured; compared in the table with the same picture
// computed by numpy and coloured by matplotlib (portrait_numpy.py).
constexpr int kPortraitWidth = 823, kPortraitHeight = 653;

void Portrait(benchmark::State& state) {
    portrait::PortraitJob job;
    job.formula = kFormula;
    job.xLow = -3.996;
    job.xHigh = 3.996;
    job.width = kPortraitWidth;
    job.height = kPortraitHeight;
    double q = 0;
    for (auto _ : state) {
        job.state.Q.re = NextQ(q);
        benchmark::DoNotOptimize(portrait::ComputePortrait(job).neutral);
    }
}
BENCHMARK(Portrait)->Unit(benchmark::kMillisecond)->UseRealTime();

// The best of three runs of the numpy recipe, in ms; negative when it did not run.
double NumpyPortraitMs() {
    double best = -1;
    for (int run = 0; run < 3; ++run) {
        const std::string command = std::string("/usr/bin/python3 ") + TESSAREL_PORTRAIT_SCRIPT +
                                    " " + std::to_string(kPortraitWidth) + " " +
                                    std::to_string(kPortraitHeight) + " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return best;
        double seconds = -1;
        if (std::fscanf(pipe, "compute+colour %lf", &seconds) != 1) seconds = -1;
        pclose(pipe);
        if (seconds < 0) return best;
        if (best < 0 || seconds * 1000 < best) best = seconds * 1000;
    }
    return best;
}

// The console output, then the four rows side by side.
class TableReporter : public benchmark::ConsoleReporter {
  public:
    TableReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the median, reported after the runs, stands for the row.
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            m_cpuMs[run.run_name.function_name] = run.GetAdjustedCPUTime(); // in ms
            m_wallMs[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    void PrintTable() const {
        const auto native = m_cpuMs.find("NativeLoop");
        std::printf("\nFill of %s on %d x %d points, CPU time per fill:\n", kFormula, N, N);
        for (const char* name :
             {"NativeLoop", "ExpressionLibrary", "InterpreterPerPoint", "CompiledFill"}) {
            const auto row = m_cpuMs.find(name);
            if (row == m_cpuMs.end()) {
                std::printf("  %-20s  skipped\n", name);
                continue;
            }
            std::printf("  %-20s %8.3f ms", name, row->second);
            if (native != m_cpuMs.end() && native->second > 0)
                std::printf("  %6.1f x native", row->second / native->second);
            std::printf("\n");
        }
        std::printf("\nFill on one thread and on all %d, wall time per fill:\n",
                    fillpool::Threads());
        for (const PoolCase& c : kPoolCases) {
            const auto one = m_wallMs.find(PoolRowName(c, 1));
            const auto all = m_wallMs.find(PoolRowName(c, 0));
            if (one == m_wallMs.end() || all == m_wallMs.end()) continue;
            std::printf("  %-16s %3d x %-3d %9.3f ms %9.3f ms  %5.2f x\n", c.formula, c.points,
                        c.points, one->second, all->second, one->second / all->second);
        }
        const auto portrait = m_wallMs.find("Portrait");
        if (portrait == m_wallMs.end()) return;
        const double numpy = NumpyPortraitMs();
        std::printf("\nPhase portrait of %s at %d x %d, computed and coloured, wall time:\n",
                    kFormula, kPortraitWidth, kPortraitHeight);
        std::printf("  tessarel, all threads %9.3f ms\n", portrait->second);
        if (numpy < 0)
            std::printf("  numpy + matplotlib     skipped (python3-numpy, python3-matplotlib)\n");
        else
            std::printf("  numpy + matplotlib %12.3f ms  %5.2f x tessarel's time\n", numpy,
                        numpy / portrait->second);
    }

  private:
    std::map<std::string, double> m_cpuMs;
    std::map<std::string, double> m_wallMs;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (const PoolCase& c : kPoolCases)
        for (const int threads : {1, 0})
            benchmark::RegisterBenchmark(PoolRowName(c, threads).c_str(), PoolFill, c, threads)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
