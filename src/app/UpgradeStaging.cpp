#include "app/UpgradeStaging.h"

#include "addondb/ZipReader.h"
#include "platform/FileHandle.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace garrison {

namespace {

// More than a program ever needs: a larger archive is no upgrade of ours.
constexpr std::uint64_t kMaxStagedBytes = 512ull * 1024 * 1024;

struct Member {
    std::string name; // "/" between folders
    const ZipReader::Member *entry = nullptr;
    mode_t mode = 0644;
};
// Why a member name may not be written below the staging folder, or empty.
std::string unsafeName(const std::string &name)
{
    if (name.empty() || name.front() == '/')
        return "the archive holds an absolute path (" + name + ")";
    if (name.size() >= 2 && name[1] == ':')
        return "the archive holds a path with a drive letter (" + name + ")";
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        if (name.compare(start, end - start, "..") == 0)
            return "the archive holds a path that climbs out of its folder (" + name + ")";
        start = end + 1;
    }
    return {};
}

std::string readMembers(const ZipReader &zip, std::vector<Member> &members)
{
    std::uint64_t total = 0;
    for (const auto &entry : zip.members()) {
        Member member;
        member.name = entry.name;
        std::replace(member.name.begin(), member.name.end(), '\\', '/');
        if (const std::string unsafe = unsafeName(member.name); !unsafe.empty())
            return unsafe;
        if (member.name.ends_with('/'))
            continue; // folders come with their files
        if (const std::string problem = ZipReader::unpackProblem(entry); !problem.empty())
            return problem;
        member.entry = &entry;
        if ((entry.unixMode & 0111) != 0)
            member.mode = 0755;
        total += entry.size;
        if (total > kMaxStagedBytes)
            return "the archive unpacks to more than " + std::to_string(kMaxStagedBytes >> 20) + " MiB";
        members.push_back(member);
    }
    return {};
}

std::string extract(ZipReader &zip, const Member &member, const std::string &staging)
{
    const std::filesystem::path target = std::filesystem::path(staging) / member.name;
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    if (error)
        return "cannot create " + target.parent_path().string();
    FileHandle file(target.string(), FileHandle::Mode::CreateNew);
    if (!file.isOpen())
        return "cannot write " + target.string();
    bool wrote = true;
    const bool whole = zip.unpack(*member.entry, [&](std::vector<char> &&block) {
        wrote = file.write(block.data(), block.size()) == static_cast<std::int64_t>(block.size());
        return wrote;
    });
    if (!wrote)
        return "cannot write " + target.string();
    if (!whole)
        return zip.failure();
    if (!file.sync())
        return "cannot write " + target.string();
    chmod(target.c_str(), member.mode);
    return {};
}

} // namespace

std::string stageUpgrade(std::span<const std::uint8_t> archive, const std::string &staging)
{
    // A link planted there would have its target emptied and filled by us.
    if (isSymbolicLink(staging))
        return "the staging folder " + staging + " is a symbolic link; nothing was staged";
    std::error_code error;
    std::filesystem::remove_all(staging, error);
    ZipReader zip(archive);
    if (!zip.isOpen())
        return "the download is no zip archive";
    std::vector<Member> members;
    std::string failure = readMembers(zip, members);
    if (failure.empty() && !std::filesystem::create_directories(staging, error))
        failure = "cannot create " + staging;
    for (const auto &member : members) {
        if (!failure.empty())
            break;
        failure = extract(zip, member, staging);
    }
    if (!failure.empty())
        std::filesystem::remove_all(staging, error);
    return failure;
}

} // namespace garrison
