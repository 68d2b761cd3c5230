#include "servers/SearchRoots.h"

#include "platform/DirectoryListing.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace garrison {

namespace {

constexpr std::string_view kDiskFileSystems[] = {"ext2",  "ext3",     "ext4", "xfs",      "btrfs",  "f2fs",
                                                 "jfs",   "reiserfs", "zfs",  "bcachefs", "nilfs2", "ntfs",
                                                 "ntfs3", "fuseblk",  "vfat", "exfat",    "hfsplus"};

// Mount fields write a blank, tab, newline and backslash as octal escapes.
std::string unescaped(const std::string &field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::all_of(field.begin() + static_cast<long>(i) + 1, field.begin() + static_cast<long>(i) + 4,
                        [](char c) { return c >= '0' && c <= '7'; })) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::string readSmallFile(const std::string &path)
{
    FileHandle file(path, FileHandle::Mode::ReadExisting);
    char buffer[64] = {};
    const auto got = file.read(buffer, sizeof buffer - 1);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

} // namespace

std::vector<std::string> localDiskMounts(std::string_view mounts,
                                         const std::function<bool(const std::string &device)> &removable)
{
    std::vector<std::string> roots;
    std::istringstream lines{std::string(mounts)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type))
            continue;
        if (std::find(std::begin(kDiskFileSystems), std::end(kDiskFileSystems), type) == std::end(kDiskFileSystems))
            continue;
        device = unescaped(device);
        if (device.starts_with("/dev/") && removable(device))
            continue;
        mountPoint = unescaped(mountPoint);
        if (mountPoint.back() != '/')
            mountPoint += '/';
        if (std::find(roots.begin(), roots.end(), mountPoint) == roots.end())
            roots.push_back(mountPoint);
    }
    return roots;
}

bool isRemovableDevice(const std::string &device)
{
    const std::string real = realFolder(device);
    if (real.empty())
        return false;
    const std::string name = real.substr(real.find_last_of('/', real.size() - 2) + 1, std::string::npos);
    std::string block = realFolder("/sys/class/block/" + name.substr(0, name.size() - 1));
    if (block.empty())
        return false;
    // A partition's flag is its disk's.
    if (pathExists(block + "partition"))
        block = realFolder(block + "..");
    return readSmallFile(block + "removable").starts_with("1");
}

std::string systemMounts()
{
    // proc files tell no size: read to the end.
    std::ifstream in("/proc/self/mounts");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> gameSearchRoots(const DiscoveryPlaces &places, std::string_view mounts)
{
    std::vector<std::string> roots;
    const auto add = [&](const std::string &folder) {
        const std::string real = realFolder(folder);
        if (!real.empty() && std::find(roots.begin(), roots.end(), real) == roots.end())
            roots.push_back(real);
    };
    std::string prefix = places.winePrefix;
    if (!prefix.empty() && prefix.back() != '/')
        prefix += '/';
    // Drive letters in order; "z:" is the whole system, searched with the disks.
    if (const auto drives = listDirectory(prefix + "dosdevices/")) {
        for (const auto &drive : *drives) {
            if (drive.folder && drive.name.size() == 2 && drive.name[1] == ':' && drive.name != "z:" &&
                drive.name != "Z:")
                add(prefix + "dosdevices/" + drive.name);
        }
    }
    for (const auto &library : steamLibraries(places.home))
        add(library);
    for (const auto &mount : localDiskMounts(mounts, isRemovableDevice))
        add(mount);
    return roots;
}

} // namespace garrison
