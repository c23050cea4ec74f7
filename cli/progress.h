// How far a long command-line job is: one line on standard error, rewritten
// in place a few times a second while the job runs and cleared at its end,
// shown only when standard error is a terminal.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace cli {

// The line for a job of frames frames of pointsPerFrame points each, where
// framesDone frames are finished and pointsDone points of the next one
// computed, after elapsed: "frame 3/200, points 1234/1296, 0:05 elapsed,
// 0:30 left". The frame part is left out for one frame, the points part
// while the frame computes none (a turn of the view), the time left until
// anything is done.
std::string ProgressLine(int framesDone, int frames, int pointsDone, int pointsPerFrame,
                         std::chrono::steady_clock::duration elapsed);

// Clears the line of the Progress that runs, if any, so that a message can
// follow; the line comes back at its next update.
void ClearProgressLine();

class Progress {
  public:
    // Starts showing after half a second when standard error is a terminal.
    Progress(int frames, int pointsPerFrame);
    ~Progress(); // clears the line
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // The counter the running frame's fill adds its points to.
    std::atomic<int>* Points() { return &m_points; }
    // The running frame is finished; the counter starts again from 0.
    void FrameDone();

  private:
    friend void ClearProgressLine();
    void Run();
    void Show(const std::string& line); // under m_mutex

    const int m_frames;
    const int m_pointsPerFrame;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::atomic<int> m_points{0};
    std::atomic<int> m_framesDone{0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::size_t m_shown = 0; // characters of the line on the terminal
    std::thread m_thread;
};

} // namespace cli
