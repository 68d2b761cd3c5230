#include "peers/HttpPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace garrison::peers {

HttpPeer::HttpPeer(std::uint16_t port)
{
    m_socket = socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(m_socket, 16) != 0)
        throw std::runtime_error("cannot listen");
    socklen_t length = sizeof address;
    getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] {
        while (!m_stop) {
            pollfd wait{m_socket, POLLIN, 0};
            if (poll(&wait, 1, 50) <= 0)
                continue;
            const int client = accept(m_socket, nullptr, nullptr);
            if (client < 0)
                continue;
            ++m_connections;
            std::lock_guard guard(m_lock);
            m_clients.emplace_back([this, client] { serve(client); });
        }
    });
}

HttpPeer::~HttpPeer()
{
    m_stop = true;
    m_thread.join();
    for (auto &client : m_clients)
        client.join();
    close(m_socket);
}

void HttpPeer::route(const std::string &path, Route route)
{
    std::lock_guard guard(m_lock);
    m_routes[path] = std::move(route);
}

std::string HttpPeer::url(const std::string &path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> HttpPeer::requests() const
{
    std::lock_guard guard(m_lock);
    return m_requests;
}

void HttpPeer::serve(int client)
{
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const auto count = read(client, buffer, sizeof buffer);
        if (count <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(count));
    }
    const auto start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    Route route;
    bool known = false;
    {
        std::lock_guard guard(m_lock);
        m_requests.push_back(path);
        const auto found = m_routes.find(path);
        known = found != m_routes.end();
        if (known)
            route = found->second;
    }
    if (!known)
        route.status = 404;
    std::string head = "HTTP/1.0 " + std::to_string(route.status) + (route.status < 400 ? " OK" : " Error") + "\r\n";
    if (!route.location.empty())
        head += "Location: " + route.location + "\r\n";
    if (!route.endless)
        head += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
    head += "\r\n";
    const auto sendAll = [&](const char *data, std::size_t size) {
        return send(client, data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
    };
    const bool bodyFollows = sendAll(head.data(), head.size()) && route.status < 300;
    if (bodyFollows && route.endless) {
        while (!m_stop && !route.body.empty() && sendAll(route.body.data(), route.body.size())) {
        }
    } else if (bodyFollows) {
        for (std::size_t at = 0; at < route.body.size() && !m_stop; at += 4096) {
            if (at >= route.closeAfter)
                break;
            if (at >= route.stallAfter) {
                while (!m_stop)
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                break;
            }
            if (!sendAll(route.body.data() + at, std::min<std::size_t>(4096, route.body.size() - at)))
                break;
            std::this_thread::sleep_for(route.blockDelay);
        }
    }
    close(client);
}

} // namespace garrison::peers
