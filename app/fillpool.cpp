// The threads of one fill.
#include "app/fillpool.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
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
// a few times a helper's start and join (about 0.1 ms each on a busy machine).
constexpr Clock::duration kWorthSplitting = std::chrono::microseconds(400);
// The estimate is made once the calling thread has computed this long alone,
// so that a few points' cost stands for the rest.
constexpr Clock::duration kProbe = std::chrono::microseconds(40);
// About this many chunks per thread balance the threads' ends; a chunk is
// never larger than kMaxChunk points, so the probe comes early.
constexpr int kChunksPerThread = 64;
constexpr int kMaxChunk = 256;

class Fill {
  public:
    Fill(int threads, int count, const std::atomic<bool>* cancel, std::atomic<int>* done,
         const std::function<bool(int, int)>& point)
        : m_threads(threads), m_count(count),
          m_chunk(std::clamp(count / (threads * kChunksPerThread), 1, kMaxChunk)),
          m_chunks((count + m_chunk - 1) / m_chunk), m_cancel(cancel), m_done(done), m_point(point),
          m_reached(static_cast<std::size_t>(m_chunks)) {
        for (int c = 0; c < m_chunks; ++c) m_reached[static_cast<std::size_t>(c)] = c * m_chunk;
    }

    int Run() {
        const Clock::time_point start = Clock::now();
        std::vector<std::jthread> helpers;
        bool split = m_threads == 1 || m_chunks == 1;
        if (!split && splitEveryFill.load(std::memory_order_relaxed)) {
            StartHelpers(helpers);
            split = true;
        }
        for (int c; (c = Claim()) >= 0;) {
            Compute(0, c);
            if (split) continue;
            const Clock::duration alone = Clock::now() - start;
            if (alone < kProbe) continue;
            const long long left = m_count - static_cast<long long>(c + 1) * m_chunk;
            if (alone * left / (static_cast<long long>(c + 1) * m_chunk) >= kWorthSplitting) {
                StartHelpers(helpers);
                split = true;
            }
        }
        helpers.clear(); // joins
        for (int c = 0; c < m_chunks; ++c)
            if (m_reached[static_cast<std::size_t>(c)] < End(c))
                return m_reached[static_cast<std::size_t>(c)];
        return m_count;
    }

  private:
    int End(int c) const { return std::min(m_count, (c + 1) * m_chunk); }
    bool Cancelled() const { return m_cancel && m_cancel->load(std::memory_order_relaxed); }

    // The next chunk in order, or -1 when none is left or the fill ends early.
    int Claim() {
        if (m_stopped.load(std::memory_order_relaxed) || Cancelled()) return -1;
        const int c = m_next.fetch_add(1, std::memory_order_relaxed);
        return c < m_chunks ? c : -1;
    }

    void Compute(int worker, int c) {
        const int begin = c * m_chunk;
        const int end = End(c);
        int k = begin;
        for (; k < end; ++k) {
            if (Cancelled()) break;
            if (!m_point(worker, k)) {
                m_stopped.store(true, std::memory_order_relaxed);
                break;
            }
        }
        m_reached[static_cast<std::size_t>(c)] = k;
        if (m_done && k > begin) m_done->fetch_add(k - begin, std::memory_order_relaxed);
    }

    void Work(int worker) {
        for (int c; (c = Claim()) >= 0;) Compute(worker, c);
    }

    // A helper that cannot be started leaves the work to those that run.
    void StartHelpers(std::vector<std::jthread>& helpers) {
        helpers.reserve(static_cast<std::size_t>(m_threads - 1));
        try {
            for (int w = 1; w < m_threads; ++w) helpers.emplace_back([this, w] { Work(w); });
        } catch (const std::system_error&) {
        }
    }

    const int m_threads;
    const int m_count;
    const int m_chunk;  // points per chunk
    const int m_chunks; // chunks in all
    const std::atomic<bool>* m_cancel;
    std::atomic<int>* m_done;
    const std::function<bool(int, int)>& m_point;
    std::atomic<int> m_next{0}; // the next chunk to hand out
    std::atomic<bool> m_stopped{false};
    // Per chunk, the first index its worker did not compute (the chunk's
    // start while unclaimed); written by that worker, read after the join.
    std::vector<int> m_reached;
};

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
    return Fill(std::max(1, threads), count, cancel, done, point).Run();
}

} // namespace fillpool
