#pragma once

#include "monitor/SurveyedServer.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

namespace garrison {

struct SurveyLimits {
    std::size_t inFlight = 100;                // servers asked and not yet answered or given up
    unsigned packetsPerSecond = 2000;          // both queries of a server count
    std::chrono::milliseconds wait{1000};      // for an answer, per try
    int tries = 2;                             // the first and one retry
    const std::atomic<bool> *cancel = nullptr; // when set, the rows come back as they stand
};

// Asks every listed server at once, within the limits, on one UDP socket:
// "\status\" to its query port and the sockets info query to its game port.
// progress(done, total) is called as servers finish. The rows come back in
// the list's order; a server that never answered has answered = false.
std::vector<SurveyedServer> surveyServers(const std::vector<ListedServer> &servers, const SurveyLimits &limits,
                                          const std::function<void(std::size_t, std::size_t)> &progress = {});

} // namespace garrison
