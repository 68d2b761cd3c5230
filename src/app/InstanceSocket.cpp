#include "app/InstanceSocket.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace garrison {

namespace {

constexpr const char *kSocketName = "/GARRISON1222";

// A real folder (no link), owned by this user, closed to everybody else.
bool privateFolder(const std::string &path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & 077) == 0;
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::optional<std::string> singleInstanceSocket(const char *runtimeDir, const char *temporaryDir)
{
    if (runtimeDir && runtimeDir[0] == '/' && privateFolder(runtimeDir))
        return withoutTrailingSlashes(runtimeDir) + kSocketName;
    const std::string base = withoutTrailingSlashes(temporaryDir && temporaryDir[0] == '/' ? temporaryDir : "/tmp");
    const std::string folder = base + "/garrison-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    if (!privateFolder(folder))
        return std::nullopt;
    return folder + kSocketName;
}

} // namespace garrison
