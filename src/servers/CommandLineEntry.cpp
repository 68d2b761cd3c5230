#include "servers/CommandLineEntry.h"

#include "common/TextCompare.h"
#include "servers/ParameterSplit.h"

#include <optional>

namespace garrison {

bool applyCommandLine(const std::vector<std::string> &words, Settings &settings)
{
    std::optional<std::string> host;
    std::string port;
    std::string password;
    std::vector<std::string> kept;
    for (const auto &word : words) {
        if (startsWithNoCase(word, "-connect="))
            host = word.substr(9);
        else if (startsWithNoCase(word, "-port="))
            port = word.substr(6);
        else if (startsWithNoCase(word, "-password="))
            password = word.substr(10);
        else if (!startsWithNoCase(word, "-nosplash"))
            kept.push_back(word);
    }
    if (!host)
        return false;
    const std::string address = *host + ":" + port;
    std::size_t index = 0;
    while (index < settings.servers.size() && !equalsNoCase(settings.servers[index].address, address))
        ++index;
    if (index == settings.servers.size()) {
        ServerEntry entry;
        entry.address = address;
        entry.name = address;
        settings.servers.push_back(std::move(entry));
    }
    ServerEntry &entry = settings.servers[index];
    entry.password = password;
    auto split = splitParameters(kept);
    entry.startupParameters = std::move(split.startupParameters);
    entry.manualMods = std::move(split.manualMods);
    settings.selectedIndex = static_cast<std::int32_t>(index);
    return true;
}

} // namespace garrison
