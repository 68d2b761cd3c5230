#include "cli/QueryCommand.h"

#include "cli/StatusPrinter.h"
#include "lang/LanguageLoader.h"
#include "monitor/MonitorEndpoint.h"
#include "platform/HostLookup.h"
#include "servers/ServerAddress.h"

#include <iostream>
#include <thread>

namespace garrison::cli {

namespace {

struct QueryOptions {
    std::string address;
    double seconds = 6;
    bool json = false;
};

bool complete(const ServerStatus &status)
{
    // VBS1 servers are never asked for their status.
    return status.infoAnswers > 0 && (status.statusAnswers > 0 || status.implementation == Implementation::Vbs1);
}

int runQuery(const QueryOptions &options)
{
    const auto split = splitServerAddress(options.address);
    const auto port = parsePortText(split.portText);
    if (split.host.empty() || !port) {
        std::cerr << "garrison-cli: bad address \"" << options.address << "\" (expected HOST[:PORT])\n";
        return 2;
    }
    const auto address = resolveIpv4(split.host);
    if (!address) {
        std::cerr << "garrison-cli: cannot resolve host \"" << split.host << "\"\n";
        return 2;
    }

    StatusStore status;
    MonitorEndpoint endpoint(status);
    if (!endpoint.create()) {
        std::cerr << "garrison-cli: cannot open a UDP socket\n";
        return 1;
    }
    endpoint.start();
    endpoint.postCommand(MonitorEndpoint::kSetTarget, *address, *port);
    endpoint.postCommand(MonitorEndpoint::kStartPolling);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.seconds);
    ServerStatus result = status.snapshot();
    while (!complete(result) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        result = status.snapshot();
    }
    endpoint.stop();

    const LanguageTable language = loadLanguageTable();
    const bool answered = result.infoAnswers > 0 || result.statusAnswers > 0;
    if (options.json)
        std::cout << statusJson(result, language).dump(2) << "\n";
    else if (answered)
        printStatus(std::cout, result, language);
    if (!answered) {
        std::cerr << "garrison-cli: no answer from " << dottedAddress(*address) << (*port ? ":" : "")
                  << (*port ? std::to_string(*port) : std::string()) << " within " << options.seconds << " seconds\n";
        return 1;
    }
    return 0;
}

} // namespace

void addQueryCommand(CLI::App &app, int &exitCode)
{
    auto options = std::make_shared<QueryOptions>();
    auto *command = app.add_subcommand("query", "Poll a game server and print what it says about itself");
    command->add_option("address", options->address, "HOST[:PORT]; without a port the default ports are probed")
        ->required();
    command->add_option("--seconds", options->seconds, "how long to wait for the answers")
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    command->add_flag("--json", options->json, "print one JSON object");
    command->callback([options, &exitCode] { exitCode = runQuery(*options); });
}

} // namespace garrison::cli
