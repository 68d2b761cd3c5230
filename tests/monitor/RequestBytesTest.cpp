#include "monitor/AutoAddonClient.h"
#include "monitor/CentralServerClient.h"
#include "monitor/StatusPoller.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace garrison;

// Every request Garrison sends, byte for byte as the protocol tables give
// them, written out here by hand: a wrong constant or formula in the code
// cannot pass. Each datagram reads "port: hex bytes".

namespace {

constexpr std::uint32_t kServer = 0x0900007f;

class ByteRecorder : public DatagramSender {
public:
    std::vector<std::string> sent;

    void send(std::uint32_t, std::uint16_t port, std::span<const std::uint8_t> bytes) override
    {
        std::ostringstream text;
        text << port << ":";
        for (const std::uint8_t byte : bytes) {
            static const char digits[] = "0123456789ABCDEF";
            text << ' ' << digits[byte >> 4] << digits[byte & 15];
        }
        sent.push_back(text.str());
    }
    std::vector<std::string> take() { return std::exchange(sent, {}); }
};

using Lines = std::vector<std::string>;

TEST(RequestBytes, GameQueries)
{
    ByteRecorder sender;
    StatusStore status;
    StatusPoller poller(sender, status, 2000);
    poller.setTarget(kServer, 2302);
    poller.startPolling(1000);
    poller.sendPoll(1000);
    EXPECT_EQ(
        sender.take(),
        (Lines{
            // sockets info query, 32 bytes
            "2302: 20 00 01 08 1B C9 C2 E9 01 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00 AE 91 E1 EE 00 00 00 00",
            // DirectPlay 8 enumeration: lead 00, command 02, payload C4 E2, type 01, the game's GUID
            "2302: 00 02 C4 E2 01 60 98 24 F7 BE D0 D2 11 95 EA 00 A0 C9 A5 7F 0B",
            // VBS1 info query, 32 bytes
            "2302: 20 00 81 08 65 2A AA 09 2E 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00 AE 91 E1 EE 11 11 11 11",
            // GameSpy "\status\" to game port + 1 and + 2
            "2303: 5C 73 74 61 74 75 73 5C",
            "2304: 5C 73 74 61 74 75 73 5C",
        }));
}

TEST(RequestBytes, AutoAddonRequests)
{
    ByteRecorder sender;
    StatusStore status;
    status.addonDatabaseReady = true;
    status.password = "pw";
    AutoAddonClient client(sender, status, "/nonexistent/");
    client.setTarget(kServer);
    client.restart();
    client.requestList(2302);
    // list request: u16 1222 (C6 04), u16 0, the password, NUL; to game port + 20 and + 40
    EXPECT_EQ(sender.take(), (Lines{"2322: C6 04 00 00 70 77 00", "2342: C6 04 00 00 70 77 00"}));

    // An announcement of three chunks (u16 0x8000, u16 3, u64 list id) from 2322 ...
    const std::vector<std::uint8_t> announcement = {0x00, 0x80, 0x03, 0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    client.onDatagram(announcement, 2322, 1000);
    // ... asks for the list: send-list request, u16 1222, u16 1
    EXPECT_EQ(sender.take(), Lines{"2322: C6 04 01 00"});
    // No chunk for more than 4000 ms: chunk re-requests, u16 1222, u16 2, u16 chunk number
    client.checkProgress(5001);
    EXPECT_EQ(sender.take(), (Lines{"2322: C6 04 02 00 00 00", "2322: C6 04 02 00 01 00", "2322: C6 04 02 00 02 00"}));
}

TEST(RequestBytes, CentralServerRequests)
{
    ByteRecorder sender;
    StatusStore status;
    CentralServerClient client(sender, status);
    // Tick 0x00120034: session id 0x0034, high half 0x0012,
    // check ((0x34 + 0x12 + 1222) * 5) ^ 0xAAAA = (1292 * 5) ^ 0xAAAA = 0x193C ^ 0xAAAA = 0xB396.
    client.requestNews(kServer, 48124, 0x00120034);
    // news request: u16 1222, u16 session id, u16 high half of the tick, u16 check
    EXPECT_EQ(sender.take(), Lines{"48124: C6 04 34 00 12 00 96 B3"});
    // Tick 0x00010000: the session id would be 0, so it is 1; check ((1 + 1 + 1222) * 5) ^ 0xAAAA = 0x17E8 ^ 0xAAAA =
    // 0xBD42.
    client.requestNews(kServer, 48124, 0x00010000);
    EXPECT_EQ(sender.take(), Lines{"48124: C6 04 01 00 01 00 42 BD"});
    // browser list request: u16 0xFFFD, u16 1222, u16 list cookie = low half of (tick + 4660) = 0x1000 + 0x1234
    client.requestBrowserList(kServer, 48124, 0x00051000);
    EXPECT_EQ(sender.take(), Lines{"48124: FD FF C6 04 34 22"});
}

} // namespace
