#include "app/UpgradeStaging.h"

#include "platform/FileHandle.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace garrison {

namespace {

// More than a program ever needs: a larger archive is no upgrade of ours.
constexpr std::uint64_t kMaxStagedBytes = 512ull * 1024 * 1024;
constexpr unsigned kUnixMadeBy = 3;

struct Member {
    std::string name; // "/" between folders
    unz_file_pos position{};
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
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

class Zip {
public:
    explicit Zip(const std::string &path) : m_zip(unzOpen(path.c_str())) {}
    ~Zip()
    {
        if (m_zip)
            unzClose(m_zip);
    }
    Zip(const Zip &) = delete;
    Zip &operator=(const Zip &) = delete;
    unzFile get() const { return m_zip; }

private:
    unzFile m_zip;
};

std::string readMembers(unzFile zip, std::vector<Member> &members)
{
    std::uint64_t total = 0;
    int result = unzGoToFirstFile(zip);
    for (; result == UNZ_OK; result = unzGoToNextFile(zip)) {
        unz_file_info info{};
        char name[1024] = {};
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK ||
            info.size_filename >= sizeof name)
            return "the archive's list of files is damaged";
        Member member;
        member.name = name;
        std::replace(member.name.begin(), member.name.end(), '\\', '/');
        if (const std::string unsafe = unsafeName(member.name); !unsafe.empty())
            return unsafe;
        if (member.name.ends_with('/'))
            continue; // folders come with their files
        member.crc = static_cast<std::uint32_t>(info.crc);
        member.size = info.uncompressed_size;
        if ((info.version >> 8) == kUnixMadeBy && ((info.external_fa >> 16) & 0111) != 0)
            member.mode = 0755;
        total += member.size;
        if (total > kMaxStagedBytes)
            return "the archive unpacks to more than " + std::to_string(kMaxStagedBytes >> 20) + " MiB";
        unzGetFilePos(zip, &member.position);
        members.push_back(member);
    }
    return result == UNZ_END_OF_LIST_OF_FILE ? std::string() : "the archive's list of files is damaged";
}

std::string extract(unzFile zip, const Member &member, const std::string &staging)
{
    const std::filesystem::path target = std::filesystem::path(staging) / member.name;
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    if (error)
        return "cannot create " + target.parent_path().string();
    auto position = member.position;
    if (unzGoToFilePos(zip, &position) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK)
        return "cannot read " + member.name + " from the archive";
    FileHandle file(target.string(), FileHandle::Mode::CreateNew);
    uLong crc = crc32(0, nullptr, 0);
    std::uint64_t written = 0;
    char block[4096];
    int read = 0;
    bool wrote = file.isOpen();
    while (wrote && (read = unzReadCurrentFile(zip, block, sizeof block)) > 0) {
        crc = crc32(crc, reinterpret_cast<const Bytef *>(block), static_cast<uInt>(read));
        written += static_cast<std::uint64_t>(read);
        wrote = written <= member.size && file.write(block, static_cast<std::size_t>(read)) == read;
    }
    const bool closed = unzCloseCurrentFile(zip) == UNZ_OK;
    if (!wrote)
        return "cannot write " + target.string();
    if (read < 0 || !closed || crc != member.crc || written != member.size)
        return member.name + " is damaged (its CRC-32 does not match)";
    if (!file.sync())
        return "cannot write " + target.string();
    chmod(target.c_str(), member.mode);
    return {};
}

} // namespace

std::string stageUpgrade(const std::string &archivePath, const std::string &staging)
{
    std::error_code error;
    std::filesystem::remove_all(staging, error);
    const Zip zip(archivePath);
    if (!zip.get())
        return "the download is no zip archive";
    std::vector<Member> members;
    std::string failure = readMembers(zip.get(), members);
    if (failure.empty() && !std::filesystem::create_directories(staging, error))
        failure = "cannot create " + staging;
    for (const auto &member : members) {
        if (!failure.empty())
            break;
        failure = extract(zip.get(), member, staging);
    }
    if (!failure.empty())
        std::filesystem::remove_all(staging, error);
    return failure;
}

} // namespace garrison
