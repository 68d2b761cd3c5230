#include "monitor/DatagramKind.h"
#include "monitor/GameSpyAnswer.h"
#include "monitor/GameSpyFragments.h"
#include "monitor/InfoAnswer.h"

// Every datagram goes through the classification and the decoder it picks.
// The fragment table lives across inputs, as it does across datagrams.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static garrison::GameSpyFragments fragments;
    const std::span<const std::uint8_t> datagram(data, size);
    garrison::ServerStatus record;
    switch (garrison::classifyDatagram(datagram, 1, 2302, 1, 0)) {
    case garrison::DatagramKind::SocketsInfo:
        garrison::parseSocketsInfoAnswer(datagram);
        break;
    case garrison::DatagramKind::DirectPlayInfo:
        garrison::parseDirectPlayInfoAnswer(datagram);
        break;
    default:
        if (const auto answer = fragments.add({reinterpret_cast<const char *>(data), size}))
            garrison::applyGameSpyAnswer(*answer, record);
        // Any text is also read as an answer on its own.
        garrison::applyGameSpyAnswer({reinterpret_cast<const char *>(data), size}, record);
        break;
    }
    return 0;
}
