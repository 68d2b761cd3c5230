#include "app/DataFolder.h"

#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace garrison {

bool takeDataFolderSwitch(std::vector<std::string> &words)
{
    const auto before = words.size();
    words.erase(std::remove(words.begin(), words.end(), kDataFolderSwitch), words.end());
    return words.size() != before;
}

std::string desktopDataFolder(const char *xdgDataHome, const char *home)
{
    // XDG base directories must be absolute; a relative value is ignored.
    if (xdgDataHome && xdgDataHome[0] == '/')
        return std::string(xdgDataHome) + "/garrison";
    return std::string(home ? home : "") + "/.local/share/garrison";
}

bool enterFolder(const std::string &folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return !error && chdir(folder.c_str()) == 0;
}

} // namespace garrison
