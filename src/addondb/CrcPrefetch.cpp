#include "addondb/CrcPrefetch.h"

#include "addondb/FileCrc.h"

#include <algorithm>

namespace garrison {

namespace {
// Files the scan reads itself before those the helper reads.
constexpr std::size_t kAhead = 16;
} // namespace

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

void CrcPrefetch::add(std::vector<File> files)
{
    if (files.empty())
        return;
    {
        std::lock_guard guard(m_lock);
        for (auto &file : files) {
            Job &job = m_jobs.emplace_back(Job{std::move(file), State::Waiting, std::nullopt});
            if (m_index)
                m_index->emplace(job.file.path, m_jobs.size() - 1);
        }
    }
    m_changed.notify_all();
}

std::optional<std::uint32_t> CrcPrefetch::crc(const std::string &path, std::uint64_t size)
{
    std::unique_lock guard(m_lock);
    Job *const found = find(path);
    if (!found) {
        guard.unlock();
        return fileCrc(path, size);
    }
    Job &job = *found;
    if (job.state == State::Waiting) {
        job.state = State::Reading;
        guard.unlock();
        const auto crc = fileCrc(path, size);
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

CrcPrefetch::Job *CrcPrefetch::find(const std::string &path)
{
    if (m_next < m_jobs.size() && m_jobs[m_next].file.path == path)
        return &m_jobs[m_next++];
    if (!m_index) {
        m_index.emplace();
        for (std::size_t i = 0; i < m_jobs.size(); ++i)
            m_index->emplace(m_jobs[i].file.path, i);
    }
    const auto found = m_index->find(path);
    if (found == m_index->end())
        return nullptr;
    m_next = found->second + 1;
    return &m_jobs[found->second];
}

CrcPrefetch::Job *CrcPrefetch::nextForHelper()
{
    // The scan reads the next kAhead itself, so the two never queue for the same file.
    m_helperNext = std::max(m_helperNext, m_next + kAhead);
    while (m_helperNext < m_jobs.size() && m_jobs[m_helperNext].state != State::Waiting)
        ++m_helperNext;
    if (m_helperNext < m_jobs.size())
        return &m_jobs[m_helperNext++];
    // At the end: from the back of what is left, so that the two meet once.
    for (std::size_t i = std::min(m_jobs.size(), m_next + kAhead); i-- > m_next;) {
        if (m_jobs[i].state == State::Waiting)
            return &m_jobs[i];
    }
    return nullptr;
}

void CrcPrefetch::run()
{
    std::unique_lock guard(m_lock);
    while (true) {
        Job *job = nullptr;
        m_changed.wait(guard, [&] { return m_stop || (job = nextForHelper()) != nullptr; });
        if (m_stop)
            return;
        job->state = State::Reading;
        const File &file = job->file; // stays put: nothing changes a job once added
        guard.unlock();
        const auto crc = fileCrc(file.path, file.size);
        guard.lock();
        job->crc = crc;
        job->state = State::Done;
        if (m_waiting)
            m_changed.notify_all();
    }
}

} // namespace garrison
