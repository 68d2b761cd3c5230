#include "aaserver/ZipCatalogue.h"

#include "addondb/InstallPlan.h"
#include "addondb/ZipReader.h"
#include "common/TextCompare.h"
#include "platform/DirectoryListing.h"

#include <limits>

namespace garrison {

namespace {

struct Claim {
    std::string zip;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
};

// Lower-cased as the game compares names: the key of a target path.
std::string folded(const std::string &path)
{
    std::string key;
    for (const char c : path)
        key += static_cast<char>(foldCase(static_cast<unsigned char>(c)));
    return key;
}

} // namespace

std::string urlEscaped(const std::string &name)
{
    static const char *hex = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (plain || c == '-' || c == '_' || c == '.' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        }
    }
    return out;
}

Catalogue buildCatalogue(const CatalogueSettings &settings)
{
    Catalogue catalogue;
    catalogue.content.serverTexts = settings.serverTexts;
    for (const auto &entry : settings.deactivations)
        catalogue.content.deactivations += entry + ":";
    std::string folder = settings.zipsFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    std::string baseUrl = settings.baseUrl;
    if (!baseUrl.empty() && baseUrl.back() != '/')
        baseUrl += '/';
    const auto entries = listDirectory(folder);
    if (!entries) {
        catalogue.problems.push_back(folder + ": cannot be read");
        return catalogue;
    }
    std::map<std::string, Claim> claims;
    for (const auto &entry : *entries) {
        if (entry.folder || entry.hidden || !endsWithNoCase(entry.name, ".zip"))
            continue;
        const auto leftOut = [&](const std::string &why) {
            catalogue.problems.push_back(entry.name + ": " + why);
        };
        // A pipe would hold the server in open() for good.
        if (entry.special) {
            leftOut("no regular file");
            continue;
        }
        if (entry.size > std::numeric_limits<std::uint32_t>::max()) {
            leftOut("larger than 4 GiB, more than the list can announce");
            continue;
        }
        ZipReader zip(folder + entry.name);
        const InstallPlan plan = planInstall(zip, folder + entry.name, {}, entry.name);
        if (plan.refused()) {
            leftOut(plan.failure);
            continue;
        }
        const auto &files = plan.files;
        // Every byte a client would write is checked here once: a damaged zip is not served.
        std::string damaged;
        for (const auto &file : files) {
            if (!zip.unpack(*file.member, [](std::vector<char> &&) { return true; })) {
                damaged = zip.failure();
                break;
            }
        }
        if (!damaged.empty()) {
            leftOut(damaged);
            continue;
        }
        if (files.empty()) {
            leftOut("its auto-addon.txt installs nothing");
            continue;
        }
        std::string collision;
        for (const auto &file : files) {
            const auto claim = claims.find(folded(file.target));
            if (claim != claims.end() && (claim->second.size != file.size || claim->second.crc != file.crc)) {
                collision = file.target + " is also in " + claim->second.zip + ", with other contents";
                break;
            }
        }
        if (!collision.empty()) {
            leftOut(collision);
            continue;
        }
        OfferedEntry offered;
        offered.url = baseUrl + urlEscaped(entry.name);
        offered.zipSize = static_cast<std::uint32_t>(entry.size);
        offered.name = plan.packageName;
        if (const auto known = settings.packages.find(entry.name); known != settings.packages.end()) {
            offered.priority = known->second.priority;
            offered.comment = known->second.comment;
        }
        for (const auto &file : files) {
            claims.emplace(folded(file.target), Claim{entry.name, file.size, file.crc});
            offered.files.push_back({file.target, file.size, file.crc});
        }
        catalogue.content.packages.push_back(std::move(offered));
        catalogue.zips.push_back(entry.name);
    }
    return catalogue;
}

} // namespace garrison
