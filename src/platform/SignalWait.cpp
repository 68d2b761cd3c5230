#include "platform/SignalWait.h"

#include <csignal>
#include <pthread.h>

namespace garrison {

namespace {

sigset_t setOf(std::initializer_list<int> signals)
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : signals)
        sigaddset(&set, signal);
    return set;
}

} // namespace

void blockSignals(std::initializer_list<int> signals)
{
    const sigset_t set = setOf(signals);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

int waitForSignal(std::initializer_list<int> signals)
{
    const sigset_t set = setOf(signals);
    int signal = 0;
    while (sigwait(&set, &signal) != 0) {
    }
    return signal;
}

} // namespace garrison
