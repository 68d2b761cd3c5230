#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace garrison {

// A thread with a queue event: an eventfd, so that a run loop can wait on it
// together with a socket. The messages themselves are WorkerThread's.
class WorkerThreadBase {
public:
    WorkerThreadBase();
    virtual ~WorkerThreadBase();
    WorkerThreadBase(const WorkerThreadBase &) = delete;
    WorkerThreadBase &operator=(const WorkerThreadBase &) = delete;

    // False when a thread already exists; it is not started a second time.
    bool start();
    // True once the thread has ended (it is then joined and may be started
    // again); false when it still runs after the time-out.
    bool waitForEnd(std::chrono::milliseconds timeout);
    // Queues the stop and waits for the thread without limit. Classes that
    // run the thread call this in their destructor, before their own
    // members go away.
    void stop();
    bool isRunning() const;

protected:
    virtual void run() = 0;
    virtual void postStop() = 0;
    void requestStop() { m_stopFlag = true; }
    bool stopRequested() const { return m_stopFlag; }
    int queueEventHandle() const { return m_queueEvent; }
    void signalQueueEvent();
    // Resets the auto-reset queue event after a wait saw it set.
    void consumeQueueEvent();
    // Blocks until the queue event is set.
    void waitForQueueEvent();

private:
    void threadBody();

    std::atomic<bool> m_stopFlag{false};
    int m_queueEvent = -1;
    std::thread m_thread;
    mutable std::mutex m_endLock;
    std::condition_variable m_endSignal;
    bool m_ended = false;
};

// A thread that takes typed messages (a std::variant of small structs, or
// one struct) in posting order from any thread. The stop is queued too, so
// what was posted before it is still taken.
template <typename Message>
class WorkerThread : public WorkerThreadBase {
public:
    void post(Message message) { push(std::move(message)); }

    // The next message, or nothing when none waits. Taking the stop sets the
    // stop flag; messages queued behind it are still handed out.
    std::optional<Message> tryTake()
    {
        std::lock_guard lock(m_queueLock);
        while (!m_queue.empty()) {
            std::optional<Message> item = std::move(m_queue.front());
            m_queue.pop_front();
            if (item)
                return item;
            requestStop();
        }
        return std::nullopt;
    }

    // Waits for the next message; nothing once the stop is taken.
    std::optional<Message> take()
    {
        for (;;) {
            {
                std::lock_guard lock(m_queueLock);
                if (!m_queue.empty()) {
                    std::optional<Message> item = std::move(m_queue.front());
                    m_queue.pop_front();
                    if (!item)
                        requestStop();
                    return item;
                }
            }
            waitForQueueEvent();
        }
    }

protected:
    void postStop() override { push(std::nullopt); }

private:
    void push(std::optional<Message> item)
    {
        {
            std::lock_guard lock(m_queueLock);
            m_queue.push_back(std::move(item));
        }
        signalQueueEvent();
    }

    std::mutex m_queueLock;
    std::deque<std::optional<Message>> m_queue; // an empty item is the stop
};

} // namespace garrison
