#pragma once

#include "common/Failure.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace garrison {

// A TCP connection whose every wait ends at one deadline, so that a peer that
// goes quiet cannot hold the caller.
class TcpStream {
public:
    using Clock = std::chrono::steady_clock;

    explicit TcpStream(Clock::time_point deadline) : m_deadline(deadline) {}
    ~TcpStream();
    TcpStream(const TcpStream &) = delete;
    TcpStream &operator=(const TcpStream &) = delete;

    // address in network order.
    Failure connect(std::uint32_t address, std::uint16_t port);
    Failure sendAll(const std::string &bytes);
    // Appends what arrives to buffer; closed is set when the peer ended the
    // connection. A failure for a reset or the deadline.
    Failure receiveSome(std::string &buffer, bool &closed);

private:
    Failure waitFor(short events);

    Clock::time_point m_deadline;
    int m_socket = -1;
};

} // namespace garrison
