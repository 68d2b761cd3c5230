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
    const auto begin = m_bytes.begin() + static_cast<std::ptrdiff_t>(m_position);
    const auto nul = std::find(begin, m_bytes.end(), std::uint8_t{0});
    const auto length = static_cast<std::size_t>(nul - begin);
    text = std::string_view(reinterpret_cast<const char *>(m_bytes.data()) + m_position, length);
    m_position += length;
    if (nul == m_bytes.end())
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
