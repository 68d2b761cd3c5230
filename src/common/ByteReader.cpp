#include "common/ByteReader.h"

#include <algorithm>
#include <cstring>

namespace garrison {

bool ByteReader::seek(std::size_t position)
{
    if (position > m_bytes.size())
        return note(false);
    m_position = position;
    return true;
}

bool ByteReader::readText(std::string &text, std::size_t maxLength)
{
    std::string_view view;
    const bool complete = readText(view);
    text.assign(view.substr(0, maxLength));
    return complete;
}

bool ByteReader::readText(std::string_view &text)
{
    const char *begin = reinterpret_cast<const char *>(m_bytes.data()) + m_position;
    const std::size_t available = m_bytes.size() - m_position;
    const auto *nul = available ? static_cast<const char *>(std::memchr(begin, 0, available)) : nullptr;
    const std::size_t length = nul ? static_cast<std::size_t>(nul - begin) : available;
    text = std::string_view(begin, length);
    m_position += length;
    if (!nul)
        return note(false);
    ++m_position;
    return true;
}

std::string ByteReader::textAt(std::size_t offset, std::size_t maxLength) const
{
    if (offset >= m_bytes.size())
        return {};
    const auto *start = reinterpret_cast<const char *>(m_bytes.data()) + offset;
    const std::size_t available = std::min(m_bytes.size() - offset, maxLength);
    return std::string(start, strnlen(start, available));
}

bool ByteReader::readBytes(void *buffer, std::size_t count)
{
    const std::size_t available = std::min(count, remaining());
    if (available)
        std::memcpy(buffer, m_bytes.data() + m_position, available);
    if (available < count)
        std::memset(static_cast<std::uint8_t *>(buffer) + available, 0, count - available);
    m_position += available;
    return note(available == count);
}

} // namespace garrison
