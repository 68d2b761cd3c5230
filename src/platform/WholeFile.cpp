#include "platform/WholeFile.h"

#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

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

namespace {

// The file a path names, links followed; the path itself when it is no link.
std::string linkTarget(const std::string &path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    const auto target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

} // namespace

bool replaceFile(const std::string &linkOrPath, const std::string &givenTemporary, std::span<const std::uint8_t> bytes,
                 unsigned newMode)
{
    const std::string path = linkTarget(linkOrPath);
    const std::string temporary = path == linkOrPath ? givenTemporary : besideFile(path, givenTemporary);
    struct stat old {};
    const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : static_cast<mode_t>(newMode);
    {
        FileHandle file(temporary, FileHandle::Mode::CreateTruncate);
        // Permissions first, before a byte is in it: a file of passwords is never readable by others.
        if (!file.isOpen() || !file.setPermissions(mode) ||
            file.write(bytes.data(), bytes.size()) != static_cast<std::int64_t>(bytes.size()) || !file.sync()) {
            const int reason = errno;
            file.close();
            std::remove(temporary.c_str());
            errno = reason;
            return false;
        }
    }
    // Replacing the old contents is the point here, so a plain rename.
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int reason = errno;
        std::remove(temporary.c_str());
        errno = reason;
        return false;
    }
    return true;
}

} // namespace garrison
