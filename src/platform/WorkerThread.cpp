#include "platform/WorkerThread.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace garrison {

WorkerThreadBase::WorkerThreadBase() : m_queueEvent(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

WorkerThreadBase::~WorkerThreadBase()
{
    // A subclass should have stopped the thread already; ending it here keeps
    // a forgotten stop from tearing down the process.
    if (m_thread.joinable()) {
        requestStop();
        m_thread.join();
    }
    if (m_queueEvent >= 0)
        close(m_queueEvent);
}

bool WorkerThreadBase::start()
{
    if (m_thread.joinable())
        return false;
    m_stopFlag = false;
    {
        std::lock_guard lock(m_endLock);
        m_ended = false;
    }
    m_thread = std::thread(&WorkerThreadBase::threadBody, this);
    return true;
}

void WorkerThreadBase::threadBody()
{
    run();
    std::lock_guard lock(m_endLock);
    m_ended = true;
    m_endSignal.notify_all();
}

void WorkerThreadBase::signalQueueEvent()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(m_queueEvent, &one, sizeof one);
}

void WorkerThreadBase::waitForQueueEvent()
{
    pollfd wait{m_queueEvent, POLLIN, 0};
    if (poll(&wait, 1, -1) > 0)
        consumeQueueEvent();
}

void WorkerThreadBase::consumeQueueEvent()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(m_queueEvent, &count, sizeof count);
}

bool WorkerThreadBase::waitForEnd(std::chrono::milliseconds timeout)
{
    if (!m_thread.joinable())
        return true;
    {
        std::unique_lock lock(m_endLock);
        if (!m_endSignal.wait_for(lock, timeout, [this] { return m_ended; }))
            return false;
    }
    m_thread.join();
    return true;
}

void WorkerThreadBase::stop()
{
    if (!m_thread.joinable())
        return;
    postStop();
    m_thread.join();
}

bool WorkerThreadBase::isRunning() const
{
    std::lock_guard lock(m_endLock);
    return m_thread.joinable() && !m_ended;
}

} // namespace garrison
