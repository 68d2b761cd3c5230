#pragma once

#include "aaserver/OfferedBlockWriter.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace garrison {

// What the admin says about one zip beyond what the zip says itself.
struct PackageSettings {
    std::int32_t priority = 0;
    std::string comment;
};

struct CatalogueSettings {
    std::string zipsFolder;
    std::string baseUrl;                             // the zips' folder on the web server
    std::array<std::string, 4> serverTexts;          // name, info, admin, comserver
    std::vector<std::string> deactivations;          // "path:size:crc" (size decimal, CRC hexadecimal)
    std::map<std::string, PackageSettings> packages; // by zip file name
};

// The offered list made from a folder of zips, each derived as a client
// will install it, and every zip left out with the reason.
struct Catalogue {
    OfferedContent content;
    std::vector<std::string> zips;     // the file names served, in list order
    std::vector<std::string> problems; // "name.zip: why it is left out"
    bool folderRead = true;            // false: the folder itself could not be listed
};

// What one zip gives, as it stood when it was read: its package, or why it is left out.
struct ZipVerdict {
    std::string packageName;
    std::vector<OfferedFile> files;
    std::string problem;
};

// Verdicts kept between builds of a catalogue, by file name, while the file
// (device, inode, size and time) stays the same: a change in the folder then
// reads only the zips that changed.
struct PlanCache {
    struct Known {
        std::uint64_t device = 0, inode = 0, size = 0, time = 0;
        ZipVerdict verdict;
    };
    std::map<std::string, Known> zips;
};

// cache: kept by the caller between builds, or none to read every zip.
// cancelled: asked between zips; true ends the build early (its catalogue is then of no use).
Catalogue buildCatalogue(const CatalogueSettings &settings, PlanCache *cache = nullptr,
                         const std::function<bool()> &cancelled = {});

// A file name as it stands in a URL path.
std::string urlEscaped(const std::string &name);

} // namespace garrison
