#include "gui/QuitSignals.h"

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace garrison::gui {

QuitSignals::QuitSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    m_fd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        signalfd_siginfo info{};
        while (read(m_fd, &info, sizeof info) == sizeof info) {
        }
        emit received();
    });
}

QuitSignals::~QuitSignals()
{
    m_notifier.reset();
    if (m_fd >= 0)
        close(m_fd);
}

} // namespace garrison::gui
