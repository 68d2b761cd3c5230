#include "platform/WholeFile.h"

#include "platform/FileHandle.h"

#include <algorithm>
#include <cstdio>

namespace garrison {

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string &path)
{
    FileHandle file(path, FileHandle::Mode::ReadExisting);
    if (!file.isOpen())
        return std::nullopt;
    // Sized once from the file, so a large file is read in place without
    // copies; one byte more shows the end without growing.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(file.size(), 0)) + 1);
    std::size_t used = 0;
    while (true) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const std::int64_t count = file.read(bytes.data() + used, bytes.size() - used);
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        used += static_cast<std::size_t>(count);
    }
    bytes.resize(used);
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
