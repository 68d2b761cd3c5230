#include "common/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace garrison {

namespace {
constexpr std::size_t kFirstGrowth = 256;
}

MemoryStream::MemoryStream(std::size_t capacity)
    : m_owned(capacity ? new (std::nothrow) std::uint8_t[capacity] : nullptr)
{
    m_data = m_owned.get();
    m_capacity = m_data ? capacity : 0;
}

MemoryStream::MemoryStream(std::span<std::uint8_t> buffer)
    : m_data(buffer.data()), m_size(buffer.size()), m_capacity(buffer.size()), m_fixed(true)
{
}

bool MemoryStream::grow(std::size_t needed)
{
    const std::size_t shortfall = needed - m_capacity;
    const std::size_t step = std::max(shortfall, m_capacity ? m_capacity : kFirstGrowth);
    const std::size_t capacity = m_capacity + step;
    std::unique_ptr<std::uint8_t[]> bigger(new (std::nothrow) std::uint8_t[capacity]);
    if (!bigger)
        return false;
    if (m_size)
        std::memcpy(bigger.get(), m_data, m_size);
    m_owned = std::move(bigger);
    m_data = m_owned.get();
    m_capacity = capacity;
    return true;
}

std::size_t MemoryStream::write(const void *data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::size_t count = size;
    if (size > m_capacity - m_position) {
        if (m_fixed || size > SIZE_MAX - m_position || !grow(m_position + size))
            count = m_capacity - m_position;
    }
    if (count)
        std::memcpy(m_data + m_position, data, count);
    m_position += count;
    m_size = std::max(m_size, m_position);
    return count;
}

std::size_t MemoryStream::read(void *buffer, std::size_t size)
{
    const std::size_t count = std::min(size, m_size - m_position);
    if (count)
        std::memcpy(buffer, m_data + m_position, count);
    m_position += count;
    return count;
}

bool MemoryStream::seek(std::int64_t offset, SeekOrigin origin)
{
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = static_cast<std::int64_t>(m_position);
    else if (origin == SeekOrigin::End)
        base = static_cast<std::int64_t>(m_size);
    const std::int64_t target = base + offset;
    if (target < 0 || target > static_cast<std::int64_t>(m_size))
        return false;
    m_position = static_cast<std::size_t>(target);
    return true;
}

} // namespace garrison
