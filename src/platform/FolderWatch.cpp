#include "platform/FolderWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

namespace garrison {

namespace {

constexpr std::uint32_t kContents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE | IN_CREATE | IN_ATTRIB;
// The folder itself went: what stands at the path now is another folder, or none.
constexpr std::uint32_t kGone = IN_MOVE_SELF | IN_DELETE_SELF | IN_IGNORED | IN_UNMOUNT;

} // namespace

FolderWatch::FolderWatch(std::string path) : m_path(std::move(path))
{
    m_events = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    attach();
}

FolderWatch::~FolderWatch()
{
    if (m_events >= 0)
        close(m_events);
}

bool FolderWatch::attach()
{
    if (m_events >= 0)
        m_watch = inotify_add_watch(m_events, m_path.c_str(), kContents | kGone | IN_ONLYDIR);
    return m_watch >= 0;
}

bool FolderWatch::changed(std::uint32_t now)
{
    if (m_events < 0)
        return false;
    bool changed = false;
    bool gone = false;
    alignas(inotify_event) char buffer[4096];
    for (long length; (length = read(m_events, buffer, sizeof buffer)) > 0;) {
        for (long at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            changed = true;
            gone = gone || (event->wd == m_watch && (event->mask & kGone));
            at += static_cast<long>(sizeof(inotify_event) + event->len);
        }
    }
    if (gone && m_watch >= 0) {
        inotify_rm_watch(m_events, m_watch);
        m_watch = -1;
        m_lastTry = now - kRetryMs;
    }
    if (m_watch < 0 && now - m_lastTry >= kRetryMs) {
        m_lastTry = now;
        changed = attach() || changed;
    }
    return changed;
}

} // namespace garrison
