#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace garrison {

// A host-name lookup on a thread of its own, so that the window never waits
// for a slow name server. The UI thread asks whether it has ended; a task
// given up on lets its thread finish alone.
class HostLookupTask {
public:
    explicit HostLookupTask(std::string host);
    const std::string &host() const { return m_host; }
    bool ended() const;
    // After ended(): the address in network order, nothing when it failed.
    std::optional<std::uint32_t> address() const;

private:
    struct Answer {
        std::mutex lock;
        bool ended = false;
        std::optional<std::uint32_t> address;
    };
    std::string m_host;
    std::shared_ptr<Answer> m_answer;
};

} // namespace garrison
