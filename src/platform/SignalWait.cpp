#include "platform/SignalWait.h"

#include <csignal>
#include <pthread.h>

namespace garrison {

namespace {

sigset_t setOf(std::initializer_list<int> which)
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : which)
        sigaddset(&set, signal);
    return set;
}

} // namespace

void blockSignals(std::initializer_list<int> which)
{
    const sigset_t set = setOf(which);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int waitForSignal(std::initializer_list<int> which)
{
    const sigset_t set = setOf(which);
    int signal = 0;
    while (sigwait(&set, &signal) != 0) {
    }
    return signal;
}

} // namespace garrison
