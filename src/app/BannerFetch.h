#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace garrison {

// The news banner, fetched on a thread of its own so the window never waits
// for the web. A banner is a picture: more than 8 MiB is refused.
class BannerFetch {
public:
    static constexpr std::uint64_t kMaxBytes = 8ull * 1024 * 1024;

    explicit BannerFetch(const std::string &url);
    // Cancels a running fetch and waits for it: the transfer notices between blocks.
    ~BannerFetch();
    BannerFetch(const BannerFetch &) = delete;
    BannerFetch &operator=(const BannerFetch &) = delete;

    bool ended() const;
    // After ended(): the picture's bytes, empty when it failed, and why.
    std::vector<std::uint8_t> takeBytes();
    std::string error() const;

private:
    mutable std::mutex m_lock;
    bool m_ended = false;
    std::vector<std::uint8_t> m_bytes;
    std::string m_error;
    std::atomic<bool> m_cancel{false};
    std::thread m_thread;
};

} // namespace garrison
