// garrisonsetup: after Garrison has ended, swaps its staged upgrade in and
// starts it again in the working folder it ran in.

#include "app/StagedSwap.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr auto kWaitLimit = std::chrono::seconds(60);

int usage()
{
    std::cerr << "usage: garrisonsetup --wait PID --from STAGING --to PROGRAM-FOLDER --in WORKING-FOLDER "
                 "--start PROGRAM\n";
    return 2;
}

bool ended(pid_t pid)
{
    return kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

int main(int argc, char **argv)
{
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    for (const char *needed : {"--wait", "--from", "--to", "--in", "--start"}) {
        if (options[needed].empty())
            return usage();
    }
    const pid_t garrison = static_cast<pid_t>(std::stol(options["--wait"]));
    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    while (!ended(garrison) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!ended(garrison)) {
        std::cerr << "garrisonsetup: Garrison (process " << garrison << ") did not end; nothing was changed\n";
        return 1;
    }
    if (const std::string failure = garrison::swapStagedFiles(options["--from"], options["--to"]); !failure.empty())
        std::cerr << "garrisonsetup: the upgrade was not installed: " << failure << "\n";
    // The program as it now stands starts again, upgraded or not.
    if (chdir(options["--in"].c_str()) != 0) {
        std::cerr << "garrisonsetup: cannot enter " << options["--in"] << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    const std::string program = options["--start"];
    std::vector<char> name(program.begin(), program.end());
    name.push_back('\0');
    char *const startArgv[] = {name.data(), nullptr};
    execv(program.c_str(), startArgv);
    std::cerr << "garrisonsetup: cannot start " << program << ": " << std::strerror(errno) << "\n";
    return 1;
}
