#pragma once

#include "common/Failure.h"
#include "monitor/MasterList.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace garrison {

struct MasterRequest {
    static constexpr std::uint16_t kDefaultPort = 28900;

    std::string host;
    std::uint16_t port = kDefaultPort;
    std::string game = "opflashr"; // "opflash" or "opflashr"
    std::string gameKey;           // the game's secret key; empty: no validate answer is sent
    std::chrono::milliseconds timeout{10000};
};

struct MasterReply {
    Failure failure;
    std::vector<ListedServer> servers;
};

// The whole exchange with a GameSpy master over TCP: its challenge, our
// answer and the list request, then the list. Blocks until the list has
// come, the master failed or the timeout passed.
MasterReply fetchMasterList(const MasterRequest &request);

} // namespace garrison
