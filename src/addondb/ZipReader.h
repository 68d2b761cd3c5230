#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <span>
#include <string>
#include <vector>

struct zip;
struct zip_error;

namespace garrison {

// Reads zip archives as every common writer makes them: zip64 sizes and
// offsets, names of any length, stored, deflated, BZip2 and LZMA members.
// Member data comes out in capped blocks, counted and CRC-checked against
// the central directory: a member whose bytes differ is never reported whole.
class ZipReader {
public:
    struct Member {
        std::string name; // as stored, "/" between folders
        std::uint64_t size = 0;
        std::uint64_t compressedSize = 0;
        std::uint32_t crc = 0;
        std::uint16_t method = 0;
        bool encrypted = false;
        std::time_t time = 0;       // the archive's date, taken as local time
        std::uint32_t unixMode = 0; // permission bits when a Unix writer made it, else 0
        std::uint64_t index = 0;
        bool folder() const { return !name.empty() && (name.back() == '/' || name.back() == '\\'); }
    };

    // Receives the unpacked bytes in order, block by block, and may keep
    // each block; false stops the unpacking.
    using Sink = std::function<bool(std::vector<char> &&block)>;

    explicit ZipReader(const std::string &path);
    // An archive held in memory; the bytes must outlive the reader.
    explicit ZipReader(std::span<const std::uint8_t> bytes);
    ~ZipReader();
    ZipReader(const ZipReader &) = delete;
    ZipReader &operator=(const ZipReader &) = delete;

    // False, with failure(), when the file is no zip or its directory is damaged.
    bool isOpen() const { return m_zip != nullptr; }
    const std::string &failure() const { return m_failure; }
    const std::vector<Member> &members() const { return m_members; }

    // Why this member cannot be unpacked (encrypted, a method we lack), or empty.
    static std::string unpackProblem(const Member &member);

    // Hands the member's bytes to sink. False, with failure(), when the
    // member cannot be read, is damaged (size or CRC differ from the
    // directory) or the sink stopped.
    bool unpack(const Member &member, const Sink &sink);

private:
    bool fail(std::string reason);
    void failToOpen(zip_error *why);
    void readDirectory();
    bool unpackAtOnce(const Member &member, const Sink &sink);
    bool unpackStreamed(const Member &member, const Sink &sink);
    bool unpackLzma(const Member &member, const Sink &sink);

    zip *m_zip = nullptr;
    std::vector<Member> m_members;
    std::string m_failure;
};

// The name of a zip compression method, for messages.
std::string zipMethodName(std::uint16_t method);

} // namespace garrison
