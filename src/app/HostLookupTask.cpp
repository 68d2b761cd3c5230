#include "app/HostLookupTask.h"

#include "platform/HostLookup.h"

#include <thread>

namespace garrison {

HostLookupTask::HostLookupTask(std::string host) : m_host(std::move(host)), m_answer(std::make_shared<Answer>())
{
    std::thread([answer = m_answer, host = m_host] {
        const auto address = resolveIpv4(host);
        std::lock_guard guard(answer->lock);
        answer->address = address;
        answer->ended = true;
    }).detach();
}

bool HostLookupTask::ended() const
{
    std::lock_guard guard(m_answer->lock);
    return m_answer->ended;
}

std::optional<std::uint32_t> HostLookupTask::address() const
{
    std::lock_guard guard(m_answer->lock);
    return m_answer->address;
}

} // namespace garrison
