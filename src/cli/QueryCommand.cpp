#include "cli/QueryCommand.h"

#include "cli/AddressArgument.h"
#include "cli/StatusPrinter.h"
#include "lang/LanguageLoader.h"
#include "monitor/MonitorEndpoint.h"

#include <iostream>
#include <thread>

namespace garrison::cli {

namespace {

struct QueryOptions {
    std::string address;
    std::string password;
    double seconds = 8;
    bool json = false;
};

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

int runQuery(const QueryOptions &options)
{
    const auto target = resolveAddressArgument(options.address, 0);
    if (!target)
        return 2;

    StatusStore status;
    // Without a window there is no database scan to wait for.
    status.addonDatabaseReady = true;
    status.password = options.password;
    MonitorEndpoint endpoint(status);
    if (!endpoint.create()) {
        std::cerr << "garrison-cli: cannot open a UDP socket\n";
        return 1;
    }
    endpoint.start();
    endpoint.postCommand(MonitorEndpoint::kSetTarget, target->address, target->port);
    endpoint.postCommand(MonitorEndpoint::kStartPolling);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.seconds);
    ServerStatus result;
    std::optional<std::size_t> listBytes;
    while (true) {
        {
            std::lock_guard guard(status.lock);
            result = status.record;
            if (status.offeredList)
                listBytes = status.offeredList->size();
        }
        if ((gameAnswered(result) && addonSettled(result)) || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    endpoint.stop();

    const LanguageTable language = loadLanguageTable();
    const bool answered = result.infoAnswers > 0 || result.statusAnswers > 0;
    if (options.json)
        std::cout << statusJson(result, language, listBytes).dump(2) << "\n";
    else if (answered)
        printStatus(std::cout, result, language, listBytes);
    if (!answered) {
        std::cerr << "garrison-cli: no answer from " << addressText(*target) << " within " << options.seconds
                  << " seconds\n";
        return 1;
    }
    return 0;
}

} // namespace

void addQueryCommand(CLI::App &app, int &exitCode)
{
    auto options = std::make_shared<QueryOptions>();
    auto *command = app.add_subcommand(
        "query", "Poll a game server and its Auto-Addon server and print what they say about themselves");
    command->add_option("address", options->address, "HOST[:PORT]; without a port the default ports are probed")
        ->required();
    command->add_option("--password", options->password, "the server's password, for its Auto-Addon server");
    command->add_option("--seconds", options->seconds, "how long to wait for the answers")
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    command->add_flag("--json", options->json, "print one JSON object");
    command->callback([options, &exitCode] { exitCode = runQuery(*options); });
}

} // namespace garrison::cli
