#include "autoaddon/DownloadSpace.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace garrison {

namespace {

struct Room {
    dev_t device = 0;
    std::uint64_t free = 0;
};

std::optional<Room> roomOf(const std::string &folder)
{
    const std::string path = folder.empty() ? "." : folder;
    struct stat info {};
    struct statvfs space {};
    if (stat(path.c_str(), &info) != 0 || statvfs(path.c_str(), &space) != 0)
        return std::nullopt;
    return Room{info.st_dev, static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize};
}

std::string megabytes(std::uint64_t bytes)
{
    return std::to_string((bytes + 1048575) / 1048576) + " MB";
}

std::string shortOf(std::uint64_t needed, std::uint64_t free, const std::string &where)
{
    return "not enough free space: " + megabytes(needed) + " needed in " + where + ", " + megabytes(free) + " free";
}

} // namespace

std::optional<std::string> diskSpaceProblem(const std::string &workFolder, const std::string &gameFolder,
                                            std::uint64_t zipBytes, std::uint64_t unpackedBytes)
{
    const auto work = roomOf(workFolder);
    const auto game = roomOf(gameFolder);
    // Unknown room is no reason to refuse: the writes themselves will tell.
    if (!work || !game)
        return std::nullopt;
    if (work->device == game->device) {
        if (zipBytes + unpackedBytes > work->free)
            return shortOf(zipBytes + unpackedBytes, work->free, "the game folder");
        return std::nullopt;
    }
    if (zipBytes > work->free)
        return shortOf(zipBytes, work->free, "the working folder");
    if (unpackedBytes > game->free)
        return shortOf(unpackedBytes, game->free, "the game folder");
    return std::nullopt;
}

} // namespace garrison
