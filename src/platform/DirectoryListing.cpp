#include "platform/DirectoryListing.h"

#include "common/TextCompare.h"

#include <algorithm>
#include <dirent.h>
#include <memory>

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

std::string joined(const std::string &folder, const std::string &name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool ntfsOrder(const EntryInfo &a, const EntryInfo &b)
{
    const auto folded = [](const std::string &s) {
        std::string out(s);
        for (auto &c : out)
            c = static_cast<char>(foldCaseAscii(static_cast<unsigned char>(c)));
        return out;
    };
    const auto fa = folded(a.name);
    const auto fb = folded(b.name);
    return fa != fb ? fa < fb : a.name < b.name;
}

} // namespace

std::optional<std::vector<EntryInfo>> listDirectory(const std::string &folder)
{
    DirHandle dir(opendir(folder.c_str()));
    if (!dir)
        return std::nullopt;
    std::vector<EntryInfo> entries;
    while (const dirent *item = readdir(dir.get())) {
        if (isDotEntry(item->d_name))
            continue;
        auto entry = entryInfo(joined(folder, item->d_name));
        if (!entry)
            continue; // vanished while we listed
        entry->name = item->d_name;
        entries.push_back(std::move(*entry));
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
