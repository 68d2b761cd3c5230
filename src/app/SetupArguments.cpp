#include "app/SetupArguments.h"

#include <charconv>
#include <map>

namespace garrison {

std::vector<std::string> setupArgumentWords(const SetupArguments &arguments)
{
    return {"--wait",  std::to_string(arguments.waitFor),
            "--from",  arguments.staging,
            "--to",    arguments.programFolder,
            "--in",    arguments.workFolder,
            "--start", arguments.program};
}

std::optional<SetupArguments> parseSetupArguments(const std::vector<std::string> &words)
{
    std::map<std::string, std::string> options;
    for (std::size_t i = 0; i + 1 < words.size(); i += 2)
        options[words[i]] = words[i + 1];
    for (const char *needed : {"--wait", "--from", "--to", "--in", "--start"}) {
        if (options[needed].empty())
            return std::nullopt;
    }
    SetupArguments arguments;
    const std::string &pid = options["--wait"];
    const auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), arguments.waitFor);
    if (error != std::errc() || end != pid.data() + pid.size() || arguments.waitFor <= 0)
        return std::nullopt;
    arguments.staging = options["--from"];
    arguments.programFolder = options["--to"];
    arguments.workFolder = options["--in"];
    arguments.program = options["--start"];
    return arguments;
}

const char *setupUsage()
{
    return "usage: garrisonsetup --wait PID --from STAGING --to PROGRAM-FOLDER --in WORKING-FOLDER --start PROGRAM";
}

} // namespace garrison
