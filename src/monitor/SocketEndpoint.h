#pragma once

#include "monitor/EndpointMessage.h"
#include "platform/WorkerThread.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace garrison {

// A worker thread that owns one UDP socket. Its run loop waits up to 100 ms
// for a datagram or a message and turns what happened into calls of the
// handlers below. It waits only for readability: a UDP socket is always
// writable, so waiting for that would spin.
class SocketEndpoint : public WorkerThread<EndpointMessage> {
public:
    static constexpr int kWaitMilliseconds = 100;

    ~SocketEndpoint() override;

    // Binds a datagram socket; address in network order (0 = any), port 0
    // lets the system choose. On failure the socket stays invalid.
    bool create(std::uint16_t port = 0, std::uint32_t address = 0);
    bool isValid() const { return m_socket >= 0; }
    std::uint16_t localPort() const;
    // One datagram; the count sent, or -1. Address in network order.
    long sendTo(std::uint32_t address, std::uint16_t port, const void *data, std::size_t size);
    // One waiting datagram, its length (or -1) with the sender's address
    // (network order) and port. Never blocks.
    long receive(void *buffer, std::size_t size, std::uint32_t &address, std::uint16_t &port);
    struct Datagram {
        std::span<const std::uint8_t> bytes;
        std::uint32_t address = 0; // network order
        std::uint16_t port = 0;
    };
    // One waiting datagram, read into buffer; nothing when none could be read.
    std::optional<Datagram> receiveInto(std::span<std::uint8_t> buffer);
    void closeSocket();

protected:
    void run() override;

    // error is the socket's pending error (0 normally).
    virtual void onRead(int error);
    // The stop never reaches this: the loop handles it.
    virtual void onMessage(const EndpointMessage &message);
    virtual void onStart();
    virtual void onStop();
    // Called after every wake-up, whatever ended the wait: periodic work
    // checks for itself whether it is due, so that steady traffic (a long
    // list transfer, a chatty peer) never holds it back.
    virtual void onTick();

private:
    void runMessages();

    int m_socket = -1;
};

} // namespace garrison
