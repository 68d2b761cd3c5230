// garrison-central: the central server of news and the Auto-Addon server browser.
#include "central/CentralServer.h"
#include "common/LogLine.h"
#include "platform/HostLookup.h"
#include "platform/SignalWait.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <iostream>

using namespace garrison;

namespace {

int check(const CentralSettings &settings)
{
    std::cout << "Listening on " << settings.bind << ":" << settings.port << "\n";
    std::cout << "News: " << loggable(settings.news.newsText) << "\n  picture " << loggable(settings.news.pictureUrl)
              << "\n  link " << loggable(settings.news.link) << "\n";
    std::cout << "Fixed browser entries:\n";
    for (const auto &entry : settings.entries)
        std::cout << "  " << dottedAddress(entry.address) << ":" << entry.port << "  "
                  << loggable(browserName(entry.name)) << "  (" << int{entry.players} << " players, flags "
                  << int{entry.flags} << ")\n";
    std::cout << "Polled game servers:\n";
    for (const auto &target : settings.polled)
        std::cout << "  " << loggable(target) << "\n";
    std::cout << "Browser answers of at most " << settings.entriesPerDatagram << " entries and " << kMaxBrowserDatagram
              << " bytes; " << settings.rateLimitKib << " KiB a minute to one address, " << settings.networkRateLimitKib
              << " KiB to one /24\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // A reader gone while its answer is written must not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    blockSignals({SIGINT, SIGTERM, SIGHUP});
    CLI::App app{"The central server: news for every Garrison that starts, and the list of public Auto-Addon "
                 "servers for its browser. SIGHUP reloads the config file."};
    CentralSettings flags;
    std::string configFile;
    std::vector<std::string> entries;
    bool checkOnly = false;
    app.add_option("--config", configFile,
                   "INI file: [server] bind, port, per_datagram, rate_limit, network_rate_limit; "
                   "[news] picture_url, text, link; [browser] poll, entry")
        ->check(CLI::ExistingFile);
    app.add_option("--bind", flags.bind, "IPv4 address to listen on")->capture_default_str();
    app.add_option("--port", flags.port, "UDP port")->check(CLI::Range(1, 65535))->capture_default_str();
    app.add_option("--picture-url", flags.news.pictureUrl, "the news banner's URL");
    app.add_option("--news-text", flags.news.newsText, "one line of news");
    app.add_option("--link", flags.news.link, "the news link (an .ozp link offers an upgrade)");
    app.add_option("--poll", flags.polled, "HOST:PORT of a game server to list while it runs Auto-Addon (repeatable)");
    app.add_option("--entry", entries, "ADDRESS:PORT:PLAYERS:FLAGS:NAME listed as it stands (repeatable)");
    app.add_option("--per-datagram", flags.entriesPerDatagram,
                   "browser entries per answer datagram at most (each stays below " +
                       std::to_string(kMaxBrowserDatagram) + " bytes anyway)")
        ->check(CLI::Range(std::size_t{1}, kMaxPerDatagram))
        ->capture_default_str();
    app.add_option("--rate-limit", flags.rateLimitKib, "KiB one address may be sent a minute")
        ->check(CLI::Range(1, 1 << 30))
        ->capture_default_str();
    app.add_option("--network-rate-limit", flags.networkRateLimitKib, "KiB one /24 network may be sent a minute")
        ->check(CLI::Range(1, 1 << 30))
        ->capture_default_str();
    app.add_flag("--check", checkOnly, "print what it would serve, or every problem, then end");
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
    // The file first, then what the command line adds or sets; then whether the server could start with it.
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
        if (app.count("--rate-limit"))
            out.rateLimitKib = flags.rateLimitKib;
        if (app.count("--network-rate-limit"))
            out.networkRateLimitKib = flags.networkRateLimitKib;
        if (app.count("--picture-url"))
            out.news.pictureUrl = flags.news.pictureUrl;
        if (app.count("--news-text"))
            out.news.newsText = flags.news.newsText;
        if (app.count("--link"))
            out.news.link = flags.news.link;
        out.polled.insert(out.polled.end(), flags.polled.begin(), flags.polled.end());
        out.entries.insert(out.entries.end(), flags.entries.begin(), flags.entries.end());
        const auto problems = centralSettingsProblems(out);
        error.clear();
        for (const auto &problem : problems)
            error += (error.empty() ? "" : "; ") + problem;
        return problems.empty();
    };
    CentralSettings current;
    std::string error;
    if (!settings(current, error)) {
        std::cerr << "garrison-central: " << loggable(error) << "\n";
        return 2;
    }
    if (checkOnly)
        return check(current);
    CentralServer server(current, logLine);
    if (!server.open() || !server.start())
        return 1;
    logLine("garrison-central listening on " + current.bind + ":" + std::to_string(current.port));
    while (waitForSignal({SIGINT, SIGTERM, SIGHUP}) == SIGHUP) {
        CentralSettings reloaded;
        if (settings(reloaded, error))
            server.reload(reloaded);
        else
            logLine("not reloaded: " + error);
    }
    logLine("ending");
    return 0;
}
