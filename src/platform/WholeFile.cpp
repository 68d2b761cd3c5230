#include "platform/WholeFile.h"

#include "platform/FileHandle.h"

#include <cstdio>

namespace garrison {

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string &path)
{
    FileHandle file(path, FileHandle::Mode::ReadExisting);
    if (!file.isOpen())
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    std::int64_t count;
    while ((count = file.read(block, sizeof block)) > 0)
        bytes.insert(bytes.end(), block, block + count);
    if (count < 0)
        return std::nullopt;
    return bytes;
}

bool replaceFile(const std::string &path, const std::string &temporary, std::span<const std::uint8_t> bytes)
{
    {
        FileHandle file(temporary, FileHandle::Mode::CreateTruncate);
        if (!file.isOpen() || file.write(bytes.data(), bytes.size()) != static_cast<std::int64_t>(bytes.size()) ||
            !file.sync()) {
            file.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    // Replacing the old contents is the point here, so a plain rename.
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace garrison
