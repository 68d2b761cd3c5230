#pragma once

#include "addondb/ZipReader.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace garrison {

// Unpacks a list of members on a thread of its own while the caller writes
// the last one: both cores work. At most a bounded number of bytes wait.
class UnpackPipeline {
public:
    struct Piece {
        std::vector<char> data;
        bool end = false; // the member is over; ok tells whether it was whole
        bool ok = true;
        std::string failure; // when !ok
    };

    UnpackPipeline(ZipReader &zip, std::vector<const ZipReader::Member *> members);
    // Stops the unpacking if the caller gave up early.
    ~UnpackPipeline();
    UnpackPipeline(const UnpackPipeline &) = delete;
    UnpackPipeline &operator=(const UnpackPipeline &) = delete;

    // The next piece of the current member, waiting for it.
    Piece next();

private:
    void run();
    bool push(Piece piece);

    static constexpr std::size_t kMaxWaitingBytes = 96 * 1024 * 1024;

    ZipReader &m_zip;
    std::vector<const ZipReader::Member *> m_members;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Piece> m_pieces;
    std::size_t m_waitingBytes = 0;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace garrison
