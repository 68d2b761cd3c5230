#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace garrison {

// Reads the files a scan is going to need on a second thread, so that the
// scan's own reads and this one's overlap. The scan adds every file it will
// read before it starts reading, then asks for them in the order it added
// them; the helper takes the last one added that nobody has taken yet, so the
// two meet once, and each file is read once. The thread inherits its
// creator's priority.
class CrcPrefetch {
public:
    struct File {
        std::string path;
        std::uint64_t size = 0; // as listed
    };

    CrcPrefetch();
    ~CrcPrefetch();
    CrcPrefetch(const CrcPrefetch &) = delete;
    CrcPrefetch &operator=(const CrcPrefetch &) = delete;

    // More files to read; the helper may start on them at once.
    void add(std::vector<File> files);
    // The CRC of path, as fileCrc gives it: the helper's when it got there
    // first (waiting while it reads), else read here.
    std::optional<std::uint32_t> crc(const std::string &path, std::uint64_t size);

private:
    enum class State { Waiting, Reading, Done };
    struct Job {
        File file;
        State state = State::Waiting;
        std::optional<std::uint32_t> crc;
    };

    void run();
    Job *find(const std::string &path);

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs; // never moves a job: the threads point into it
    std::size_t m_next = 0; // the job the scan is expected to ask for next
    // By path, made only once the scan asks out of order.
    std::optional<std::unordered_map<std::string_view, std::size_t>> m_index;
    std::vector<Job *> m_untaken; // in the order added; some were taken by the scan since
    bool m_waiting = false;       // the scan waits for the helper
    bool m_stop = false;
    std::thread m_helper;
};

} // namespace garrison
