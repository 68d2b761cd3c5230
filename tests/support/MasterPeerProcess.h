#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace garrison::test {

// The GameSpy master peer of tools/master, run as its own process for a
// test: started with the given options, waited for until it listens, ended
// with the test.
class MasterPeerProcess {
public:
    explicit MasterPeerProcess(const std::vector<std::string> &options);
    ~MasterPeerProcess();
    MasterPeerProcess(const MasterPeerProcess &) = delete;
    MasterPeerProcess &operator=(const MasterPeerProcess &) = delete;

    bool listening() const { return m_listening; }

private:
    pid_t m_pid = -1;
    bool m_listening = false;
};

} // namespace garrison::test
