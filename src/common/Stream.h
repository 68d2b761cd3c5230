#pragma once

#include <cstddef>
#include <cstdint>

namespace garrison {

enum class SeekOrigin { Start, Current, End };

// The small stream interface that the database file and the offered-list
// parser read and write through.
class Stream {
public:
    virtual ~Stream() = default;
    // Counts of bytes moved; a write may move fewer when the stream is full.
    virtual std::size_t write(const void *data, std::size_t size) = 0;
    virtual std::size_t read(void *buffer, std::size_t size) = 0;
    // False, with the position unchanged, for a target before the start or beyond the size.
    virtual bool seek(std::int64_t offset, SeekOrigin origin) = 0;
};

} // namespace garrison
