#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace garrison {

// Reads little-endian values from a byte span without ever reading past it.
// A read that runs off the end yields the bytes that exist, zeros for the
// rest, reports failure and leaves the reader at the end; ok() stays false
// from then on.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t size() const { return m_bytes.size(); }
    std::size_t position() const { return m_position; }
    std::size_t remaining() const { return m_bytes.size() - m_position; }
    bool atEnd() const { return m_position >= m_bytes.size(); }
    bool ok() const { return m_ok; }
    bool seek(std::size_t position);

    template <typename T>
    requires std::is_integral_v<T>
    bool read(T &value)
    {
        std::uint64_t raw = 0;
        bool complete = true;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            if (m_position < m_bytes.size())
                raw |= static_cast<std::uint64_t>(m_bytes[m_position++]) << (8 * i);
            else
                complete = false;
        }
        value = static_cast<T>(raw);
        return note(complete);
    }

    // Value at an absolute offset, missing bytes read as zero; the position is kept.
    template <typename T>
    requires std::is_integral_v<T> T at(std::size_t offset)
    const
    {
        std::uint64_t raw = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i) {
            if (offset < m_bytes.size() && i < m_bytes.size() - offset)
                raw |= static_cast<std::uint64_t>(m_bytes[offset + i]) << (8 * i);
        }
        return static_cast<T>(raw);
    }

    // A NUL-terminated text; the NUL is consumed. Unterminated text ends at the
    // end of the data and reports failure. At most maxLength bytes are kept.
    bool readText(std::string &text, std::size_t maxLength = SIZE_MAX);
    // As readText, without a copy: the view lives as long as the data.
    bool readText(std::string_view &text);
    // The text at an absolute offset, up to its NUL or the end of the data.
    std::string textAt(std::size_t offset, std::size_t maxLength = SIZE_MAX) const;
    bool readBytes(void *buffer, std::size_t count);

private:
    bool note(bool success)
    {
        m_ok = m_ok && success;
        return success;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_position = 0;
    bool m_ok = true;
};

} // namespace garrison
