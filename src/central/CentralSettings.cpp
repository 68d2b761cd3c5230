#include "central/CentralSettings.h"

#include "common/IniText.h"
#include "platform/HostLookup.h"
#include "servers/DaemonAddress.h"
#include "servers/ServerAddress.h"

#include <arpa/inet.h>

#include <charconv>

namespace garrison {

namespace {

template <typename Number>
bool number(std::string_view text, Number &value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool setKey(const IniEntry &entry, CentralSettings &settings)
{
    if (entry.section == "server" && entry.key == "bind") {
        settings.bind = entry.value;
    } else if (entry.section == "server" && entry.key == "port") {
        const auto port = parsePortText(entry.value);
        if (!port || *port == 0)
            return false;
        settings.port = *port;
    } else if (entry.section == "server" && entry.key == "per_datagram") {
        return number(entry.value, settings.entriesPerDatagram) && settings.entriesPerDatagram >= 1 &&
               settings.entriesPerDatagram <= kMaxPerDatagram;
    } else if (entry.section == "server" && entry.key == "rate_limit") {
        return number(entry.value, settings.rateLimitKib) && settings.rateLimitKib >= 1;
    } else if (entry.section == "server" && entry.key == "network_rate_limit") {
        return number(entry.value, settings.networkRateLimitKib) && settings.networkRateLimitKib >= 1;
    } else if (entry.section == "news" && entry.key == "picture_url") {
        settings.news.pictureUrl = entry.value;
    } else if (entry.section == "news" && entry.key == "text") {
        settings.news.newsText = entry.value;
    } else if (entry.section == "news" && entry.key == "link") {
        settings.news.link = entry.value;
    } else if (entry.section == "browser" && entry.key == "poll") {
        settings.polled.push_back(entry.value);
    } else if (entry.section == "browser" && entry.key == "entry") {
        BrowserEntry browserEntry;
        if (!parseBrowserEntry(entry.value, browserEntry))
            return false;
        settings.entries.push_back(browserEntry);
    } else {
        return false;
    }
    return true;
}

} // namespace

bool parseBrowserEntry(const std::string &text, BrowserEntry &entry)
{
    std::vector<std::string_view> parts;
    std::string_view rest = text;
    for (int i = 0; i < 4; ++i) {
        const auto colon = rest.find(':');
        if (colon == std::string_view::npos)
            return false;
        parts.push_back(rest.substr(0, colon));
        rest.remove_prefix(colon + 1);
    }
    in_addr address{};
    unsigned players = 0, flags = 0;
    const std::string dotted(parts[0]);
    const auto port = parsePortText(parts[1]);
    if (inet_pton(AF_INET, dotted.c_str(), &address) != 1 || !port || !number(parts[2], players) || players > 255 ||
        !number(parts[3], flags) || flags > 255 || rest.empty())
        return false;
    entry = {address.s_addr, *port, static_cast<std::uint8_t>(players), static_cast<std::uint8_t>(flags),
             std::string(rest)};
    return true;
}

std::vector<std::string> centralSettingsProblems(const CentralSettings &settings)
{
    std::vector<std::string> problems;
    if (const auto problem = bindProblem(settings.bind); !problem.empty())
        problems.push_back(problem);
    if (settings.port == 0)
        problems.push_back("port = 0: no port to listen on (1 to 65535)");
    for (const auto &target : settings.polled) {
        if (const auto problem = hostPortProblem("poll", target); !problem.empty())
            problems.push_back(problem);
    }
    return problems;
}

bool loadCentralSettings(const std::string &path, CentralSettings &settings, std::string &error)
{
    const auto entries = readIniFile(path, error);
    if (!entries)
        return false;
    for (const auto &entry : *entries) {
        if (!setKey(entry, settings)) {
            error = unknownSetting(path, entry);
            return false;
        }
    }
    return true;
}

} // namespace garrison
