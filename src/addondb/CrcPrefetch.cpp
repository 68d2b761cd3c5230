#include "addondb/CrcPrefetch.h"

#include "addondb/FileCrc.h"

namespace garrison {

CrcPrefetch::CrcPrefetch() : m_helper([this] { run(); })
{
}

CrcPrefetch::~CrcPrefetch()
{
    {
        std::lock_guard guard(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    m_helper.join();
}

void CrcPrefetch::queue(std::vector<std::string> paths)
{
    std::unique_lock guard(m_lock);
    // The helper writes into the job it reads: the batch stays until it is done.
    m_waiting = true;
    m_changed.wait(guard, [&] { return !m_helperBusy; });
    m_waiting = false;
    m_jobs.clear();
    m_index.clear();
    for (auto &path : paths) {
        m_index.emplace(path, m_jobs.size());
        m_jobs.push_back({std::move(path), State::Waiting, std::nullopt});
    }
    m_last = m_jobs.size();
    guard.unlock();
    m_changed.notify_all();
}

std::optional<std::uint32_t> CrcPrefetch::crc(const std::string &path)
{
    std::unique_lock guard(m_lock);
    const auto found = m_index.find(path);
    if (found == m_index.end()) {
        guard.unlock();
        return fileCrc(path);
    }
    Job &job = m_jobs[found->second];
    if (job.state == State::Waiting) {
        job.state = State::Reading;
        guard.unlock();
        const auto crc = fileCrc(path);
        guard.lock();
        job.crc = crc;
        job.state = State::Done;
        return crc;
    }
    m_waiting = true;
    m_changed.wait(guard, [&] { return job.state == State::Done; });
    m_waiting = false;
    return job.crc;
}

void CrcPrefetch::run()
{
    std::unique_lock guard(m_lock);
    while (true) {
        // From the back: the scan takes the batch from the front, so the two
        // meet once, and neither waits for the other before that.
        m_changed.wait(guard, [&] {
            while (m_last > 0 && m_jobs[m_last - 1].state != State::Waiting)
                --m_last;
            return m_stop || m_last > 0;
        });
        if (m_stop)
            return;
        Job &job = m_jobs[m_last - 1];
        job.state = State::Reading;
        m_helperBusy = true;
        const std::string path = job.path;
        guard.unlock();
        const auto crc = fileCrc(path);
        guard.lock();
        job.crc = crc;
        job.state = State::Done;
        m_helperBusy = false;
        if (m_waiting)
            m_changed.notify_all();
    }
}

} // namespace garrison
