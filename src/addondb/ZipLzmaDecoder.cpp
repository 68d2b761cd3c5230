#include "addondb/ZipLzmaDecoder.h"

#include <lzma.h>

#include <algorithm>
#include <cstdlib>

namespace garrison {

struct ZipLzmaDecoder::Stream {
    lzma_stream lzma = LZMA_STREAM_INIT;
    ~Stream() { lzma_end(&lzma); }
};

ZipLzmaDecoder::ZipLzmaDecoder(std::uint64_t size) : m_size(size), m_stream(std::make_unique<Stream>())
{
}

ZipLzmaDecoder::~ZipLzmaDecoder() = default;

ZipLzmaDecoder::Status ZipLzmaDecoder::start()
{
    // Bytes 2 and 3 give the size of the properties, which is always 5.
    if (m_header[2] != 5 || m_header[3] != 0)
        return Status::Damaged;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, m_header.data() + 4, 5) != LZMA_OK)
        return Status::Damaged;
    auto *options = static_cast<lzma_options_lzma *>(filters[0].options);
    // Matches never reach before the member's first byte.
    options->dict_size = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(options->dict_size, std::max<std::uint64_t>(m_size, LZMA_DICT_SIZE_MIN)));
    options->ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
    lzma_set_ext_size(*options, m_size);
    const bool tooLarge = options->dict_size > kMaxDictionary;
    const lzma_ret started = tooLarge ? LZMA_MEM_ERROR : lzma_raw_decoder(&m_stream->lzma, filters);
    std::free(filters[0].options);
    if (started != LZMA_OK)
        return started == LZMA_MEM_ERROR ? Status::TooMuchMemory : Status::Damaged;
    m_started = true;
    return Status::NeedInput;
}

void ZipLzmaDecoder::give(const char *data, std::size_t size, bool last)
{
    m_last = last;
    while (!m_started && m_state == Status::NeedInput && size > 0) {
        m_header.push_back(static_cast<std::uint8_t>(*data++));
        --size;
        if (m_header.size() == kHeaderBytes)
            m_state = start();
    }
    m_stream->lzma.next_in = reinterpret_cast<const std::uint8_t *>(data);
    m_stream->lzma.avail_in = size;
}

ZipLzmaDecoder::Status ZipLzmaDecoder::take(std::vector<char> &out)
{
    out.clear();
    if (m_state != Status::NeedInput)
        return m_state;
    if (!m_started)
        return m_last ? (m_state = Status::Damaged) : Status::NeedInput;
    out.resize(kBlock);
    m_stream->lzma.next_out = reinterpret_cast<std::uint8_t *>(out.data());
    m_stream->lzma.avail_out = out.size();
    lzma_ret result = LZMA_OK;
    while (m_stream->lzma.avail_out > 0 && result == LZMA_OK && (m_stream->lzma.avail_in > 0 || m_last))
        result = lzma_code(&m_stream->lzma, m_last ? LZMA_FINISH : LZMA_RUN);
    out.resize(out.size() - m_stream->lzma.avail_out);
    if (result == LZMA_STREAM_END)
        m_state = Status::End;
    else if (result == LZMA_MEM_ERROR)
        m_state = Status::TooMuchMemory;
    else if (result != LZMA_OK)
        m_state = Status::Damaged;
    if (m_state != Status::NeedInput)
        return out.empty() ? m_state : Status::Output;
    return out.empty() ? Status::NeedInput : Status::Output;
}

} // namespace garrison
