#include "platform/DirectoryListing.h"

#include "common/TextCompare.h"
#include "platform/StatEntry.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace garrison {

namespace {

struct DirCloser {
    void operator()(DIR *dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool isDotEntry(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool ntfsOrder(const EntryInfo &a, const EntryInfo &b)
{
    // Folded on the fly: sorting big folders must not allocate per comparison.
    const auto fold = [](char c) {
        return foldCaseAscii(static_cast<unsigned char>(c));
    };
    const std::size_t common = std::min(a.name.size(), b.name.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto fa = fold(a.name[i]), fb = fold(b.name[i]);
        if (fa != fb)
            return fa < fb;
    }
    return a.name.size() != b.name.size() ? a.name.size() < b.name.size() : a.name < b.name;
}

} // namespace

std::optional<std::vector<EntryInfo>> listDirectory(const std::string &folder)
{
    DirHandle dir(opendir(folder.c_str()));
    if (!dir)
        return std::nullopt;
    std::vector<EntryInfo> entries;
    const int folderFd = dirfd(dir.get());
    while (const dirent *item = readdir(dir.get())) {
        if (isDotEntry(item->d_name))
            continue;
        struct stat info {};
        // Relative to the open folder: no path to build, no second lookup of it.
        if (fstatat(folderFd, item->d_name, &info, 0) != 0 &&
            fstatat(folderFd, item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // vanished while we listed
        auto entry = entryFromStat(item->d_name, info);
        struct stat own {};
        entry.link = item->d_type == DT_LNK ||
                     (item->d_type == DT_UNKNOWN && fstatat(folderFd, item->d_name, &own, AT_SYMLINK_NOFOLLOW) == 0 &&
                      S_ISLNK(own.st_mode));
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), ntfsOrder);
    return entries;
}

std::optional<std::string> findEntryIgnoringCase(const std::string &folder, const std::string &name)
{
    DirHandle dir(opendir(folder.c_str()));
    if (!dir)
        return std::nullopt;
    std::optional<std::string> found;
    while (const dirent *item = readdir(dir.get())) {
        if (isDotEntry(item->d_name))
            continue;
        if (name == item->d_name)
            return name;
        if (!found && equalsNoCaseAscii(name, item->d_name))
            found = item->d_name;
    }
    return found;
}

} // namespace garrison
