#include "addondb/Package.h"

#include "common/SizeText.h"

#include <algorithm>
#include <ctime>

namespace garrison {

bool Package::holds(const FileNode *node) const
{
    return std::any_of(files.begin(), files.end(), [&](const NodeRef &file) { return file.get() == node; });
}

bool Package::release(const FileNode *node)
{
    const auto found =
        std::find_if(files.begin(), files.end(), [&](const NodeRef &file) { return file.get() == node; });
    if (found == files.end())
        return false;
    --(*found)->packageCount;
    files.erase(found);
    return true;
}

void Package::add(const NodeRef &node)
{
    files.push_back(node);
    ++node->packageCount;
}

PackageSummary summarize(const Package &package)
{
    PackageSummary summary;
    int present = 0, inactive = 0, missing = 0;
    for (auto file = package.files.rbegin(); file != package.files.rend(); ++file) {
        const FileNode &node = **file;
        if (node.isFolder()) {
            ++summary.folders;
        } else {
            ++summary.files;
            summary.totalSize += node.size;
            if (node.status == NodeStatus::Present)
                ++present;
            else if (node.status == NodeStatus::Inactive)
                ++inactive;
            else if (node.status == NodeStatus::Missing)
                ++missing;
        }
        if (node.packageCount > 1)
            ++summary.shared;
    }
    if (missing > 0) {
        summary.state = missing == summary.files ? PackageState::NoFiles
                        : inactive == 0          ? PackageState::Missing
                        : present > 0            ? PackageState::PartialMissing
                                                 : PackageState::InactiveMissing;
    } else {
        summary.state = present == summary.files    ? PackageState::Active
                        : inactive == summary.files ? PackageState::Inactive
                                                    : PackageState::Partial;
    }
    return summary;
}

std::string packageStateText(PackageState state, const LanguageTable &language)
{
    switch (state) {
    case PackageState::Inactive:
        return language.Resolve("DSTR_MANAGER_PKS_INACT");
    case PackageState::InactiveMissing:
        return language.Resolve("DSTR_MANAGER_PKS_INACTMIS");
    case PackageState::Active:
        return {};
    case PackageState::Missing:
        return language.Resolve("DSTR_MANAGER_PKS_MIS");
    case PackageState::Partial:
        return language.Resolve("DSTR_MANAGER_PKS_PAR");
    case PackageState::NoFiles:
        return language.Resolve("DSTR_MANAGER_PKS_NOFIL");
    case PackageState::PartialMissing:
        return language.Resolve("DSTR_MANAGER_PKS_PARMIS");
    }
    return {};
}

std::string packageSizeText(std::uint64_t totalSize, const LanguageTable &language)
{
    return sizeText(totalSize, language.Resolve("DSTR_MANAGER_KB"));
}

std::string packageDateText(FileTime installDate)
{
    const timespec moment = timespecFromFileTime(installDate);
    std::tm local{};
    localtime_r(&moment.tv_sec, &local);
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
    return std::string(text, length);
}

FileTime currentFileTime()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return fileTimeFromTimespec(now);
}

} // namespace garrison
