#include "cli/ServerQuery.h"

#include "addondb/OfferedBlock.h"
#include "autoaddon/OfferedModel.h"
#include "common/DisplayText.h"
#include "monitor/AddonServerText.h"
#include "monitor/MonitorEndpoint.h"

#include <iostream>

#include <chrono>
#include <thread>

namespace garrison::cli {

namespace {

bool gameAnswered(const ServerStatus &status)
{
    // VBS1 servers are never asked for their status.
    return status.infoAnswers > 0 && (status.statusAnswers > 0 || status.implementation == Implementation::Vbs1);
}

bool addonSettled(const ServerStatus &status)
{
    switch (status.addonServerState) {
    case AddonServerState::NotAnswered:
        return false;
    case AddonServerState::Transferring:
        return status.receivedChunks >= status.expectedChunks;
    default:
        return true;
    }
}

} // namespace

QueryResult queryServer(const ResolvedAddress &target, const std::string &password, double seconds)
{
    StatusStore status;
    // Without a window there is no database scan to wait for.
    status.addonDatabaseReady = true;
    status.password = password;
    MonitorEndpoint endpoint(status);
    QueryResult result;
    if (!endpoint.create())
        return result;
    endpoint.start();
    endpoint.post(SetTarget{target.address, target.port});
    endpoint.post(StartPolling{});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (true) {
        {
            std::lock_guard guard(status.lock);
            result.record = status.record;
            result.offeredList = status.offeredList;
        }
        if ((gameAnswered(result.record) && addonSettled(result.record)) ||
            std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    endpoint.stop();
    return result;
}

bool receiveOfferedList(AddonDatabase &database, const ResolvedAddress &target, const std::string &password,
                        double seconds)
{
    const QueryResult query = queryServer(target, password, seconds);
    if (!query.offeredList) {
        std::cerr << "garrison-cli: no package list from the Auto-Addon server of " << addressText(target) << " ("
                  << displayText(addonServerText(query.record, true, database.language())) << ")\n";
        return false;
    }
    if (!parseOfferedBlock(*query.offeredList, database.offered()))
        std::cerr << "garrison-cli: the package list was cut short; the packages read whole are kept\n";
    evaluateArrivedList(database.offered(), database);
    return true;
}

} // namespace garrison::cli
