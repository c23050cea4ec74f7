// The window's fill worker on its own, without a window.
#include "app/backgroundfill.h"
#include "plot/plot3d.h"

#include <gtest/gtest.h>

namespace {

sampling::FillJob JobOf(const std::string& formula) {
    TPlot3D plot;
    sampling::LoadWindowPlotSettings(plot);
    return sampling::MakeFillJob(plot, formula, sampling::dmRealPart);
}

} // namespace

// A cancelled job hands nothing out, however far it got, and the next job's
// result is its own.
TEST(BackgroundFill, ACancelledJobHandsNothingOut) {
    BackgroundFill filler(nullptr);
    const sampling::FillJob quick = JobOf("Z");
    for (int k = 0; k < 400; ++k) {
        const std::uint64_t job = filler.Start(quick);
        filler.Cancel();
        ASSERT_FALSE(filler.Wait(job, std::chrono::milliseconds(5))) << "round " << k;
    }
    const sampling::FillJob square = JobOf("Z*Z");
    const std::uint64_t last = filler.Start(square);
    const auto result = filler.Wait(last, std::chrono::seconds(30));
    ASSERT_TRUE(result);
    const sampling::FillResult direct = sampling::ComputeFill(square);
    ASSERT_EQ(result->done, direct.done);
    for (int p = 1; p <= 36; ++p)
        for (int i = 1; i <= 36; ++i)
            ASSERT_EQ(result->record.At(p, i).f.re, direct.record.At(p, i).f.re) << p << ", " << i;
    EXPECT_FALSE(filler.Wait(last, std::chrono::milliseconds(0))); // handed out once
}
