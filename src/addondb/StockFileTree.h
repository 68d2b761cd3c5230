#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace garrison {

// The files and folders of a stock game installation, carried packed inside
// the program and unpacked on first use. Any lookup in data that does not
// unpack, or that is malformed, finds nothing.
class StockFileTree {
public:
    // Over packed data: a u32 size and a zlib stream of nested entry lists.
    explicit StockFileTree(std::span<const std::uint8_t> packed);
    static StockFileTree builtIn();

    bool contains(std::string_view relativePath);
    // Frees the unpacked data until the next lookup.
    void release() { m_data.reset(); }

private:
    std::span<const std::uint8_t> m_packed;
    std::optional<std::string> m_data;
};

} // namespace garrison
