#include "aaserver/AaServerConfig.h"

#include "common/IniText.h"
#include "servers/DaemonAddress.h"
#include "servers/ServerAddress.h"

#include <charconv>

namespace garrison {

namespace {

std::optional<std::int32_t> integer(const std::string &text)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool isHex(std::string_view text)
{
    return !text.empty() && text.size() <= 8 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
}

// "path:size:crc": clients read the list's deactivations by their colons,
// so one line out of shape would shift every entry after it.
bool deactivationLine(const std::string &line)
{
    const auto first = line.find(':');
    const auto second = first == std::string::npos ? first : line.find(':', first + 1);
    if (first == 0 || second == std::string::npos || line.find(':', second + 1) != std::string::npos)
        return false;
    const std::string size = line.substr(first + 1, second - first - 1);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), value);
    return error == std::errc() && end == size.data() + size.size() && isHex(std::string_view(line).substr(second + 1));
}

bool serverKey(const IniEntry &entry, AaServerConfig &config)
{
    static const std::pair<const char *, int> texts[] = {{"name", 0}, {"info", 1}, {"admin", 2}, {"comserver", 3}};
    for (const auto &[key, index] : texts) {
        if (entry.key == key) {
            config.catalogue.serverTexts[static_cast<std::size_t>(index)] = entry.value;
            return true;
        }
    }
    if (entry.key == "game")
        config.game = entry.value;
    else if (entry.key == "password")
        config.password = entry.value;
    else if (entry.key == "bind")
        config.bind = entry.value;
    else if (entry.key == "zips")
        config.catalogue.zipsFolder = entry.value;
    else if (entry.key == "base_url")
        config.catalogue.baseUrl = entry.value;
    else if (entry.key == "deactivate")
        config.catalogue.deactivations.push_back(entry.value);
    else if (entry.key == "rate_limit") {
        const auto kib = integer(entry.value);
        if (!kib || *kib < 1)
            return false;
        config.rateLimitKib = static_cast<std::uint32_t>(*kib);
    } else if (entry.key == "port") {
        const auto port = parsePortText(entry.value);
        if (!port || *port == 0)
            return false;
        config.port = *port;
    } else
        return false;
    return true;
}

} // namespace

std::vector<std::string> aaServerConfigProblems(const AaServerConfig &config)
{
    std::vector<std::string> problems;
    const auto add = [&](const std::string &problem) {
        if (!problem.empty())
            problems.push_back(problem);
    };
    if (config.catalogue.zipsFolder.empty())
        add("no zips folder (zips = DIR, or --zips DIR)");
    const std::string &url = config.catalogue.baseUrl;
    if (url.empty())
        add("no URL of the zips folder (base_url = URL, or --base-url URL)");
    else if (!url.starts_with("http://") && !url.starts_with("https://") && !url.starts_with("ftp://"))
        add("base_url = " + url + ": clients download only over http://, https:// or ftp://");
    if (!config.game.empty())
        add(hostPortProblem("game", config.game));
    add(bindProblem(config.bind));
    for (const auto &line : config.catalogue.deactivations) {
        if (!deactivationLine(line))
            add("deactivate = " + line +
                ": not PATH:SIZE:CRC (the size in decimal, the CRC in hexadecimal, no other colon)");
    }
    return problems;
}

bool loadAaServerConfig(const std::string &path, AaServerConfig &config, std::string &error)
{
    const auto entries = readIniFile(path, error);
    if (!entries)
        return false;
    constexpr std::string_view kPackage = "package ";
    for (const auto &entry : *entries) {
        bool known = false;
        if (entry.section == "server") {
            known = serverKey(entry, config);
        } else if (entry.section.starts_with(kPackage)) {
            PackageSettings &package = config.catalogue.packages[entry.section.substr(kPackage.size())];
            if (entry.key == "priority") {
                const auto priority = integer(entry.value);
                known = priority.has_value();
                package.priority = priority.value_or(0);
            } else if (entry.key == "comment") {
                package.comment = entry.value;
                known = true;
            }
        }
        if (!known) {
            error = unknownSetting(path, entry);
            return false;
        }
    }
    return true;
}

} // namespace garrison
