#include "monitor/WorkerThread.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace garrison {

WorkerThread::WorkerThread() : m_queueEvent(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

WorkerThread::~WorkerThread()
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

bool WorkerThread::start()
{
    if (m_thread.joinable())
        return false;
    m_stopFlag = false;
    {
        std::lock_guard lock(m_endLock);
        m_ended = false;
    }
    m_thread = std::thread(&WorkerThread::threadBody, this);
    return true;
}

void WorkerThread::threadBody()
{
    run();
    std::lock_guard lock(m_endLock);
    m_ended = true;
    m_endSignal.notify_all();
}

void WorkerThread::postCommand(std::int32_t type, std::uintptr_t first, std::int32_t second)
{
    {
        std::lock_guard lock(m_queueLock);
        m_queue.push_back(Command{type, first, second});
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(m_queueEvent, &one, sizeof one);
}

std::optional<Command> WorkerThread::tryTakeCommand()
{
    std::lock_guard lock(m_queueLock);
    if (m_queue.empty())
        return std::nullopt;
    const Command command = m_queue.front();
    m_queue.pop_front();
    return command;
}

Command WorkerThread::takeCommand()
{
    for (;;) {
        if (auto command = tryTakeCommand())
            return *command;
        pollfd wait{m_queueEvent, POLLIN, 0};
        if (poll(&wait, 1, -1) > 0)
            consumeQueueEvent();
    }
}

void WorkerThread::consumeQueueEvent()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(m_queueEvent, &count, sizeof count);
}

bool WorkerThread::waitForEnd(std::chrono::milliseconds timeout)
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

void WorkerThread::stop()
{
    if (!m_thread.joinable())
        return;
    postCommand(kStopCommand);
    m_thread.join();
}

bool WorkerThread::isRunning() const
{
    std::lock_guard lock(m_endLock);
    return m_thread.joinable() && !m_ended;
}

} // namespace garrison
