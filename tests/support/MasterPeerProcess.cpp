#include "MasterPeerProcess.h"

#include <csignal>
#include <cstdio>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace garrison::test {

MasterPeerProcess::MasterPeerProcess(const std::vector<std::string> &options)
{
    int output[2];
    if (::pipe(output) != 0)
        return;
    std::vector<std::string> words = {"python3", GARRISON_MASTER_PEER};
    words.insert(words.end(), options.begin(), options.end());
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        std::vector<char *> argv;
        for (auto &word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    // The peer prints one line once it listens; an end of file means it failed.
    FILE *said = ::fdopen(output[0], "r");
    char line[256];
    m_listening = said && std::fgets(line, sizeof line, said) &&
                  std::string_view(line).find("listening") != std::string_view::npos;
    if (said)
        std::fclose(said);
}

MasterPeerProcess::~MasterPeerProcess()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
}

} // namespace garrison::test
