#pragma once

#include "common/Stream.h"

#include <cstdint>
#include <memory>
#include <span>

namespace garrison {

// A byte buffer with a size, a capacity and one position for reading and
// writing. An owning stream grows as it is written; a stream laid over a
// caller's buffer writes only what fits and never frees it.
class MemoryStream final : public Stream {
public:
    explicit MemoryStream(std::size_t capacity = 0);
    // Over a caller's fixed buffer, whose whole length counts as data.
    explicit MemoryStream(std::span<std::uint8_t> buffer);

    std::size_t write(const void *data, std::size_t size) override;
    std::size_t read(void *buffer, std::size_t size) override;
    bool seek(std::int64_t offset, SeekOrigin origin) override;

    const std::uint8_t *data() const { return m_data; }
    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    std::size_t position() const { return m_position; }
    bool isFixed() const { return m_fixed; }

private:
    bool grow(std::size_t needed);

    std::unique_ptr<std::uint8_t[]> m_owned;
    std::uint8_t *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_position = 0;
    bool m_fixed = false;
};

} // namespace garrison
