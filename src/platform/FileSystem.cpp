#include "platform/FileSystem.h"

#include "platform/StatEntry.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace garrison {

std::string besideFile(const std::string &path, const std::string &name)
{
    const auto slash = path.rfind('/');
    const std::string last = name.substr(name.rfind('/') + 1);
    return slash == std::string::npos ? last : path.substr(0, slash + 1) + last;
}

bool folderWritable(const std::string &folder)
{
    std::string probe = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + ".garrison-probe-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0)
        return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

std::string realFolder(const std::string &path)
{
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved))
        return {};
    std::string folder = resolved;
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

namespace {

FsStatus statusFromErrno(int error)
{
    switch (error) {
    case EEXIST:
        return FsStatus::AlreadyExists;
    case ENOTEMPTY:
        return FsStatus::NotEmpty;
    case ENOENT:
    case ENOTDIR:
        return FsStatus::NotFound;
    default:
        return FsStatus::Failed;
    }
}

// For file systems without RENAME_NOREPLACE: a hard link fails atomically
// when the name is taken; folders can only be checked first.
FsStatus renameWithoutNoReplaceFlag(const std::string &from, const std::string &to)
{
    struct stat info {};
    if (lstat(from.c_str(), &info) != 0)
        return statusFromErrno(errno);
    if (!S_ISDIR(info.st_mode)) {
        if (link(from.c_str(), to.c_str()) != 0)
            return statusFromErrno(errno);
        if (unlink(from.c_str()) != 0) {
            const int error = errno;
            unlink(to.c_str());
            return statusFromErrno(error);
        }
        return FsStatus::Ok;
    }
    if (lstat(to.c_str(), &info) == 0)
        return FsStatus::AlreadyExists;
    return ::rename(from.c_str(), to.c_str()) == 0 ? FsStatus::Ok : statusFromErrno(errno);
}

} // namespace

FsStatus renameNoReplace(const std::string &from, const std::string &to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return FsStatus::Ok;
    if (errno == EINVAL || errno == ENOSYS)
        return renameWithoutNoReplaceFlag(from, to);
    return statusFromErrno(errno);
}

FsStatus deleteFile(const std::string &path)
{
    return unlink(path.c_str()) == 0 ? FsStatus::Ok : statusFromErrno(errno);
}

FsStatus removeFolder(const std::string &path)
{
    if (rmdir(path.c_str()) == 0)
        return FsStatus::Ok;
    // Some file systems say EEXIST for a folder that is not empty.
    return errno == EEXIST ? FsStatus::NotEmpty : statusFromErrno(errno);
}

FsStatus createFolder(const std::string &path)
{
    return mkdir(path.c_str(), 0777) == 0 ? FsStatus::Ok : statusFromErrno(errno);
}

bool isSymbolicLink(const std::string &path)
{
    std::string entry = path;
    while (entry.size() > 1 && entry.back() == '/')
        entry.pop_back();
    struct stat info {};
    return lstat(entry.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool pathExists(const std::string &path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::optional<EntryInfo> entryInfo(const std::string &path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 && lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    const auto slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!name.empty() && name.back() == '/')
        name.pop_back();
    return entryFromStat(std::move(name), info);
}

} // namespace garrison
