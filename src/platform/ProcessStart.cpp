#include "platform/ProcessStart.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <thread>

extern char **environ;

namespace garrison {

bool startProcess(const std::vector<std::string> &argv, const std::string &workingFolder,
                  const std::vector<std::pair<std::string, std::string>> &variables, int *error)
{
    if (argv.empty())
        return false;
    std::vector<std::string> environment;
    for (char **variable = environ; *variable; ++variable) {
        const bool replaced = std::any_of(variables.begin(), variables.end(), [&](const auto &pair) {
            return std::strncmp(*variable, pair.first.c_str(), pair.first.size()) == 0 &&
                   (*variable)[pair.first.size()] == '=';
        });
        if (!replaced)
            environment.emplace_back(*variable);
    }
    for (const auto &[name, value] : variables)
        environment.push_back(name + "=" + value);
    std::vector<char *> args, envp;
    for (const auto &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    for (const auto &variable : environment)
        envp.push_back(const_cast<char *>(variable.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    pid_t pid = 0;
    const int result = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        if (error)
            *error = result;
        return false;
    }
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}

} // namespace garrison
