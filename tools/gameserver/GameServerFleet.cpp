#include "gameserver/GameServerFleet.h"

#include "monitor/QueryPackets.h"

#include <algorithm>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace garrison::peers {

namespace {

int boundSocket(std::uint32_t address, std::uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = address;
    at.sin_port = htons(port);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr *>(&at), sizeof at) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

GameServerFleet::GameServerFleet(std::vector<GameServerConfig> servers)
{
    for (auto &config : servers)
        m_servers.push_back(std::make_unique<GameServerPeer>(std::move(config)));
}

GameServerFleet::~GameServerFleet()
{
    stop();
}

bool GameServerFleet::start()
{
    // Two descriptors a server: thousands are more than the usual soft limit.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }
    for (const auto &server : m_servers) {
        const GameServerConfig &config = server->config();
        for (const std::uint16_t port : {config.gamePort, config.queryPort}) {
            m_sockets.push_back(boundSocket(config.address, port));
            if (m_sockets.back() < 0)
                return false;
        }
    }
    m_thread = std::thread([this] { serve(); });
    return true;
}

void GameServerFleet::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    for (const int fd : m_sockets) {
        if (fd >= 0)
            ::close(fd);
    }
    m_sockets.clear();
}

void GameServerFleet::serve()
{
    std::vector<pollfd> watched;
    for (const int fd : m_sockets)
        watched.push_back({fd, POLLIN, 0});
    int queryId = 1;
    std::uint8_t datagram[kMaxDatagramBytes];
    while (!m_stop) {
        if (::poll(watched.data(), watched.size(), 100) <= 0)
            continue;
        for (std::size_t i = 0; i < watched.size(); ++i) {
            if (!(watched[i].revents & POLLIN))
                continue;
            const GameServerPeer &server = *m_servers[i / 2];
            for (;;) {
                sockaddr_in from{};
                socklen_t length = sizeof from;
                const ssize_t count = ::recvfrom(watched[i].fd, datagram, sizeof datagram, 0,
                                                 reinterpret_cast<sockaddr *>(&from), &length);
                if (count < 0)
                    break;
                const std::span<const std::uint8_t> query(datagram, static_cast<std::size_t>(count));
                const bool gamePort = i % 2 == 0;
                if (gamePort && std::ranges::equal(query, kSocketsInfoQuery)) {
                    const auto answer = server.socketsAnswer(false);
                    ::sendto(watched[i].fd, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr *>(&from),
                             length);
                } else if (!gamePort && std::ranges::equal(query, kGameSpyStatusQuery)) {
                    for (const auto &fragment : server.statusAnswer(queryId++))
                        ::sendto(watched[i].fd, fragment.data(), fragment.size(), 0,
                                 reinterpret_cast<sockaddr *>(&from), length);
                }
            }
        }
    }
}

} // namespace garrison::peers
