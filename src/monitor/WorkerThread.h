#pragma once

#include "monitor/Command.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace garrison {

// A thread with a command queue. Any thread may post; the worker takes the
// commands in posting order. The queue event is an eventfd so that a run
// loop can wait on it together with a socket.
class WorkerThread {
public:
    WorkerThread();
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // False when a thread already exists; it is not started a second time.
    bool start();
    void postCommand(std::int32_t type, std::uintptr_t first = 0, std::int32_t second = 0);
    std::optional<Command> tryTakeCommand();
    // Waits on the queue event while the queue is empty.
    Command takeCommand();
    // True once the thread has ended (it is then joined and may be started
    // again); false when it still runs after the time-out.
    bool waitForEnd(std::chrono::milliseconds timeout);
    // Posts the stop command and waits for the thread without limit. Classes
    // that run the thread call this in their destructor, before their own
    // members go away.
    void stop();
    bool isRunning() const;

protected:
    virtual void run() = 0;
    void requestStop() { m_stopFlag = true; }
    bool stopRequested() const { return m_stopFlag; }
    int queueEventHandle() const { return m_queueEvent; }
    // Resets the auto-reset queue event after a wait saw it set.
    void consumeQueueEvent();

private:
    void threadBody();

    std::atomic<bool> m_stopFlag{false};
    int m_queueEvent = -1;
    std::mutex m_queueLock;
    std::deque<Command> m_queue;
    std::thread m_thread;
    mutable std::mutex m_endLock;
    std::condition_variable m_endSignal;
    bool m_ended = false;
};

} // namespace garrison
