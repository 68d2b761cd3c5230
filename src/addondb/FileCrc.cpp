#include "addondb/FileCrc.h"

#include "platform/FileHandle.h"

#include <zlib.h>

#include <vector>

namespace garrison {

std::optional<std::uint32_t> fileCrc(const std::string &path)
{
    FileHandle file;
    if (!file.open(path, FileHandle::Mode::ReadExisting))
        return std::nullopt;
    // Large blocks: the same CRC as 1024-byte ones, far fewer system calls.
    std::vector<unsigned char> block(256 * 1024);
    uLong crc = crc32(0, nullptr, 0);
    while (true) {
        const std::int64_t count = file.read(block.data(), block.size());
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        crc = crc32(crc, block.data(), static_cast<uInt>(count));
    }
    return static_cast<std::uint32_t>(crc);
}

} // namespace garrison
