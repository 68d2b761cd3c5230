#include "monitor/AutoAddonClient.h"
#include "monitor/CentralServerClient.h"

#include <cstdlib>

namespace {

struct NullSender : garrison::DatagramSender {
    void send(std::uint32_t, std::uint16_t, std::span<const std::uint8_t>) override {}
};

} // namespace

// The input is a run of datagrams, each a length byte and its bytes, fed to
// the Auto-Addon and central-server clients as if from the server. Nothing
// may crash, and the record never counts more chunks than it expects.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    NullSender sender;
    garrison::StatusStore status;
    status.addonDatabaseReady = true;
    garrison::AutoAddonClient client(sender, status, "/nonexistent/");
    garrison::CentralServerClient central(sender, status);
    client.setTarget(0x0100007f);
    client.restart();
    client.requestList(2302);
    central.requestNews(0x0100007f, 48124, 0x00010000);
    central.requestBrowserList(0x0100007f, 48124, 0);
    std::uint32_t now = 0;
    for (std::size_t at = 0; at < size;) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        const std::span<const std::uint8_t> datagram(data + at + 1, length);
        at += 1 + length;
        now += 1500;
        client.onDatagram(datagram, client.port() ? client.port() : 2322, now);
        central.onDatagram(datagram, 0x0100007f, 48124);
        client.checkProgress(now);
        if (status.record.receivedChunks > status.record.expectedChunks)
            std::abort();
    }
    return 0;
}
