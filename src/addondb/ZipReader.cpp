#include "addondb/ZipReader.h"

#include "addondb/Crc32.h"
#include "addondb/ZipLzmaDecoder.h"

#include <libdeflate.h>
#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace garrison {

namespace {

// Stored and deflated members up to this size are read in one call, and
// deflated ones inflated in one call by libdeflate: several times faster
// than a stream. Larger ones go through the stream.
constexpr std::uint64_t kAtOnceLimit = 64ull * 1024 * 1024;
constexpr std::size_t kBlock = 1024 * 1024;

struct Closer {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};
using OpenMember = std::unique_ptr<zip_file_t, Closer>;

std::string quoted(const std::string &name)
{
    return "\"" + name + "\"";
}

std::string damagedText(const ZipReader::Member &member)
{
    return quoted(member.name) + " is damaged in the archive (its size or CRC-32 does not match)";
}

std::string unreadableText(const ZipReader::Member &member, const char *why)
{
    return quoted(member.name) + " cannot be read from the archive: " + why;
}

// Counts and CRCs what goes to the sink; more bytes than the directory
// states are damage, whatever follows.
class Delivery {
public:
    Delivery(const ZipReader::Member &member, const ZipReader::Sink &sink) : m_member(member), m_sink(sink) {}
    // False, with why(), when the block is too much or the sink stopped.
    bool deliver(std::vector<char> &&block)
    {
        m_total += block.size();
        if (m_total > m_member.size) {
            m_why = damagedText(m_member);
            return false;
        }
        m_crc = updateCrc32(m_crc, block.data(), block.size());
        if (m_sink(std::move(block)))
            return true;
        m_why = quoted(m_member.name) + " was not taken";
        return false;
    }
    bool whole() const { return m_total == m_member.size && m_crc == m_member.crc; }
    const std::string &why() const { return m_why; }

private:
    const ZipReader::Member &m_member;
    const ZipReader::Sink &m_sink;
    std::uint64_t m_total = 0;
    std::uint32_t m_crc = 0;
    std::string m_why;
};

} // namespace

std::string zipMethodName(std::uint16_t method)
{
    switch (method) {
    case ZIP_CM_STORE:
        return "Store";
    case ZIP_CM_SHRINK:
        return "Shrink";
    case ZIP_CM_REDUCE_1:
    case ZIP_CM_REDUCE_2:
    case ZIP_CM_REDUCE_3:
    case ZIP_CM_REDUCE_4:
        return "Reduce";
    case ZIP_CM_IMPLODE:
        return "Implode";
    case ZIP_CM_DEFLATE:
        return "Deflate";
    case ZIP_CM_DEFLATE64:
        return "Deflate64";
    case ZIP_CM_PKWARE_IMPLODE:
        return "PKWARE Implode";
    case ZIP_CM_BZIP2:
        return "BZip2";
    case ZIP_CM_LZMA:
        return "LZMA";
    case ZIP_CM_LZMA2:
        return "LZMA2";
    case 93:
        return "Zstandard";
    case ZIP_CM_XZ:
        return "XZ";
    case ZIP_CM_JPEG:
        return "JPEG";
    case ZIP_CM_WAVPACK:
        return "WavPack";
    case ZIP_CM_PPMD:
        return "PPMd";
    default:
        return "method " + std::to_string(method);
    }
}

ZipReader::ZipReader(const std::string &path)
{
    // Without O_NONBLOCK a pipe put in a zip's place would hold open() for good.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        fail(fd < 0 ? std::string("the archive cannot be read: ") + std::strerror(errno)
                    : std::string("it is no regular file"));
        if (fd >= 0)
            close(fd);
        return;
    }
    int error = 0;
    m_zip = zip_fdopen(fd, 0, &error);
    if (!m_zip) {
        close(fd);
        zip_error_t why;
        zip_error_init_with_code(&why, error);
        failToOpen(&why);
        zip_error_fini(&why);
        return;
    }
    readDirectory();
}

ZipReader::ZipReader(std::span<const std::uint8_t> bytes)
{
    zip_error_t why;
    zip_error_init(&why);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &why);
    if (source)
        m_zip = zip_open_from_source(source, ZIP_RDONLY, &why);
    if (!m_zip) {
        if (source)
            zip_source_free(source);
        failToOpen(&why);
        zip_error_fini(&why);
        return;
    }
    zip_error_fini(&why);
    readDirectory();
}

void ZipReader::failToOpen(zip_error_t *why)
{
    fail(zip_error_code_zip(why) == ZIP_ER_NOZIP
             ? std::string("it is no zip archive")
             : std::string("the archive cannot be read: ") + zip_error_strerror(why));
}

void ZipReader::readDirectory()
{
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    m_members.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        const auto at = static_cast<zip_uint64_t>(index);
        if (zip_stat_index(m_zip, at, ZIP_FL_ENC_RAW, &stat) != 0 || !stat.name) {
            fail("the archive's list of files cannot be read");
            zip_discard(m_zip);
            m_zip = nullptr;
            m_members.clear();
            return;
        }
        Member member;
        member.name = stat.name;
        member.size = stat.size;
        member.compressedSize = stat.comp_size;
        member.crc = stat.crc;
        member.method = stat.comp_method;
        member.encrypted = stat.encryption_method != ZIP_EM_NONE;
        member.time = stat.mtime;
        member.index = at;
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(m_zip, at, 0, &system, &attributes) == 0 && system == ZIP_OPSYS_UNIX)
            member.unixMode = (attributes >> 16) & 07777;
        m_members.push_back(std::move(member));
    }
}

