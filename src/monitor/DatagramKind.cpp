#include "monitor/DatagramKind.h"

#include "common/ByteReader.h"
#include "monitor/QueryPackets.h"

namespace garrison {

DatagramKind classifyDatagram(std::span<const std::uint8_t> datagram, std::uint32_t sourceAddress,
                              std::uint16_t sourcePort, std::uint32_t serverAddress, std::uint16_t autoAddonPort)
{
    if (sourcePort == kCentralServerPort)
        return DatagramKind::CentralServer;
    if (sourceAddress != serverAddress)
        return DatagramKind::Foreign;
    if (sourcePort == autoAddonPort)
        return DatagramKind::AutoAddon;
    const ByteReader reader(datagram);
    // The length word must be there: an empty datagram is not an answer of length 0.
    if (datagram.size() >= 2 && reader.at<std::uint16_t>(0) == datagram.size())
        return DatagramKind::SocketsInfo;
    if (reader.at<std::uint8_t>(2) == 0xC4 && reader.at<std::uint8_t>(3) == 0xE2)
        return DatagramKind::DirectPlayInfo;
    if (reader.at<std::uint8_t>(0) == '\\')
        return DatagramKind::GameSpyFragment;
    return DatagramKind::AutoAddon;
}

} // namespace garrison
