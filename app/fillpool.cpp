// The threads of one fill.
#include "app/fillpool.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace fillpool {

namespace {

std::atomic<int> chosenThreads{0};
std::atomic<bool> splitEveryFill{false};

int DefaultThreads() {
    static const int threads = [] {
        int n = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
        if (const char* text = std::getenv("TESSAREL_THREADS")) {
            int cap = 0;
            const char* end = text + std::strlen(text);
            const auto [at, ec] = std::from_chars(text, end, cap);
            if (ec == std::errc() && at == end && cap > 0) n = std::min(n, cap);
        }
        return n;
    }();
    return threads;
}

using Clock = std::chrono::steady_clock;

// Helpers start once the points left are estimated to take longer than this,
// several times a helper's start (about 0.05 ms on an idle machine), so that a
// cheap fill on the window's grid stays on one thread.
constexpr Clock::duration kWorthSplitting = std::chrono::microseconds(600);
// The estimate is made once the calling thread has computed this long alone,
// so that a few points' cost stands for the rest.
constexpr Clock::duration kProbe = std::chrono::microseconds(20);
// About this many chunks per thread balance the threads' ends; a chunk is
// never larger than kMaxChunk points, so that the probe comes early and the
// calling thread never waits long for a chunk a helper took last.
constexpr int kChunksPerThread = 64;
constexpr int kMaxChunk = 64;
// The chunk counter once the calling thread has closed the fill: a helper that
// starts late finds nothing left.
constexpr int kClosed = 1 << 30;

// What the calling thread and its helpers share. A helper holds it until it
// ends, so one that the system starts only after the fill has returned finds
// it still there, closed; it touches the caller's cancel flag, counter and
// point function only inside a chunk it took, and the caller waits for every
// chunk taken.
struct Shared {
    Shared(int threads, int count, const std::atomic<bool>* cancel, std::atomic<int>* done,
           const std::function<bool(int, int)>& point)
        : threads(threads), count(count),
          chunk(std::clamp(count / (threads * kChunksPerThread), 1, kMaxChunk)),
          chunks((count + chunk - 1) / chunk), cancel(cancel), done(done), point(&point),
          reached(static_cast<std::size_t>(chunks)) {
        for (int c = 0; c < chunks; ++c) reached[static_cast<std::size_t>(c)] = c * chunk;
    }

    int End(int c) const { return std::min(count, (c + 1) * chunk); }
    bool Cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }

    // The next chunk in order, or -1 when none is left.
    int Claim() {
        const int c = next.fetch_add(1, std::memory_order_relaxed);
        return c < chunks ? c : -1;
    }

    // Computes chunk c; false when the fill ends early (stopped or cancelled).
    bool Compute(int worker, int c) {
        const int begin = c * chunk;
        const int end = End(c);
        int k = begin;
        if (!stopped.load(std::memory_order_relaxed)) {
            for (; k < end; ++k) {
                if (Cancelled()) break;
                if (!(*point)(worker, k)) {
                    stopped.store(true, std::memory_order_relaxed);
                    break;
                }
            }
        }
        reached[static_cast<std::size_t>(c)] = k;
        if (done && k > begin) done->fetch_add(k - begin, std::memory_order_relaxed);
        const bool goOn = !stopped.load(std::memory_order_relaxed) && !Cancelled();
        finished.fetch_add(1, std::memory_order_release);
        finished.notify_one();
        return goOn;
    }

    void Work(int worker) {
        for (int c; (c = Claim()) >= 0;)
            if (!Compute(worker, c)) break;
    }

    const int threads;
    const int count;
    const int chunk;  // points per chunk
    const int chunks; // chunks in all
    const std::atomic<bool>* const cancel;
    std::atomic<int>* const done;
    const std::function<bool(int, int)>* const point;
    std::atomic<int> next{0};     // the next chunk to hand out
    std::atomic<int> finished{0}; // chunks computed, or left when the fill ended early
    std::atomic<bool> stopped{false};
    // Per chunk, the first index its worker did not compute (the chunk's
    // start while untaken); written by that worker before it counts the chunk
    // finished.
    std::vector<int> reached;
};

// Helpers are detached: the fill waits for the chunks they took, never for a
// helper the system has not started yet (on a busy machine that can take
// milliseconds). A helper that cannot be started leaves the work to the rest.
void StartHelpers(const std::shared_ptr<Shared>& shared) {
    try {
        for (int w = 1; w < shared->threads; ++w)
            std::thread([shared, w] { shared->Work(w); }).detach();
    } catch (const std::system_error&) {
    }
}

int Run(const std::shared_ptr<Shared>& shared) {
    Shared& s = *shared;
    const Clock::time_point start = Clock::now();
    bool split = s.threads == 1 || s.chunks == 1;
    if (!split && splitEveryFill.load(std::memory_order_relaxed)) {
        StartHelpers(shared);
        split = true;
    }
    for (int c; (c = s.Claim()) >= 0;) {
        if (!s.Compute(0, c)) break;
        if (split) continue;
        const Clock::duration alone = Clock::now() - start;
        if (alone < kProbe) continue;
        const long long computed = static_cast<long long>(c + 1) * s.chunk;
        if (alone * (s.count - computed) / computed >= kWorthSplitting) {
            StartHelpers(shared);
            split = true;
        }
    }
    // Closed: the chunks handed out so far are all there will be.
    const int taken = std::min(s.next.exchange(kClosed), s.chunks);
    for (int f; (f = s.finished.load(std::memory_order_acquire)) < taken;)
        s.finished.wait(f, std::memory_order_acquire);
    for (int c = 0; c < s.chunks; ++c)
        if (s.reached[static_cast<std::size_t>(c)] < s.End(c))
            return s.reached[static_cast<std::size_t>(c)];
    return s.count;
}

} // namespace

int Threads() {
    const int chosen = chosenThreads.load(std::memory_order_relaxed);
    return chosen > 0 ? chosen : DefaultThreads();
}

void SetThreads(int threads) {
    chosenThreads.store(std::max(0, threads), std::memory_order_relaxed);
}

void SetSplitEveryFill(bool split) {
    splitEveryFill.store(split, std::memory_order_relaxed);
}

int ForEachPoint(int threads, int count, const std::atomic<bool>* cancel, std::atomic<int>* done,
                 const std::function<bool(int, int)>& point) {
    if (count <= 0) return 0;
    return Run(std::make_shared<Shared>(std::max(1, threads), count, cancel, done, point));
}

} // namespace fillpool
