#pragma once

#include <cstdint>
#include <string>

namespace garrison {

// Tells when anything in a folder changes, and keeps watching its path when
// the folder is moved away, deleted or swapped for another, or does not
// exist yet: an admin who swaps a whole folder in expects it to be noticed.
class FolderWatch {
public:
    static constexpr std::uint32_t kRetryMs = 1000;

    explicit FolderWatch(std::string path);
    ~FolderWatch();
    FolderWatch(const FolderWatch &) = delete;
    FolderWatch &operator=(const FolderWatch &) = delete;

    // True when something changed since the last call, or the folder came
    // (back) into its place. Never blocks; call it often.
    bool changed(std::uint32_t now);
    // False while no folder is there to watch (it is looked for again every kRetryMs).
    bool watching() const { return m_watch >= 0; }

private:
    bool attach();

    std::string m_path;
    int m_events = -1;
    int m_watch = -1;
    std::uint32_t m_lastTry = 0;
};

} // namespace garrison
