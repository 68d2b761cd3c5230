#pragma once

#include "servers/GameFolder.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace garrison {

// The mount points of local disks in a /proc/self/mounts text, in its
// order: no network, pseudo or removable file systems (removable says
// which device is one).
std::vector<std::string> localDiskMounts(std::string_view mounts,
                                         const std::function<bool(const std::string &device)> &removable);
// Whether the kernel marks the block device (or the disk of a partition) removable.
bool isRemovableDevice(const std::string &device);

// The text of /proc/self/mounts; empty when it cannot be read.
std::string systemMounts();

// Where the game folder search looks, in order: the drives of the Wine
// prefix, the Steam libraries, then the local disks. Each folder once.
std::vector<std::string> gameSearchRoots(const DiscoveryPlaces &places, std::string_view mounts);

} // namespace garrison
