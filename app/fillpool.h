// The threads one fill's points are spread over. The calling thread computes
// from the first point on; helper threads join it only once the fill shows
// that it will run long enough to repay their start (about 0.1 ms each), so a
// cheap fill on a small grid stays on one thread. Points are handed out in
// chunks of consecutive indices, in increasing order, by one atomic counter.
// Plain standard library, no Qt.
#pragma once

#include <atomic>
#include <functional>

namespace fillpool {

// The number of threads a fill uses: the one set by SetThreads, else one per
// core (std::thread::hardware_concurrency), no more than the environment
// variable TESSAREL_THREADS when that holds a positive number.
int Threads();
// Sets the number of threads (any count from 1, also beyond the cores, for
// tests); 0 goes back to the default above.
void SetThreads(int threads);
// When set, every fill of more than one chunk starts its helpers at once,
// however cheap it is; for tests that must see the points spread.
void SetSplitEveryFill(bool split);

// Calls point(worker, k) for every k in [0, count) on up to threads threads,
// worker 0 being the calling thread and 1..threads-1 the helpers. A worker
// takes its chunks in increasing order and their points in increasing order.
// cancel, when given, is read before each point; done, when given, counts the
// points computed, after each chunk. point returns false to stop the fill at
// k (k itself not computed); the points before it are still computed.
// Returns the length of the leading run of indices computed: count unless
// cancelled or stopped.
int ForEachPoint(int threads, int count, const std::atomic<bool>* cancel, std::atomic<int>* done,
                 const std::function<bool(int worker, int k)>& point);

} // namespace fillpool
