#include "addondb/PayloadPacker.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace garrison {

namespace {

constexpr int kLevel = 9;
constexpr std::size_t kOutputStep = 64 * 1024;

} // namespace

std::optional<std::vector<std::uint8_t>> PayloadPacker::packAtOnce(std::span<const std::uint8_t> payload)
{
    uLongf length = compressBound(static_cast<uLong>(payload.size()));
    std::vector<std::uint8_t> packed(length);
    if (compress2(packed.data(), &length, payload.data(), static_cast<uLong>(payload.size()), kLevel) != Z_OK)
        return std::nullopt;
    packed.resize(length);
    return packed;
}

PayloadPacker::PayloadPacker()
{
    // The same stream compress2 starts.
    m_started = deflateInit(&m_stream, kLevel) == Z_OK;
    m_streamOk = m_started;
    if (m_started)
        m_thread = std::thread([this] { run(); });
}

PayloadPacker::~PayloadPacker()
{
    stop(false);
    if (m_started)
        deflateEnd(&m_stream);
}

void PayloadPacker::feed(std::vector<std::uint8_t> piece)
{
    {
        std::lock_guard guard(m_lock);
        if (m_closing || m_dropping || !m_streamOk)
            return;
        m_fed.insert(m_fed.end(), piece.begin(), piece.end());
        m_queue.push_back(std::move(piece));
    }
    m_changed.notify_all();
}

void PayloadPacker::stop(bool finishQueued)
{
    {
        std::lock_guard guard(m_lock);
        m_closing = true;
        m_dropping = m_dropping || !finishQueued;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void PayloadPacker::run()
{
    std::unique_lock guard(m_lock);
    while (true) {
        m_changed.wait(guard, [&] { return m_closing || m_dropping || !m_queue.empty(); });
        if (m_dropping || m_queue.empty())
            return;
        const std::vector<std::uint8_t> piece = std::move(m_queue.front());
        m_queue.pop_front();
        guard.unlock();
        const bool packed = deflateMore(piece, Z_NO_FLUSH);
        guard.lock();
        if (!packed) {
            m_streamOk = false;
            return;
        }
    }
}

bool PayloadPacker::deflateMore(std::span<const std::uint8_t> input, int flush)
{
    // zlib counts in 32 bits; a payload's length is stored in 32 bits too.
    m_stream.next_in = const_cast<Bytef *>(input.data());
    m_stream.avail_in = static_cast<uInt>(input.size());
    while (true) {
        const std::size_t used = m_packed.size();
        m_packed.resize(used + std::max(kOutputStep, static_cast<std::size_t>(m_stream.avail_in) / 4));
        m_stream.next_out = m_packed.data() + used;
        m_stream.avail_out = static_cast<uInt>(m_packed.size() - used);
        const int result = deflate(&m_stream, flush);
        m_packed.resize(m_packed.size() - m_stream.avail_out);
        if (result == Z_STREAM_END)
            return true;
        if (result != Z_OK && result != Z_BUF_ERROR)
            return false;
        // Without Z_FINISH, done once all input is taken and output room was left over.
        if (flush == Z_NO_FLUSH && m_stream.avail_in == 0 && m_stream.avail_out > 0)
            return true;
    }
}

std::optional<std::vector<std::uint8_t>> PayloadPacker::pack(std::span<const std::uint8_t> payload)
{
    stop(true);
    m_packedAhead = 0;
    const std::size_t fed = m_fed.size();
    const bool fits =
        m_streamOk && fed > 0 && fed <= payload.size() && std::memcmp(m_fed.data(), payload.data(), fed) == 0;
    m_fed = {};
    m_streamOk = false; // spent
    if (fits && deflateMore(payload.subspan(fed), Z_FINISH)) {
        m_packedAhead = fed;
        return std::exchange(m_packed, {});
    }
    return packAtOnce(payload);
}

} // namespace garrison
