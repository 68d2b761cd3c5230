#include "app/BannerFetch.h"

#include "autoaddon/HttpFetch.h"

namespace garrison {

BannerFetch::BannerFetch(const std::string &url)
{
    m_thread = std::thread([this, url] {
        std::vector<std::uint8_t> bytes;
        const auto keep = [&](const char *data, std::size_t size, std::uint64_t) {
            bytes.insert(bytes.end(), data, data + size);
            return true;
        };
        FetchLimits limits;
        limits.maxBytes = kMaxBytes;
        FetchResult result = fetchUrlTo(url, keep, {}, m_cancel, limits);
        if (result.tooLarge)
            result.error = "the banner is larger than " + std::to_string(kMaxBytes / 1024 / 1024) + " MiB";
        else if (result.ok && bytes.empty())
            result.error = "the banner is empty";
        std::lock_guard guard(m_lock);
        if (result.ok)
            m_bytes = std::move(bytes);
        m_error = result.error;
        m_ended = true;
    });
}

BannerFetch::~BannerFetch()
{
    m_cancel = true;
    m_thread.join();
}

bool BannerFetch::ended() const
{
    std::lock_guard guard(m_lock);
    return m_ended;
}

std::vector<std::uint8_t> BannerFetch::takeBytes()
{
    std::lock_guard guard(m_lock);
    return std::move(m_bytes);
}

std::string BannerFetch::error() const
{
    std::lock_guard guard(m_lock);
    return m_error;
}

} // namespace garrison
