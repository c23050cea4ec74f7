// The window's fill on a worker thread, so that the window answers keys, the
// mouse and the menus while a long formula is computed. One job runs at a
// time; starting another cancels the one running, whose threads each stop
// before their next point. The worker spreads the job over the fill pool
// (ComputeFill), each thread on its own copy of the job's interpreter state,
// and never touches the plot: the result is handed back to the thread that
// owns the plot, which applies it. No Qt.
#pragma once

#include "app/sampling.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class BackgroundFill {
  public:
    // ended is called on the worker thread, with the job's number, when a
    // job that was not cancelled has ended (finished or failed) and its
    // result can be taken.
    explicit BackgroundFill(std::function<void(std::uint64_t job)> ended);
    // Cancels the running job and waits for the worker, at most one point
    // on each of its threads.
    ~BackgroundFill();
    BackgroundFill(const BackgroundFill&) = delete;
    BackgroundFill& operator=(const BackgroundFill&) = delete;

    // Cancels the running job and starts this one; returns its number.
    std::uint64_t Start(sampling::FillJob job);
    // Cancels the running job: its result is never handed out.
    void Cancel();
    // The result of the given job once it has ended, waiting up to limit;
    // handed out once.
    std::optional<sampling::FillResult> Wait(std::uint64_t job, std::chrono::milliseconds limit);
    // Points computed so far of the latest job, counted by chunks of points.
    int PointsDone() const { return m_done.load(std::memory_order_relaxed); }

  private:
    void Run();

    std::function<void(std::uint64_t)> m_ended;
    std::mutex m_mutex;
    std::condition_variable m_wake;  // a job is waiting, or the worker must quit
    std::condition_variable m_ready; // a result is there
    std::optional<sampling::FillJob> m_next;
    std::uint64_t m_latest = 0; // the job whose result is wanted; a cancel moves it on
    std::uint64_t m_resultJob = 0;
    std::optional<sampling::FillResult> m_result;
    bool m_quit = false;
    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_done{0};
    std::thread m_worker; // last: starts once everything above is built
};
