#pragma once

#include "addondb/AddonDatabase.h"
#include "cli/AddressArgument.h"
#include "monitor/ServerStatus.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace garrison::cli {

struct QueryResult {
    ServerStatus record;
    std::optional<std::vector<std::uint8_t>> offeredList; // the Auto-Addon server's block
};

// Polls the game server and its Auto-Addon server until both have answered
// (or given up), or seconds pass. List caches go to the working directory.
QueryResult queryServer(const ResolvedAddress &target, const std::string &password, double seconds);

// Asks the server's Auto-Addon server for its list and evaluates it against
// the database (statuses and automatic flags). Says why on stderr when no
// list came.
bool receiveOfferedList(AddonDatabase &database, const ResolvedAddress &target, const std::string &password,
                        double seconds);

} // namespace garrison::cli
