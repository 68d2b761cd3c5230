#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace garrison {

// Unpacks a zip member packed with LZMA (method 14): a 4-byte header, 5
// property bytes, then an LZMA1 stream with or without its end marker. The
// dictionary is never larger than the member: a hostile header claiming
// gigabytes allocates nothing of the kind.
class ZipLzmaDecoder {
public:
    enum class Status { NeedInput, Output, End, Damaged, TooMuchMemory };

    explicit ZipLzmaDecoder(std::uint64_t size);
    ~ZipLzmaDecoder();
    ZipLzmaDecoder(const ZipLzmaDecoder &) = delete;
    ZipLzmaDecoder &operator=(const ZipLzmaDecoder &) = delete;

    // Packed bytes, valid until take() asks for more; last: nothing follows.
    void give(const char *data, std::size_t size, bool last);
    // Unpacks up to one block into out (resized to what it holds).
    Status take(std::vector<char> &out);

private:
    Status start();

    static constexpr std::size_t kHeaderBytes = 9;
    static constexpr std::size_t kBlock = 1024 * 1024;
    static constexpr std::uint64_t kMaxDictionary = 256ull * 1024 * 1024;

    std::uint64_t m_size;
    std::vector<std::uint8_t> m_header;
    struct Stream;
    std::unique_ptr<Stream> m_stream;
    Status m_state = Status::NeedInput;
    bool m_started = false;
    bool m_last = false;
};

} // namespace garrison
