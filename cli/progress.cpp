// The progress line of long command-line jobs.
#include "cli/progress.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace cli {

namespace {

constexpr auto FirstShown = std::chrono::milliseconds(500);
constexpr auto UpdateEvery = std::chrono::milliseconds(250);

// The Progress whose thread shows the line: one at a time.
std::mutex g_activeMutex;
Progress* g_active = nullptr;

// "m:ss", or "h:mm:ss" from an hour on.
std::string Duration(double seconds) {
    const long total = static_cast<long>(std::max(seconds, 0.0));
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

} // namespace

std::string ProgressLine(int framesDone, int frames, int pointsDone, int pointsPerFrame,
                         std::chrono::steady_clock::duration elapsed) {
    std::string line;
    if (frames > 1)
        line = "frame " + std::to_string(std::min(framesDone + 1, frames)) + "/" +
               std::to_string(frames) + ", ";
    if (pointsDone > 0 || frames == 1)
        line +=
            "points " + std::to_string(pointsDone) + "/" + std::to_string(pointsPerFrame) + ", ";
    const double seconds = std::chrono::duration<double>(elapsed).count();
    line += Duration(seconds) + " elapsed";
    // The share done, counting a frame's points as parts of it.
    const double done =
        (framesDone + (pointsPerFrame > 0 ? double(pointsDone) / pointsPerFrame : 0.0)) /
        std::max(frames, 1);
    if (done > 0 && done <= 1) line += ", " + Duration(seconds * (1 - done) / done) + " left";
    return line;
}

Progress::Progress(int frames, int pointsPerFrame)
    : m_frames(frames), m_pointsPerFrame(pointsPerFrame) {
    if (!isatty(STDERR_FILENO)) return;
    m_thread = std::thread([this] { Run(); });
    const std::lock_guard lock(g_activeMutex);
    g_active = this;
}

Progress::~Progress() {
    if (!m_thread.joinable()) return;
    {
        const std::lock_guard lock(g_activeMutex);
        g_active = nullptr;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    Show({});
}

void Progress::FrameDone() {
    m_framesDone.fetch_add(1, std::memory_order_relaxed);
    m_points.store(0, std::memory_order_relaxed);
}

void ClearProgressLine() {
    const std::lock_guard active(g_activeMutex);
    if (!g_active) return;
    const std::lock_guard lock(g_active->m_mutex);
    g_active->Show({});
}

void Progress::Run() {
    std::unique_lock lock(m_mutex);
    if (m_wake.wait_for(lock, FirstShown, [this] { return m_stop; })) return;
    do {
        Show(ProgressLine(m_framesDone.load(std::memory_order_relaxed), m_frames,
                          m_points.load(std::memory_order_relaxed), m_pointsPerFrame,
                          std::chrono::steady_clock::now() - m_start));
    } while (!m_wake.wait_for(lock, UpdateEvery, [this] { return m_stop; }));
}

void Progress::Show(const std::string& line) {
    if (line.empty() && m_shown == 0) return;
    // Blanks over what is left of a longer line, then back to its start.
    std::string text = "\r" + line;
    if (line.size() < m_shown) text += std::string(m_shown - line.size(), ' ');
    if (line.empty()) text += "\r";
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    m_shown = line.size();
}

} // namespace cli
