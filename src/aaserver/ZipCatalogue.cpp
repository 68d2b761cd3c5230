#include "aaserver/ZipCatalogue.h"

#include "addondb/InstallPlan.h"
#include "addondb/ZipReader.h"
#include "common/TextCompare.h"
#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h"

#include <limits>
#include <set>

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

namespace {

// Every byte a client would write is checked here once: a damaged zip is not served.
ZipVerdict examineZip(const std::string &path, const std::string &name)
{
    ZipVerdict verdict;
    ZipReader zip(path);
    const InstallPlan plan = planInstall(zip, path, {}, name);
    if (plan.refused()) {
        verdict.problem = plan.failure;
        return verdict;
    }
    for (const auto &file : plan.files) {
        if (!zip.unpack(*file.member, [](std::vector<char> &&) { return true; })) {
            verdict.problem = zip.failure();
            return verdict;
        }
    }
    if (plan.files.empty()) {
        verdict.problem = "its auto-addon.txt installs nothing";
        return verdict;
    }
    verdict.packageName = plan.packageName;
    for (const auto &file : plan.files)
        verdict.files.push_back({file.target, file.size, file.crc});
    return verdict;
}

const ZipVerdict &verdictOf(const std::string &folder, const EntryInfo &entry, PlanCache &cache)
{
    auto &known = cache.zips[entry.name];
    if (known.device != entry.device || known.inode != entry.inode || known.size != entry.size ||
        known.time != entry.time || known.inode == 0)
        known = {entry.device, entry.inode, entry.size, entry.time, examineZip(folder + entry.name, entry.name)};
    return known.verdict;
}

} // namespace

Catalogue buildCatalogue(const CatalogueSettings &settings, PlanCache *cache, const std::function<bool()> &cancelled)
{
    PlanCache ownCache;
    PlanCache &plans = cache ? *cache : ownCache;
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
        catalogue.folderRead = false;
        return catalogue;
    }
    std::map<std::string, Claim> claims;
    std::set<std::string> seen;
    for (const auto &entry : *entries) {
        if (cancelled && cancelled())
            return catalogue;
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
        seen.insert(entry.name);
        const ZipVerdict &verdict = verdictOf(folder, entry, plans);
        if (!verdict.problem.empty()) {
            leftOut(verdict.problem);
            continue;
        }
        std::string collision;
        for (const auto &file : verdict.files) {
            const auto claim = claims.find(folded(file.path));
            if (claim != claims.end() && (claim->second.size != file.size || claim->second.crc != file.crc)) {
                collision = file.path + " is also in " + claim->second.zip + ", with other contents";
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
        offered.name = verdict.packageName;
        if (const auto known = settings.packages.find(entry.name); known != settings.packages.end()) {
            offered.priority = known->second.priority;
            offered.comment = known->second.comment;
        }
        for (const auto &file : verdict.files)
            claims.emplace(folded(file.path), Claim{entry.name, file.size, file.crc});
        offered.files = verdict.files;
        catalogue.content.packages.push_back(std::move(offered));
        catalogue.zips.push_back(entry.name);
    }
    std::erase_if(plans.zips, [&](const auto &known) { return !seen.count(known.first); });
    return catalogue;
}

} // namespace garrison
