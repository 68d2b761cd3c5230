#include "autoaddon/DownloadEngine.h"

#include "addondb/PackageArchive.h"
#include "autoaddon/DownloadSpace.h"
#include "autoaddon/DownloadTemporary.h"
#include "autoaddon/HttpFetch.h"
#include "platform/FileSystem.h"
#include "platform/ThreadPriority.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace garrison {

namespace {

std::uint32_t kilobytes(std::uint64_t bytes)
{
    return static_cast<std::uint32_t>(bytes / 1024);
}

} // namespace

// Fetches what each order names, one at a time, and hands back the outcome.
class DownloadEngine::TransferThread final : public WorkerThread<FetchOrder> {
public:
    explicit TransferThread(DownloadEngine &engine) : m_engine(engine) {}
    ~TransferThread() override { stop(); }

protected:
    void run() override
    {
        while (auto order = take())
            order->outcome.set_value(m_engine.fetch(*order));
    }

private:
    DownloadEngine &m_engine;
};

DownloadEngine::DownloadEngine(AddonDatabase &database, const LanguageTable &language, std::string workFolder,
                               std::chrono::seconds stallLimit)
    : m_database(database), m_speedUnit(language.Resolve("DSTR_DOWNLOAD_KBSEC")), m_workFolder(std::move(workFolder)),
      m_stallLimit(stallLimit)
{
}

DownloadEngine::~DownloadEngine()
{
    cancel();
    wait();
}

void DownloadEngine::start()
{
    // The worker reads its own copies: the owner's list, flags and all, stays the owner's.
    const auto &packages = m_database.offered().packages;
    for (std::size_t i = 0; i < packages.size(); ++i) {
        if (packages[i].flagged)
            m_queue.emplace_back(i, packages[i]);
    }
    m_transfer = std::make_unique<TransferThread>(*this);
    m_transfer->start();
    m_worker = std::thread([this] { work(); });
}

void DownloadEngine::wait()
{
    if (m_worker.joinable())
        m_worker.join();
    m_transfer.reset();
    // Back on the owner's thread: what arrived is no longer wanted.
    auto &packages = m_database.offered().packages;
    for (const auto index : std::exchange(m_fetched, {})) {
        if (index < packages.size())
            packages[index].flagged = false;
    }
}

std::optional<std::string> DownloadEngine::refusal(const OfferedPackage &package) const
{
    if (auto refused = refusedUrl(package.url, m_allowFileUrls))
        return refused;
    std::uint64_t unpacked = 0;
    for (const auto &file : package.files) {
        if (!file->isFolder())
            unpacked += file->size;
    }
    return diskSpaceProblem(m_workFolder, m_database.gameFolder(), package.zipSize, unpacked);
}

void DownloadEngine::note(Outcome outcome)
{
    std::lock_guard guard(m_lock);
    m_outcomes.push_back(std::move(outcome));
}

FetchResult DownloadEngine::fetch(FetchOrder &order)
{
    std::uint64_t expected = 0;
    FetchLimits limits;
    {
        std::lock_guard guard(m_lock);
        expected = m_totalDone + m_fileSize;
        limits.maxBytes = announcedLimit(m_fileSize);
    }
    limits.allowFile = m_allowFileUrls;
    limits.stallLimit = m_stallLimit;
    const FetchResult result = fetchUrl(
        order.url, std::move(order.file), order.path, m_cancel,
        [this](std::size_t bytes) {
            std::lock_guard guard(m_lock);
            m_totalDone += bytes;
            m_fileDone += bytes;
        },
        limits);
    std::lock_guard guard(m_lock);
    // The total moves by the announced size, whatever arrived.
    m_totalDone = expected;
    if (result.ok)
        m_fileMeter.reset(0);
    return result;
}

void DownloadEngine::install(OfferedPackage &package, const std::string &path)
{
    {
        std::lock_guard guard(m_lock);
        m_installing = package.name;
    }
    // Failures name what the player knows: the zip the server offered, not our temporary file.
    const auto slash = package.url.find_last_of("/\\");
    const std::string zipName = slash == std::string::npos ? package.url : package.url.substr(slash + 1);
    PackageArchive archive(m_database, path, zipName.empty() ? package.name : zipName);
    const bool done = archive.install(m_installDone, m_installTotal, &package);
    deleteFile(path);
    note({package.name, done, done ? std::string() : archive.failure()});
}

