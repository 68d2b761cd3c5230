#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace garrison::peers {

// A small HTTP/1.0 server on 127.0.0.1 for the download tests and the demo:
// each path answers with a body, an error status, a redirect, or a body that
// stops coming after its first bytes.
class HttpPeer {
public:
    struct Route {
        int status = 200;
        std::string body;
        std::string location;                       // for a redirect
        std::size_t stallAfter = std::string::npos; // bytes sent before going quiet
        std::chrono::milliseconds blockDelay{0};    // between 4096-byte blocks
        bool endless = false;                       // the body again and again, no length announced
        std::size_t closeAfter = std::string::npos; // bytes sent before hanging up, the whole length announced
    };

    // port 0: any free port.
    explicit HttpPeer(std::uint16_t port = 0);
    ~HttpPeer();

    void route(const std::string &path, Route route);
    std::string url(const std::string &path) const;
    std::uint16_t port() const { return m_port; }
    std::vector<std::string> requests() const;
    // Connections accepted, whether or not they made a request.
    int connections() const { return m_connections; }

private:
    void serve(int client);

    int m_socket = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::thread m_thread;
    mutable std::mutex m_lock;
    std::map<std::string, Route> m_routes;
    std::vector<std::string> m_requests;
    std::vector<std::thread> m_clients;
};

} // namespace garrison::peers
