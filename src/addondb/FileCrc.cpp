#include "addondb/FileCrc.h"

#include "addondb/Crc32.h"
#include "platform/FileHandle.h"

#include <memory>

namespace garrison {

namespace {

// Large blocks mean few system calls; one buffer per thread, never cleared,
// as filling it with zeros for every small file would cost more than its read.
constexpr std::size_t kBlockSize = 1 << 20;

unsigned char *threadBlock()
{
    thread_local const std::unique_ptr<unsigned char[]> block(new unsigned char[kBlockSize]);
    return block.get();
}

} // namespace

std::optional<std::uint32_t> fileCrc(const std::string &path, std::uint64_t listedSize)
{
    FileHandle file;
    if (!file.open(path, FileHandle::Mode::ReadRegular))
        return std::nullopt;
    // A larger read-ahead pays only when the file takes more than one read.
    if (listedSize > kBlockSize)
        file.adviseSequential();
    unsigned char *block = threadBlock();
    std::uint32_t crc = 0;
    std::uint64_t done = 0;
    while (true) {
        const std::int64_t count = file.read(block, kBlockSize);
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        crc = updateCrc32(crc, block, static_cast<std::size_t>(count));
        done += static_cast<std::uint64_t>(count);
        if (static_cast<std::size_t>(count) < kBlockSize && done == listedSize)
            break;
    }
    return crc;
}

} // namespace garrison
