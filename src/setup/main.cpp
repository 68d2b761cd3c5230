// garrisonsetup: after Garrison has ended, swaps its staged upgrade in and
// starts it again in the working folder it ran in.

#include "app/SetupArguments.h"
#include "app/StagedSwap.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr auto kWaitLimit = std::chrono::seconds(60);

bool ended(pid_t pid)
{
    return kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

int main(int argc, char **argv)
{
    const auto arguments = garrison::parseSetupArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!arguments) {
        std::cerr << garrison::setupUsage() << "\n";
        return 2;
    }
    const pid_t garrison = static_cast<pid_t>(arguments->waitFor);
    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while (!ended(garrison) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!ended(garrison)) {
        std::cerr << "garrisonsetup: Garrison (process " << garrison << ") did not end; nothing was changed\n";
        return 1;
    }
    if (const auto failure = garrison::swapStagedFiles(arguments->staging, arguments->programFolder))
        std::cerr << "garrisonsetup: the upgrade was not installed: " << failure.why() << "\n";
    // The program as it now stands starts again, upgraded or not.
    if (chdir(arguments->workFolder.c_str()) != 0) {
        std::cerr << "garrisonsetup: cannot enter " << arguments->workFolder << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    const std::string &program = arguments->program;
    std::vector<char> name(program.begin(), program.end());
    name.push_back('\0');
    char *const startArgv[] = {name.data(), nullptr};
    execv(program.c_str(), startArgv);
    std::cerr << "garrisonsetup: cannot start " << program << ": " << std::strerror(errno) << "\n";
    return 1;
}
