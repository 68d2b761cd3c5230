#include "addondb/NodeName.h"

#include <cstring>

namespace garrison {

void NodeName::assign(std::string_view text)
{
    if (text.size() < kTag) {
        // Copied first: text may be this very name.
        char copy[kTag];
        // An empty view may carry no pointer at all, which memcpy must never see.
        if (!text.empty())
            std::memcpy(copy, text.data(), text.size());
        release();
        if (!text.empty())
            std::memcpy(m_bytes, copy, text.size());
        m_bytes[kTag] = static_cast<char>(text.size());
        return;
    }
    char *data = new char[text.size()];
    std::memcpy(data, text.data(), text.size());
    release();
    const std::size_t size = text.size();
    std::memcpy(m_bytes, &data, sizeof data);
    std::memcpy(m_bytes + sizeof data, &size, sizeof size);
    m_bytes[kTag] = static_cast<char>(kOnHeap);
}

std::string_view NodeName::view() const
{
    if (!onHeap())
        return {m_bytes, static_cast<unsigned char>(m_bytes[kTag])};
    const char *data = nullptr;
    std::size_t size = 0;
    std::memcpy(&data, m_bytes, sizeof data);
    std::memcpy(&size, m_bytes + sizeof data, sizeof size);
    return {data, size};
}

void NodeName::release()
{
    if (!onHeap())
        return;
    char *data = nullptr;
    std::memcpy(&data, m_bytes, sizeof data);
    delete[] data;
    m_bytes[kTag] = 0;
}

} // namespace garrison
