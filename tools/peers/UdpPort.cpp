#include "peers/UdpPort.h"

#include "monitor/QueryPackets.h"

#include <array>

namespace garrison::peers {

void UdpPort::onRead(int)
{
    std::array<std::uint8_t, kMaxDatagramBytes> buffer;
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    const long length = receive(buffer.data(), buffer.size(), address, port);
    if (length >= 0)
        m_handler(*this, {buffer.data(), static_cast<std::size_t>(length)}, address, port);
}

} // namespace garrison::peers
