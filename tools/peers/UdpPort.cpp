#include "peers/UdpPort.h"

#include "monitor/QueryPackets.h"

#include <array>

namespace garrison::peers {

void UdpPort::onRead(int)
{
    std::array<std::uint8_t, kMaxDatagramBytes> buffer;
    if (const auto received = receiveInto(buffer))
        m_handler(*this, received->bytes, received->address, received->port);
}

} // namespace garrison::peers
