#include "platform/ThreadPriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace garrison {

namespace {
constexpr int kLowNice = 10;
}

bool lowerCurrentThreadPriority()
{
    // On Linux the nice value is per thread when addressed by thread id.
    const id_t tid = static_cast<id_t>(gettid());
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, tid);
    if (current == -1 && errno != 0)
        return false;
    if (current >= kLowNice)
        return true;
    return setpriority(PRIO_PROCESS, tid, kLowNice) == 0;
}

} // namespace garrison
