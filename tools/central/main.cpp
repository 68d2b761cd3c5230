// garrison-central: the central server on loopback for the demo and the tests.
#include "central/CentralPeer.h"
#include "peers/PeerMain.h"

#include <CLI/CLI.hpp>

#include <iostream>

using namespace garrison::peers;

namespace {

garrison::BrowserEntry parseEntry(const std::string &text)
{
    const auto parts = splitOn(text, ':');
    if (parts.size() < 5)
        throw CLI::ValidationError("--entry", "expected ADDRESS:PORT:PLAYERS:FLAGS:NAME, got " + text);
    garrison::BrowserEntry entry;
    entry.address = parseBindAddress(parts[0], "--entry");
    entry.port = static_cast<std::uint16_t>(std::stoul(parts[1]));
    entry.players = static_cast<std::uint8_t>(std::stoul(parts[2]));
    entry.flags = static_cast<std::uint8_t>(std::stoul(parts[3]));
    // The name may hold colons itself.
    entry.name = text.substr(parts[0].size() + parts[1].size() + parts[2].size() + parts[3].size() + 4);
    return entry;
}

} // namespace

int main(int argc, char **argv)
{
    CLI::App app{"The central server on loopback: answers the news request and the Auto-Addon server browser."};
    CentralConfig config;
    std::string bind = "127.0.0.1";
    std::vector<std::string> entries;
    double seconds = 0;

    app.add_option("--bind", bind, "IPv4 address to listen on")->capture_default_str();
    app.add_option("--port", config.port, "UDP port")->capture_default_str();
    app.add_option("--picture-url", config.pictureUrl, "news picture URL");
    app.add_option("--news-text", config.newsText, "one line of news");
    app.add_option("--link", config.link, "news link (an .ozp link offers an upgrade)");
    app.add_option("--entry", entries, "ADDRESS:PORT:PLAYERS:FLAGS:NAME of the browser list (repeatable)");
    app.add_option("--per-datagram", config.entriesPerDatagram, "browser entries per answer datagram")
        ->capture_default_str();
    app.add_option("--seconds", seconds, "stop after this long (default: until interrupted)");

    try {
        app.parse(argc, argv);
        config.address = parseBindAddress(bind);
        for (const auto &entry : entries)
            config.entries.push_back(parseEntry(entry));
    } catch (const CLI::ParseError &error) {
        return app.exit(error);
    } catch (const std::exception &error) {
        std::cerr << "garrison-central: " << error.what() << "\n";
        return 2;
    }

    CentralPeer peer(config);
    if (!peer.start()) {
        std::cerr << "garrison-central: cannot listen on " << bind << ":" << config.port << "\n";
        return 1;
    }
    std::cout << "garrison-central listening on " << bind << ":" << config.port << std::endl;
    serveUntilStopped(seconds);
    peer.stop();
    return 0;
}
