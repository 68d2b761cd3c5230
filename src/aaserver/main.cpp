// garrison-aaserver: the Auto-Addon server an admin runs beside a game server.
#include "aaserver/AaServerConfig.h"
#include "aaserver/AddonServer.h"
#include "common/LogLine.h"
#include "platform/SignalWait.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <csignal>
#include <iostream>

using namespace garrison;

namespace {

int check(const AaServerConfig &config)
{
    const Catalogue catalogue = buildCatalogue(config.catalogue);
    std::cout << "Packages served from " << config.catalogue.zipsFolder << ":\n";
    for (std::size_t i = 0; i < catalogue.zips.size(); ++i) {
        const OfferedEntry &package = catalogue.content.packages[i];
        std::cout << "  " << loggable(package.name) << "  (" << loggable(catalogue.zips[i]) << ", " << package.zipSize
                  << " bytes, priority " << package.priority << ", " << package.url << ")\n";
        for (const auto &file : package.files) {
            char crc[9];
            std::snprintf(crc, sizeof crc, "%08X", file.crc);
            std::cout << "    " << loggable(file.path) << "  " << file.size << " bytes  CRC " << crc << "\n";
        }
    }
    if (catalogue.zips.empty())
        std::cout << "  (none)\n";
    for (const auto &problem : catalogue.problems)
        std::cout << "problem: " << loggable(problem) << " (left out)\n";
    return catalogue.problems.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    // A client gone while its answer is written must not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    blockSignals({SIGINT, SIGTERM, SIGHUP});
    CLI::App app{"The Auto-Addon server: offers the add-on zips of a folder to the players of a game server. "
                 "SIGHUP reads the folder again."};
    AaServerConfig config;
    std::string configFile;
    bool checkOnly = false;
    app.add_option("--config", configFile, "INI file with the settings below and per-package ones")
        ->check(CLI::ExistingFile);
    app.add_option("--zips", config.catalogue.zipsFolder, "folder of the add-on zips to offer");
    app.add_option("--base-url", config.catalogue.baseUrl, "URL of that folder on the web server");
    app.add_option("--game", config.game, "HOST:PORT of the game server beside it");
    app.add_option("--password", config.password, "the game server's password");
    app.add_option("--port", config.port, "UDP port (default: the game port + 20)")->check(CLI::Range(1, 65535));
    app.add_option("--rate-limit", config.rateLimitKib, "KiB one client address may be sent a minute")
        ->check(CLI::Range(1, 1 << 30))
        ->capture_default_str();
    app.add_option("--bind", config.bind, "IPv4 address to listen on")->capture_default_str();
    app.add_option("--name", config.catalogue.serverTexts[0], "the server's name in the list");
    app.add_flag("--check", checkOnly, "print the list it would serve and every problem, then end");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &error) {
        return app.exit(error);
    }
    // Flags given on the command line win over the file.
    if (!configFile.empty()) {
        AaServerConfig fromFile;
        std::string error;
        if (!loadAaServerConfig(configFile, fromFile, error)) {
            std::cerr << "garrison-aaserver: " << error << "\n";
            return 2;
        }
        const auto given = [&](const char *option) {
            return app.count(option) > 0;
        };
        if (given("--zips"))
            fromFile.catalogue.zipsFolder = config.catalogue.zipsFolder;
        if (given("--base-url"))
            fromFile.catalogue.baseUrl = config.catalogue.baseUrl;
        if (given("--game"))
            fromFile.game = config.game;
        if (given("--password"))
            fromFile.password = config.password;
        if (given("--port"))
            fromFile.port = config.port;
        if (given("--bind"))
            fromFile.bind = config.bind;
        if (given("--rate-limit"))
            fromFile.rateLimitKib = config.rateLimitKib;
        if (given("--name"))
            fromFile.catalogue.serverTexts[0] = config.catalogue.serverTexts[0];
        config = std::move(fromFile);
    }
    const auto problems = aaServerConfigProblems(config);
    for (const auto &problem : problems)
        std::cerr << "garrison-aaserver: " << loggable(problem) << "\n";
    if (!problems.empty())
        return 2;
    if (checkOnly)
        return check(config);
    if (config.game.empty()) {
        std::cerr << "garrison-aaserver: give the game server (--game HOST:PORT)\n";
        return 2;
    }
    AddonServer server(config, logLine);
    if (!server.open() || !server.start())
        return 1;
    logLine("garrison-aaserver listening on " + config.bind + ":" + std::to_string(server.port()));
    int signal = 0;
    while ((signal = waitForSignal({SIGINT, SIGTERM, SIGHUP})) == SIGHUP) {
        logLine("SIGHUP: reading the zips folder again");
        server.rescan();
    }
    logLine(std::string("ending on ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
    return 0;
}
