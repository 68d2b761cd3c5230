#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace garrison {

// Walks the "key\value\" tokens of a GameSpy answer, each cut to 255 bytes; a token without its closing backslash ends
// the walk.
class GameSpyPairReader {
public:
    static constexpr std::size_t kMaxTextBytes = 255; // the original buffers held 256 bytes

    explicit GameSpyPairReader(std::string_view text) : m_text(text) {}

    std::optional<std::string> next()
    {
        const auto slash = m_text.find('\\', m_position);
        if (slash == std::string_view::npos)
            return std::nullopt;
        std::string token(m_text.substr(m_position, std::min(slash - m_position, kMaxTextBytes)));
        m_position = slash + 1;
        return token;
    }

private:
    std::string_view m_text;
    std::size_t m_position = 0;
};

} // namespace garrison
