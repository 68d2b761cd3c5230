#include "aaserver/AaServerConfig.h"

#include "common/IniText.h"
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
    else if (entry.key == "port") {
        const auto port = parsePortText(entry.value);
        if (!port || *port == 0)
            return false;
        config.port = *port;
    } else
        return false;
    return true;
}

} // namespace

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
