// The fill's worker thread.
#include "app/backgroundfill.h"

#include <utility>

BackgroundFill::BackgroundFill(std::function<void(std::uint64_t)> ended)
    : m_ended(std::move(ended)), m_worker([this] { Run(); }) {}

BackgroundFill::~BackgroundFill() {
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_cancel = true;
    }
    m_wake.notify_one();
    m_worker.join();
}

std::uint64_t BackgroundFill::Start(sampling::FillJob job) {
    std::uint64_t number;
    {
        const std::lock_guard lock(m_mutex);
        number = ++m_latest;
        m_next = std::move(job);
        m_result.reset();
        m_cancel = true;
    }
    m_wake.notify_one();
    return number;
}

void BackgroundFill::Cancel() {
    const std::lock_guard lock(m_mutex);
    ++m_latest;
    m_next.reset();
    m_result.reset();
    m_cancel = true;
}

std::optional<sampling::FillResult> BackgroundFill::Wait(std::uint64_t job,
                                                         std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    const bool ended =
        m_ready.wait_for(lock, limit, [&] { return m_result && m_resultJob == job; });
    if (!ended) return std::nullopt;
    std::optional<sampling::FillResult> result = std::move(m_result);
    m_result.reset();
    return result;
}

void BackgroundFill::Run() {
    for (;;) {
        sampling::FillJob job;
        std::uint64_t number;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_quit || m_next; });
            if (m_quit) return;
            job = std::move(*m_next);
            m_next.reset();
            number = m_latest;
            m_cancel = false;
            m_done = 0;
        }
        sampling::FillResult result = sampling::ComputeFill(job, &m_cancel, &m_done);
        {
            const std::lock_guard lock(m_mutex);
            if (result.cancelled || number != m_latest) continue;
            m_result = std::move(result);
            m_resultJob = number;
        }
        m_ready.notify_all();
        if (m_ended) m_ended(number);
    }
}
