#pragma once

#include "addondb/AddonDatabase.h"

#include <cstdint>
#include <string_view>

namespace garrison {

// Where an offered file (relative path, size, CRC) is installed already: at
// its own path, else for an add-on in any add-on folder, else below "res\" or
// a mod folder (a leading mod folder name of the offered path is dropped).
FileNode *findInstalledCopy(AddonDatabase &database, std::string_view relativePath, std::uint32_t size,
                            std::uint32_t crc);

} // namespace garrison