void DownloadEngine::work()
{
    lowerCurrentThreadPriority();
    {
        std::lock_guard guard(m_lock);
        m_totalSize = 0;
        for (const auto &[index, package] : m_queue)
            m_totalSize += package.zipSize;
        m_totalMeter.reset(m_totalSize);
    }
    OfferedPackage *previous = nullptr;
    std::string previousPath;
    for (auto &[i, package] : m_queue) {
        auto refused = refusal(package);
        std::optional<DownloadTemporary> temporary;
        if (!refused && !(temporary = createDownloadTemporary(m_workFolder, package.url, i)))
            refused = "cannot create a temporary file in \"" + (m_workFolder.empty() ? "." : m_workFolder) +
                      "\": " + std::error_code(errno, std::generic_category()).message();
        if (refused) {
            note({package.name, false, *refused});
            std::lock_guard guard(m_lock);
            m_totalDone += package.zipSize; // the total moves on by what this one would have been
            continue;
        }
        const std::string path = temporary->path;
        {
            std::lock_guard guard(m_lock);
            m_fileSize = package.zipSize;
            m_fileDone = 0;
            m_fileMeter.reset(package.zipSize);
            m_downloading = package.name;
        }
        FetchOrder order{package.url, path, std::move(temporary->file), {}};
        auto outcome = order.outcome.get_future();
        m_transfer->post(std::move(order));
        if (previous)
            install(*previous, previousPath);
        const FetchResult fetched = outcome.get();
        if (m_cancel) {
            // Ours whatever the moment: a fetch that had just ended leaves its file.
            deleteFile(path);
            previous = nullptr;
            note({package.name, false, "cancelled"});
            break;
        }
        if (!fetched.ok) {
            note({package.name, false, fetched.error});
            previous = nullptr;
        } else {
            m_fetched.push_back(i);
            previous = &package;
            previousPath = path;
        }
    }
    if (previous && !m_cancel)
        install(*previous, previousPath);
    else if (previous)
        deleteFile(previousPath);
    m_transfer->stop();
    m_finished = true;
}

DownloadDisplay DownloadEngine::bars() const
{
    std::lock_guard guard(m_lock);
    DownloadDisplay display;
    display.file = {kilobytes(m_fileSize), kilobytes(m_fileDone)};
    display.total = {kilobytes(m_totalSize), kilobytes(m_totalDone)};
    display.install = {kilobytes(m_installTotal), kilobytes(m_installDone)};
    return display;
}

DownloadDisplay DownloadEngine::display(FileTime now)
{
    DownloadDisplay display = bars();
    std::lock_guard guard(m_lock);
    m_fileMeter.sample(m_fileDone, now);
    m_totalMeter.sample(m_totalDone, now);
    display.speed = m_fileMeter.speedText() + m_speedUnit;
    display.fileText = std::to_string(m_fileDone / 1024) + "/" + std::to_string(m_fileSize / 1024);
    display.totalText = std::to_string(m_totalDone / 1024) + "/" + std::to_string(m_totalSize / 1024);
    // Below 100 bytes there is no hundredth to divide by: 0% until all is done.
    // Capped: with totals just above 100 bytes the hundredth is coarse.
    const std::uint64_t percent = m_totalSize >= 100 ? std::min<std::uint64_t>(100, m_totalDone / (m_totalSize / 100))
                                  : (m_finished || (m_totalSize > 0 && m_totalDone >= m_totalSize)) ? 100
                                                                                                    : 0;
    display.percent = std::to_string(percent) + "%";
    const auto left = m_totalMeter.secondsLeft();
    display.timeLeft = left ? clockText(*left) : "99:59:59";
    display.elapsed = clockText(m_totalMeter.elapsedSeconds());
    display.downloading = m_downloading;
    display.installing = m_installing;
    return display;
}

std::vector<DownloadEngine::Outcome> DownloadEngine::outcomes() const
{
    std::lock_guard guard(m_lock);
    return m_outcomes;
}

} // namespace garrison