ZipReader::~ZipReader()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipReader::fail(std::string reason)
{
    m_failure = std::move(reason);
    return false;
}

std::string ZipReader::unpackProblem(const Member &member)
{
    if (member.encrypted)
        return quoted(member.name) + " is password-protected";
    if (member.method != ZIP_CM_STORE && member.method != ZIP_CM_LZMA &&
        !zip_compression_method_supported(member.method, 0))
        return quoted(member.name) + " is packed with " + zipMethodName(member.method) +
               ", which Garrison cannot unpack";
    return {};
}

bool ZipReader::unpack(const Member &member, const Sink &sink)
{
    if (!m_zip)
        return false;
    if (const std::string problem = unpackProblem(member); !problem.empty())
        return fail(problem);
    if ((member.method == ZIP_CM_DEFLATE || member.method == ZIP_CM_STORE) && member.size <= kAtOnceLimit &&
        member.compressedSize <= kAtOnceLimit)
        return unpackAtOnce(member, sink);
    if (member.method == ZIP_CM_LZMA)
        return unpackLzma(member, sink);
    return unpackStreamed(member, sink);
}

bool ZipReader::unpackAtOnce(const Member &member, const Sink &sink)
{
    const OpenMember file(zip_fopen_index(m_zip, member.index, ZIP_FL_COMPRESSED));
    if (!file)
        return fail(unreadableText(member, zip_strerror(m_zip)));
    std::vector<char> packed(member.compressedSize);
    std::uint64_t have = 0;
    while (have < packed.size()) {
        const zip_int64_t read = zip_fread(file.get(), packed.data() + have, packed.size() - have);
        if (read <= 0)
            return fail(read < 0 ? unreadableText(member, zip_file_strerror(file.get())) : damagedText(member));
        have += static_cast<std::uint64_t>(read);
    }
    std::vector<char> data;
    if (member.method == ZIP_CM_STORE) {
        data = std::move(packed);
    } else {
        const std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> inflater(
            libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
        if (!inflater)
            return fail("there is not enough memory to unpack " + quoted(member.name));
        data.resize(member.size);
        std::size_t produced = 0;
        if (libdeflate_deflate_decompress(inflater.get(), packed.data(), packed.size(), data.data(), data.size(),
                                          &produced) != LIBDEFLATE_SUCCESS)
            return fail(damagedText(member));
        data.resize(produced);
    }
    Delivery delivery(member, sink);
    if (!delivery.deliver(std::move(data)))
        return fail(delivery.why());
    return delivery.whole() || fail(damagedText(member));
}

bool ZipReader::unpackStreamed(const Member &member, const Sink &sink)
{
    // Stored bytes are read raw: the delivery checks their CRC, libzip need not do it again.
    const zip_flags_t raw = member.method == ZIP_CM_STORE ? ZIP_FL_COMPRESSED : 0;
    const OpenMember file(zip_fopen_index(m_zip, member.index, raw));
    if (!file)
        return fail(unreadableText(member, zip_strerror(m_zip)));
    Delivery delivery(member, sink);
    while (true) {
        std::vector<char> block(kBlock);
        const zip_int64_t read = zip_fread(file.get(), block.data(), block.size());
        if (read < 0) {
            const int code = zip_error_code_zip(zip_file_get_error(file.get()));
            if (code == ZIP_ER_CRC || code == ZIP_ER_INCONS || code == ZIP_ER_COMPRESSED_DATA)
                return fail(damagedText(member));
            return fail(unreadableText(member, zip_file_strerror(file.get())));
        }
        if (read == 0)
            break;
        block.resize(static_cast<std::size_t>(read));
        if (!delivery.deliver(std::move(block)))
            return fail(delivery.why());
    }
    return delivery.whole() || fail(damagedText(member));
}

bool ZipReader::unpackLzma(const Member &member, const Sink &sink)
{
    const OpenMember file(zip_fopen_index(m_zip, member.index, ZIP_FL_COMPRESSED));
    if (!file)
        return fail(unreadableText(member, zip_strerror(m_zip)));
    Delivery delivery(member, sink);
    ZipLzmaDecoder decoder(member.size);
    std::vector<char> packed(kBlock);
    while (true) {
        std::vector<char> block;
        const auto status = decoder.take(block);
        if (status == ZipLzmaDecoder::Status::NeedInput) {
            const zip_int64_t read = zip_fread(file.get(), packed.data(), packed.size());
            if (read < 0)
                return fail(unreadableText(member, zip_file_strerror(file.get())));
            decoder.give(packed.data(), static_cast<std::size_t>(read), read == 0);
        } else if (status == ZipLzmaDecoder::Status::Output) {
            if (!delivery.deliver(std::move(block)))
                return fail(delivery.why());
        } else if (status == ZipLzmaDecoder::Status::TooMuchMemory) {
            return fail(quoted(member.name) + " needs more memory to unpack than Garrison allows");
        } else {
            return (status == ZipLzmaDecoder::Status::End && delivery.whole()) || fail(damagedText(member));
        }
    }
}

} // namespace garrison
