#include "cli/CentralCommands.h"

#include "cli/AddressArgument.h"
#include "cli/JsonText.h"
#include "cli/SecondsOption.h"
#include "common/GameCodePage.h"
#include "monitor/MonitorEndpoint.h"
#include "platform/HostLookup.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <iostream>
#include <thread>

namespace garrison::cli {

namespace {

struct CentralOptions {
    std::string address;
    double seconds = 3;
    bool json = false;
};

// Sends one request to the central server and collects answers until done()
// says so or the time is up.
template <typename Request>
bool askCentral(const CentralOptions &options, StatusStore &status, const std::function<bool()> &done)
{
    const auto central = resolveAddressArgument(options.address, kCentralServerPort);
    if (!central)
        return false;
    MonitorEndpoint endpoint(status);
    if (!endpoint.create()) {
        std::cerr << "garrison-cli: cannot open a UDP socket\n";
        return false;
    }
    endpoint.start();
    endpoint.post(Request{central->address, central->port});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.seconds);
    while (std::chrono::steady_clock::now() < deadline && !done())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return true;
}

int runNews(const CentralOptions &options)
{
    StatusStore status;
    const auto answered = [&] {
        std::lock_guard guard(status.lock);
        return status.newsAnswers > 0;
    };
    if (!askCentral<NewsRequest>(options, status, answered))
        return 2;
    if (!answered()) {
        std::cerr << "garrison-cli: no news from " << options.address << " within " << options.seconds << " seconds\n";
        return 1;
    }
    std::lock_guard guard(status.lock);
    const NewsAnswer &news = status.news;
    const nlohmann::ordered_json json = {
        {"picture_url", gameTextToUtf8(news.pictureUrl)},
        {"news_text", gameTextToUtf8(news.newsText)},
        {"link", gameTextToUtf8(news.link)},
        {"upgrade_available", news.upgradeAvailable},
    };
    if (options.json) {
        std::cout << jsonText(json) << "\n";
        return 0;
    }
    for (const auto &[key, value] : json.items())
        std::cout << key << ": " << (value.is_string() ? value.get<std::string>() : jsonText(value, -1)) << "\n";
    return 0;
}

int runBrowse(const CentralOptions &options)
{
    StatusStore status;
    // The list arrives in as many datagrams as it needs: wait the whole time.
    if (!askCentral<BrowserRequest>(options, status, [] { return false; }))
        return 2;
    std::lock_guard guard(status.lock);
    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    for (const auto &entry : status.browserList) {
        json.push_back({{"address", dottedAddress(entry.address) + ":" + std::to_string(entry.port)},
                        {"players", entry.players},
                        {"game", (entry.flags & 1) ? "Flashpoint Resistance" : "Operation Flashpoint"},
                        {"name", gameTextToUtf8(entry.name)}});
    }
    if (options.json) {
        std::cout << jsonText(json) << "\n";
    } else {
        for (const auto &entry : json)
            std::cout << entry["address"].get<std::string>() << "  " << entry["players"] << " players  "
                      << entry["game"].get<std::string>() << "  " << entry["name"].get<std::string>() << "\n";
    }
    if (status.browserList.empty()) {
        std::cerr << "garrison-cli: no servers from " << options.address << " within " << options.seconds
                  << " seconds\n";
        return 1;
    }
    return 0;
}

void addCentralCommand(CLI::App &app, const char *name, const char *description, int &exitCode,
                       int (*run)(const CentralOptions &))
{
    auto options = std::make_shared<CentralOptions>();
    auto *command = app.add_subcommand(name, description);
    command->add_option("address", options->address, "HOST[:PORT] of the central server (port 48124 when left out)")
        ->required();
    command->add_option("--seconds", options->seconds, "how long to wait for answers")
        ->check(waitSeconds())
        ->capture_default_str()
        ->check(CLI::PositiveNumber);
    command->add_flag("--json", options->json, "print JSON");
    command->callback([options, run, &exitCode] { exitCode = run(*options); });
}

} // namespace

void addNewsCommand(CLI::App &app, int &exitCode)
{
    addCentralCommand(app, "news", "Ask the central server for the news: picture, text and link", exitCode, runNews);
}

void addBrowseCommand(CLI::App &app, int &exitCode)
{
    addCentralCommand(app, "browse", "List the servers with an Auto-Addon server that the central server knows",
                      exitCode, runBrowse);
}

} // namespace garrison::cli
