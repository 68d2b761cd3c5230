#pragma once

#include <zlib.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

namespace garrison {

// Packs the start of a database payload on a thread of its own while the
// rest is still being built, so that a save after a scan has little left to
// pack. zlib gives the same stream however its input is cut, so the result is
// always byte for byte what compress2 at level 9 makes of the whole payload:
// what was fed early is used only when the payload really starts with it.
class PayloadPacker {
public:
    PayloadPacker();
    ~PayloadPacker();
    PayloadPacker(const PayloadPacker &) = delete;
    PayloadPacker &operator=(const PayloadPacker &) = delete;

    // The next bytes the payload is expected to hold.
    void feed(std::vector<std::uint8_t> piece);
    // The packed payload (a zlib stream at level 9); nothing when zlib fails.
    // Once only: the packer is spent afterwards.
    std::optional<std::vector<std::uint8_t>> pack(std::span<const std::uint8_t> payload);
    // How many bytes at the start of the last payload packed had been packed ahead.
    std::size_t packedAhead() const { return m_packedAhead; }
    // The same without a packer: compress2 in one call.
    static std::optional<std::vector<std::uint8_t>> packAtOnce(std::span<const std::uint8_t> payload);

private:
    void run();
    bool deflateMore(std::span<const std::uint8_t> input, int flush);
    void stop(bool finishQueued);

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::vector<std::uint8_t>> m_queue;
    bool m_closing = false;  // pack() waits for the queue to be packed
    bool m_dropping = false; // nobody wants the result any more
    std::vector<std::uint8_t> m_fed;
    // The thread's own until it is joined.
    z_stream m_stream{};
    bool m_started = false;
    bool m_streamOk = false; // started, no error, not spent
    std::vector<std::uint8_t> m_packed;
    std::size_t m_packedAhead = 0;
    std::thread m_thread;
};

} // namespace garrison
