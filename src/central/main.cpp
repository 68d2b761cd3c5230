// garrison-central: the central server of news and the Auto-Addon server browser.
#include "central/CentralServer.h"
#include "common/LogLine.h"
#include "platform/SignalWait.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>

using namespace garrison;

int main(int argc, char **argv)
{
    blockSignals({SIGINT, SIGTERM, SIGHUP});
    CLI::App app{"The central server: news for every Garrison that starts, and the list of public Auto-Addon "
                 "servers for its browser. SIGHUP reloads the config file."};
    CentralSettings flags;
    std::string configFile;
    std::vector<std::string> entries;
    app.add_option("--config", configFile,
                   "INI file: [server] bind, port; [news] picture_url, text, link; "
                   "[browser] poll, entry")
        ->check(CLI::ExistingFile);
    app.add_option("--bind", flags.bind, "IPv4 address to listen on")->capture_default_str();
    app.add_option("--port", flags.port, "UDP port")->capture_default_str();
    app.add_option("--picture-url", flags.news.pictureUrl, "the news banner's URL");
    app.add_option("--news-text", flags.news.newsText, "one line of news");
    app.add_option("--link", flags.news.link, "the news link (an .ozp link offers an upgrade)");
    app.add_option("--poll", flags.polled, "HOST:PORT of a game server to list while it runs Auto-Addon (repeatable)");
    app.add_option("--entry", entries, "ADDRESS:PORT:PLAYERS:FLAGS:NAME listed as it stands (repeatable)");
    app.add_option("--per-datagram", flags.entriesPerDatagram, "browser entries per answer datagram")
        ->capture_default_str();
    try {
        app.parse(argc, argv);
        for (const auto &text : entries) {
            BrowserEntry entry;
            if (!parseBrowserEntry(text, entry))
                throw CLI::ValidationError("--entry", "expected ADDRESS:PORT:PLAYERS:FLAGS:NAME, got " + text);
            flags.entries.push_back(entry);
        }
    } catch (const CLI::ParseError &error) {
        return app.exit(error);
    }
    // The file first, then what the command line adds or sets.
    const auto settings = [&](CentralSettings &out, std::string &error) {
        out = CentralSettings{};
        if (!configFile.empty() && !loadCentralSettings(configFile, out, error))
            return false;
        if (app.count("--bind"))
            out.bind = flags.bind;
        if (app.count("--port"))
            out.port = flags.port;
        if (app.count("--per-datagram"))
            out.entriesPerDatagram = flags.entriesPerDatagram;
        if (app.count("--picture-url"))
            out.news.pictureUrl = flags.news.pictureUrl;
        if (app.count("--news-text"))
            out.news.newsText = flags.news.newsText;
        if (app.count("--link"))
            out.news.link = flags.news.link;
        out.polled.insert(out.polled.end(), flags.polled.begin(), flags.polled.end());
        out.entries.insert(out.entries.end(), flags.entries.begin(), flags.entries.end());
        return true;
    };
    CentralSettings current;
    std::string error;
    if (!settings(current, error)) {
        std::cerr << "garrison-central: " << error << "\n";
        return 2;
    }
    // The polls keep the lists they fetch out of everyone's way.
    std::string cache = (std::filesystem::temp_directory_path() / "garrison-central-XXXXXX").string();
    if (!mkdtemp(cache.data())) {
        std::cerr << "garrison-central: cannot make a temporary folder\n";
        return 1;
    }
    int result = 0;
    {
        CentralServer server(current, logLine, cache + "/");
        if (server.open() && server.start()) {
            logLine("garrison-central listening on " + current.bind + ":" + std::to_string(current.port));
            while (waitForSignal({SIGINT, SIGTERM, SIGHUP}) == SIGHUP) {
                CentralSettings reloaded;
                if (settings(reloaded, error))
                    server.reload(reloaded);
                else
                    logLine("not reloaded: " + error);
            }
            logLine("ending");
        } else {
            result = 1;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(cache, ignored);
    return result;
}
