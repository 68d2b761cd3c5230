#include "addondb/InactiveName.h"

#include "common/SizeText.h"
#include "common/TextCompare.h"

namespace garrison {

std::string inactiveName(std::string_view name, std::uint32_t crc)
{
    return std::string(name) + "." + crcText(crc) + ".aab";
}

std::string logicalName(std::string_view diskName)
{
    if (endsWithNoCase(diskName, ".pbx"))
        return std::string(diskName.substr(0, diskName.size() - 3)) + "pbo";
    if (endsWithNoCase(diskName, ".aab") || endsWithNoCase(diskName, ".aax")) {
        const std::string_view stem = diskName.substr(0, diskName.size() - 4);
        const auto dot = stem.rfind('.');
        if (dot != std::string_view::npos)
            return std::string(stem.substr(0, dot));
        return std::string(stem);
    }
    return std::string(diskName);
}

} // namespace garrison
