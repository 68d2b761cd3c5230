#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace garrison {

// Reads the files a scan is about to need on a second thread, so that the
// scan's own reads and this one's overlap: the scan reads its files in order,
// the helper from the back of the batch, and a file is read once. The thread
// inherits its creator's priority.
class CrcPrefetch {
public:
    CrcPrefetch();
    ~CrcPrefetch();
    CrcPrefetch(const CrcPrefetch &) = delete;
    CrcPrefetch &operator=(const CrcPrefetch &) = delete;

    // Drops what is left of the last batch and queues these paths, in order.
    void queue(std::vector<std::string> paths);
    // The CRC of path, as fileCrc gives it: from the batch when queued
    // (waiting while the other thread reads it), else read here.
    std::optional<std::uint32_t> crc(const std::string &path);

private:
    enum class State { Waiting, Reading, Done };
    struct Job {
        std::string path;
        State state = State::Waiting;
        std::optional<std::uint32_t> crc;
    };

    void run();

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Job> m_jobs;
    std::unordered_map<std::string, std::size_t> m_index;
    std::size_t m_last = 0; // no job from it on is waiting
    bool m_helperBusy = false;
    bool m_waiting = false; // the scan waits for the helper
    bool m_stop = false;
    std::thread m_helper;
};

} // namespace garrison
