#include "platform/FileTime.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace garrison {

namespace {
constexpr std::int64_t kEpochDifferenceSeconds = 11644473600;
constexpr std::int64_t kUnitsPerSecond = 10000000;
} // namespace

FileTime fileTimeFromTimespec(const timespec &time)
{
    const std::int64_t seconds = static_cast<std::int64_t>(time.tv_sec) + kEpochDifferenceSeconds;
    if (seconds < 0)
        return 0;
    return static_cast<FileTime>(seconds) * kUnitsPerSecond + static_cast<FileTime>(time.tv_nsec) / 100;
}

timespec timespecFromFileTime(FileTime time)
{
    timespec result{};
    result.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(time / kUnitsPerSecond) - kEpochDifferenceSeconds);
    result.tv_nsec = static_cast<long>(time % kUnitsPerSecond) * 100;
    return result;
}

std::optional<FileTime> fileModificationTime(const std::string &path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return fileTimeFromTimespec(info.st_mtim);
}

bool setFileModificationTime(const std::string &path, FileTime time)
{
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = timespecFromFileTime(time);
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

} // namespace garrison
