#include "app/SelfUpgrade.h"

#include "app/ReleaseManifest.h"
#include "app/UpgradeStaging.h"
#include "autoaddon/HttpFetch.h"
#include "platform/FileSystem.h"

#include <unistd.h>

namespace garrison {

namespace {

constexpr std::uint64_t kMaxArchiveBytes = 256ull * 1024 * 1024;
constexpr std::uint64_t kMaxSignatureBytes = 4096;

} // namespace

std::string runningProgramFolder()
{
    const std::string program = realFolder("/proc/self/exe");
    // realFolder adds a "/" to the file's path: the folder ends before the name.
    const auto slash = program.find_last_of('/', program.size() >= 2 ? program.size() - 2 : 0);
    return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

namespace {

// Why a signed archive is still not staged: it names no release, or one not
// newer than the running program (an old signed release must never come back).
std::string releaseProblem(std::span<const std::uint8_t> archive, const std::string &runningVersion)
{
    ZipReader zip(archive);
    if (!zip.isOpen())
        return {}; // the staging says why
    const auto version = releaseVersion(zip);
    if (!version)
        return std::string("the archive names no release version (") + kReleaseManifestName + "); nothing was staged";
    if (compareVersions(*version, runningVersion) <= 0)
        return "the archive holds Garrison " + *version + ", not newer than this " + runningVersion +
               "; nothing was staged";
    return {};
}

} // namespace

bool canUpgradeInPlace(const std::string &programFolder)
{
    // Without the setup program beside it, Garrison would close and nothing would start again.
    return access(programFolder.c_str(), W_OK) == 0 && access((programFolder + "garrisonsetup").c_str(), X_OK) == 0;
}

SelfUpgrade::SelfUpgrade(StatusStore &status, const LanguageTable &language, UpgradePlaces places,
                         const std::string &link, const UpgradeKey &key, std::string runningVersion)
    : m_status(status), m_language(language), m_places(std::move(places))
{
    m_thread = std::thread([this, link, key, running = std::move(runningVersion)] {
        run(link, key, running);
        m_ended = true;
    });
}

SelfUpgrade::~SelfUpgrade()
{
    m_cancel = true;
    m_thread.join();
}

void SelfUpgrade::setStatus(const std::string &text)
{
    std::lock_guard guard(m_status.lock);
    m_status.upgradeStatus = text;
}

void SelfUpgrade::run(const std::string &link, const UpgradeKey &key, const std::string &runningVersion)
{
    setStatus(m_language.Resolve("DSTR_MAIN_UPGRADE_CONNECTING"));
    // The signature first: without one, the archive is not even fetched.
    std::vector<std::uint8_t> signature;
    const auto keep = [&](const char *data, std::size_t size, std::uint64_t) {
        signature.insert(signature.end(), data, data + size);
        return true;
    };
    FetchLimits limits;
    limits.maxBytes = kMaxSignatureBytes;
    const FetchResult fetched = fetchUrlTo(link + ".sig", keep, {}, m_cancel, limits);
    std::string failure;
    std::vector<std::uint8_t> archive;
    if (!fetched.ok)
        failure = "the archive carries no signature (" + link + ".sig: " + fetched.error + ")";
    else
        failure = download(link, archive);
    if (failure.empty()) {
        setStatus(m_language.Resolve("DSTR_MAIN_UPGRADE_EXRACT"));
        // Held in memory from the download to the staging: no file of ours
        // that a link could redirect or a watcher could swap after the check.
        if (!verifyUpgradeSignature(archive, signature, key))
            failure = "the archive's signature is not that of Garrison's makers";
        else if (failure = releaseProblem(archive, runningVersion); failure.empty())
            failure = stageUpgrade(archive, m_places.staging());
    }
    if (!failure.empty()) {
        setStatus(m_language.Resolve("DSTR_MAIN_UPGRADE_FAIL") + ": " + failure);
        return;
    }
    setStatus(m_language.Resolve("DSTR_MAIN_UPGRADE_RESTART"));
    m_succeeded = true;
}

std::string SelfUpgrade::download(const std::string &link, std::vector<std::uint8_t> &archive)
{
    std::uint64_t total = 0;
    const auto write = [&](const char *data, std::size_t size, std::uint64_t announced) {
        archive.insert(archive.end(), data, data + size);
        total += size;
        setStatus(announced > 0 ? std::to_string(total * 100 / announced) + m_language.Resolve("DSTR_MAIN_UPGRADE_PERC")
                                : std::to_string(total / 1024) + m_language.Resolve("DSTR_MAIN_UPGRADE_KB"));
        return true;
    };
    FetchLimits limits;
    limits.maxBytes = kMaxArchiveBytes;
    const FetchResult result = fetchUrlTo(link, write, {}, m_cancel, limits);
    return result.ok ? std::string() : result.error;
}

} // namespace garrison
