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
// them. The two go through the files side by side: the scan reads the next
// few itself while the helper reads those just after them, so each file is
// read once, seldom does one wait for the other, and the scan's progress is
// steady. The thread inherits its creator's priority.
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
    Job *nextForHelper();

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs; // never moves a job: the threads point into it
    std::size_t m_next = 0; // the job the scan is expected to ask for next
    // By path, made only once the scan asks out of order.
    std::optional<std::unordered_map<std::string_view, std::size_t>> m_index;
    std::size_t m_helperNext = 0; // where the helper looks for work first
    bool m_waiting = false;       // the scan waits for the helper
    bool m_stop = false;
    std::thread m_helper;
};

} // namespace garrison
