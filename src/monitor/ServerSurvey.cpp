#include "monitor/ServerSurvey.h"

#include "monitor/GameSpyFragments.h"
#include "monitor/QueryPackets.h"

#include <algorithm>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <unordered_map>

namespace garrison {

namespace {

using Clock = std::chrono::steady_clock;

std::uint64_t endpointKey(std::uint32_t address, std::uint16_t port)
{
    return std::uint64_t{address} << 16 | port;
}

struct Asked {
    std::size_t row;
    Clock::time_point sentAt;
    int tries = 0;
    bool statusTaken = false;
    GameSpyFragments fragments;
};

class Survey {
public:
    Survey(const std::vector<ListedServer> &servers, const SurveyLimits &limits,
           const std::function<void(std::size_t, std::size_t)> &progress)
        : m_limits(limits), m_progress(progress), m_rows(servers.size())
    {
        for (std::size_t i = 0; i < servers.size(); ++i) {
            m_rows[i].listed = servers[i];
            m_byEndpoint.emplace(endpointKey(servers[i].address, servers[i].queryPort), i);
            m_byEndpoint.emplace(endpointKey(servers[i].address, servers[i].gamePort()), i);
        }
    }

    ~Survey()
    {
        if (m_socket >= 0)
            ::close(m_socket);
    }

    std::vector<SurveyedServer> run()
    {
        m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (m_socket < 0)
            return std::move(m_rows);
        // Answers to a hundred servers may come at once.
        const int buffer = 8 << 20;
        ::setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
        // A full bucket to start with: the first tenth of a second's packets go out at once.
        m_tokens = burst();
        m_lastRefill = Clock::now();
        while (m_finished < m_rows.size() && !(m_limits.cancel && *m_limits.cancel)) {
            askMore();
            waitAndRead();
            giveUpOrRetry();
        }
        return std::move(m_rows);
    }

private:
    // A burst of a tenth of a second at most, so that the cap holds over any second.
    double burst() const { return std::max(2.0, m_limits.packetsPerSecond / 10.0); }

    void refill()
    {
        const auto now = Clock::now();
        const double seconds = std::chrono::duration<double>(now - m_lastRefill).count();
        m_lastRefill = now;
        m_tokens = std::min(burst(), m_tokens + seconds * m_limits.packetsPerSecond);
    }

    void send(const ListedServer &server)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = server.address;
        to.sin_port = htons(server.queryPort);
        ::sendto(m_socket, kGameSpyStatusQuery.data(), kGameSpyStatusQuery.size(), 0,
                 reinterpret_cast<const sockaddr *>(&to), sizeof to);
        to.sin_port = htons(server.gamePort());
        ::sendto(m_socket, kSocketsInfoQuery.data(), kSocketsInfoQuery.size(), 0,
                 reinterpret_cast<const sockaddr *>(&to), sizeof to);
        m_tokens -= 2;
    }

    void askMore()
    {
        refill();
        while (m_next < m_rows.size() && m_asked.size() < m_limits.inFlight && m_tokens >= 2) {
            Asked asked{m_next++, Clock::now(), 1, false, {}};
            send(m_rows[asked.row].listed);
            m_asked.push_back(std::move(asked));
        }
    }

    void waitAndRead()
    {
        auto until = Clock::now() + std::chrono::milliseconds(50);
        for (const auto &asked : m_asked)
            until = std::min(until, asked.sentAt + m_limits.wait);
        if (m_next < m_rows.size() && m_asked.size() < m_limits.inFlight)
            until = std::min(until, Clock::now() + std::chrono::milliseconds(2));
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        pollfd watched{m_socket, POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(std::max<long long>(left, 0))) <= 0)
            return;
        std::uint8_t datagram[kMaxDatagramBytes];
        for (;;) {
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t count =
                ::recvfrom(m_socket, datagram, sizeof datagram, 0, reinterpret_cast<sockaddr *>(&from), &length);
            if (count < 0)
                break;
            take(std::span(datagram, static_cast<std::size_t>(count)), from.sin_addr.s_addr, ntohs(from.sin_port));
        }
    }

    void take(std::span<const std::uint8_t> datagram, std::uint32_t address, std::uint16_t port)
    {
        const auto found = m_byEndpoint.find(endpointKey(address, port));
        if (found == m_byEndpoint.end())
            return;
        const auto asked =
            std::find_if(m_asked.begin(), m_asked.end(), [&](const Asked &a) { return a.row == found->second; });
        if (asked == m_asked.end())
            return; // late, after the server was given up or finished
        SurveyedServer &row = m_rows[asked->row];
        if (!row.answered)
            row.ping = static_cast<std::uint32_t>(
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked->sentAt).count());
        const bool fromGamePort = port == row.listed.gamePort();
        if (fromGamePort && datagram.size() >= 2 &&
            static_cast<std::size_t>(datagram[0] | datagram[1] << 8) == datagram.size()) {
            row.takeInfoAnswer(datagram);
        } else if (!fromGamePort && !datagram.empty() && datagram[0] == '\\') {
            const std::string_view text(reinterpret_cast<const char *>(datagram.data()), datagram.size());
            if (const auto answer = asked->fragments.add(text)) {
                // An answer with a lost fragment is kept, and replaced should the fragment still come.
                row.takeStatusAnswer(*answer);
                asked->statusTaken = !asked->fragments.lastAnswerHasGap();
            }
        }
        // The status answer carries all a row needs; the info answer, when it comes, comes first.
        if (asked->statusTaken)
            finish(asked);
    }

    void finish(std::vector<Asked>::iterator asked)
    {
        m_asked.erase(asked);
        ++m_finished;
        if (m_progress)
            m_progress(m_finished, m_rows.size());
    }

    void giveUpOrRetry()
    {
        const auto now = Clock::now();
        for (auto asked = m_asked.begin(); asked != m_asked.end();) {
            if (now - asked->sentAt < m_limits.wait) {
                ++asked;
                continue;
            }
            // A server that answered the info query alone is kept with what it said.
            if (asked->tries < m_limits.tries && !m_rows[asked->row].answered && m_tokens >= 2) {
                ++asked->tries;
                asked->sentAt = now;
                send(m_rows[asked->row].listed);
                ++asked;
                continue;
            }
            if (asked->tries < m_limits.tries && !m_rows[asked->row].answered) {
                ++asked; // waits for the rate to allow the retry
                continue;
            }
            const std::size_t index = static_cast<std::size_t>(asked - m_asked.begin());
            finish(asked);
            asked = m_asked.begin() + static_cast<std::ptrdiff_t>(index);
        }
    }

    SurveyLimits m_limits;
    const std::function<void(std::size_t, std::size_t)> &m_progress;
    std::vector<SurveyedServer> m_rows;
    std::unordered_map<std::uint64_t, std::size_t> m_byEndpoint;
    std::vector<Asked> m_asked;
    std::size_t m_next = 0;
    std::size_t m_finished = 0;
    int m_socket = -1;
    double m_tokens = 0;
    Clock::time_point m_lastRefill;
};

} // namespace

std::vector<SurveyedServer> surveyServers(const std::vector<ListedServer> &servers, const SurveyLimits &limits,
                                          const std::function<void(std::size_t, std::size_t)> &progress)
{
    return Survey(servers, limits, progress).run();
}

} // namespace garrison
