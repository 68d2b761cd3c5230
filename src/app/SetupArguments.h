#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace garrison {

// What the setup program is told: the one place that writes its command
// line (the window) and reads it (garrisonsetup).
struct SetupArguments {
    std::int64_t waitFor = 0;  // Garrison's process id: the swap starts when it has ended
    std::string staging;       // where the new files wait
    std::string programFolder; // where they go
    std::string workFolder;    // where Garrison starts again
    std::string program;       // what starts again
};

std::vector<std::string> setupArgumentWords(const SetupArguments &arguments);
// Nothing when a word is missing or the process id is no number.
std::optional<SetupArguments> parseSetupArguments(const std::vector<std::string> &words);
const char *setupUsage();

} // namespace garrison
