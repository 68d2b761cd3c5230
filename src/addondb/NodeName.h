#pragma once

#include <cstddef>
#include <string_view>

namespace garrison {

// A node's name, kept inside the node up to 22 characters, which covers
// nearly every file of a game folder; a longer one lives on the heap. A tree
// of 100,000 files spends a third of its memory on names otherwise.
class NodeName {
public:
    NodeName() { m_bytes[kTag] = 0; }
    ~NodeName() { release(); }
    NodeName(const NodeName &) = delete;
    NodeName &operator=(const NodeName &) = delete;

    void assign(std::string_view text);
    std::string_view view() const;

private:
    static constexpr std::size_t kSize = 24;
    static constexpr std::size_t kTag = kSize - 1; // the length when inside, kOnHeap otherwise
    static constexpr unsigned char kOnHeap = 0xff;

    bool onHeap() const { return static_cast<unsigned char>(m_bytes[kTag]) == kOnHeap; }
    void release();

    // Inside: the characters, then the length in the last byte. On the heap:
    // the pointer and the length, then the tag.
    alignas(void *) char m_bytes[kSize];
};

} // namespace garrison
