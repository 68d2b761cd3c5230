#include "monitor/SocketEndpoint.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace garrison;
using namespace std::chrono_literals;

namespace {

const std::uint32_t kLoopback = htonl(INADDR_LOOPBACK);

// Records every handler call in order. A datagram "post N" makes the read
// handler post message N, as a UI thread might while the read runs.
class RecordingEndpoint final : public SocketEndpoint {
public:
    ~RecordingEndpoint() override { stop(); }

    std::vector<std::string> events() const
    {
        std::lock_guard lock(m_lock);
        return m_events;
    }
    int count(const std::string &event) const
    {
        const auto all = events();
        return static_cast<int>(std::count(all.begin(), all.end(), event));
    }
    int ticks() const { return m_ticks; }
    std::thread::id startThread;

protected:
    void onStart() override
    {
        startThread = std::this_thread::get_id();
        record("start");
    }
    void onStop() override { record("stop"); }
    void onTick() override { ++m_ticks; }
    void onRead(int error) override
    {
        char buffer[64];
        std::uint32_t address = 0;
        std::uint16_t port = 0;
        const long length = receive(buffer, sizeof buffer, address, port);
        if (length < 0)
            return;
        const std::string text(buffer, static_cast<std::size_t>(length));
        record("read " + text + (error ? " error" : ""));
        if (text.rfind("post ", 0) == 0)
            post(BrowserRequest{0, static_cast<std::uint16_t>(std::stoi(text.substr(5)))});
    }
    // The port of a browser request numbers the message.
    void onMessage(const EndpointMessage &message) override
    {
        record("message " + std::to_string(std::get<BrowserRequest>(message).port));
    }

private:
    void record(const std::string &event)
    {
        std::lock_guard lock(m_lock);
        m_events.push_back(event);
    }

    mutable std::mutex m_lock;
    std::vector<std::string> m_events;
    std::atomic<int> m_ticks{0};
};

template <typename Predicate>
bool eventually(Predicate predicate, std::chrono::milliseconds limit = 2s)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

struct Peer {
    SocketEndpoint socket; // used only for its socket here, never started
    Peer() { socket.create(0, kLoopback); }
    void send(const std::string &text, std::uint16_t port) { socket.sendTo(kLoopback, port, text.data(), text.size()); }
};

TEST(SocketEndpoint, ExchangesDatagramsAndReportsTheSender)
{
    SocketEndpoint a;
    SocketEndpoint b;
    ASSERT_TRUE(a.create(0, kLoopback));
    ASSERT_TRUE(b.create(0, kLoopback));
    EXPECT_EQ(a.sendTo(kLoopback, b.localPort(), "hello", 5), 5);
    char buffer[16];
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    ASSERT_TRUE(eventually([&] { return b.receive(buffer, sizeof buffer, address, port) == 5; }));
    EXPECT_EQ(std::string(buffer, 5), "hello");
    EXPECT_EQ(address, kLoopback);
    EXPECT_EQ(port, a.localPort());
    EXPECT_EQ(b.receive(buffer, sizeof buffer, address, port), -1); // nothing waits: no blocking
}

TEST(SocketEndpoint, CreateFailsOnATakenPortAndLeavesTheSocketInvalid)
{
    SocketEndpoint first;
    ASSERT_TRUE(first.create(0, kLoopback));
    SocketEndpoint second;
    EXPECT_FALSE(second.create(first.localPort(), kLoopback));
    EXPECT_FALSE(second.isValid());
    EXPECT_EQ(second.sendTo(kLoopback, first.localPort(), "x", 1), -1);
}

TEST(SocketEndpoint, CommandPostedDuringAReadRunsAfterIt)
{
    RecordingEndpoint endpoint;
    ASSERT_TRUE(endpoint.create(0, kLoopback));
    ASSERT_TRUE(endpoint.start());
    Peer peer;
    peer.send("post 7", endpoint.localPort());
    ASSERT_TRUE(eventually([&] { return endpoint.count("message 7") == 1; }));
    const auto events = endpoint.events();
    const auto read = std::find(events.begin(), events.end(), "read post 7");
    const auto command = std::find(events.begin(), events.end(), "message 7");
    EXPECT_LT(read, command);
}

TEST(SocketEndpoint, MessagesRunInPostingOrderAndStopEndsTheLoopOnce)
{
    RecordingEndpoint endpoint;
    ASSERT_TRUE(endpoint.create(0, kLoopback));
    // Queued before the thread exists, so the first pass takes them all.
    for (const std::uint16_t number : {3, 1, 2})
        endpoint.post(BrowserRequest{0, number});
    ASSERT_TRUE(endpoint.start());
    endpoint.post(BrowserRequest{0, 4});
    endpoint.stop();
    // The stop is queued: what came before it still runs, and the loop ends once.
    EXPECT_EQ(endpoint.events(),
              (std::vector<std::string>{"start", "message 3", "message 1", "message 2", "message 4", "stop"}));
}

TEST(SocketEndpoint, StartTwiceRunsOneThread)
{
    RecordingEndpoint endpoint;
    ASSERT_TRUE(endpoint.create(0, kLoopback));
    ASSERT_TRUE(endpoint.start());
    EXPECT_FALSE(endpoint.start());
    endpoint.stop();
    EXPECT_EQ(endpoint.count("start"), 1);
    EXPECT_EQ(endpoint.count("stop"), 1);
    EXPECT_NE(endpoint.startThread, std::this_thread::get_id());
}

TEST(SocketEndpoint, EveryDatagramOfABurstIsRead)
{
    RecordingEndpoint endpoint;
    ASSERT_TRUE(endpoint.create(0, kLoopback));
    ASSERT_TRUE(endpoint.start());
    Peer peer;
    for (int i = 0; i < 50; ++i)
        peer.send("d" + std::to_string(i), endpoint.localPort());
    ASSERT_TRUE(eventually([&] { return endpoint.count("read d49") == 1; }));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(endpoint.count("read d" + std::to_string(i)), 1);
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TEST(SocketEndpoint, IdleEndpointSleepsInItsWaitAndTicksEvery100Ms)
{
    RecordingEndpoint endpoint;
    ASSERT_TRUE(endpoint.create(0, kLoopback));
    ASSERT_TRUE(endpoint.start());
    std::this_thread::sleep_for(100ms);
    const int ticksBefore = endpoint.ticks();
    const double cpuBefore = processCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(1s);
    const double cpuUsed = processCpuSeconds() - cpuBefore;
    const int ticks = endpoint.ticks() - ticksBefore;
    // A busy machine may let the thread wake late, never early: at most one
    // tick per 100 ms that really passed, and some ticks all the same.
    const auto passed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(cpuUsed, 0.05) << "an idle endpoint must not spin";
    EXPECT_GE(ticks, 2);
    EXPECT_LE(ticks, passed.count() / 100 + 2);
}

} // namespace
