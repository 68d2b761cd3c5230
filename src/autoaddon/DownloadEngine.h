#pragma once

#include "addondb/AddonDatabase.h"
#include "autoaddon/HttpFetch.h"
#include "autoaddon/TransferRateMeter.h"
#include "platform/FileHandle.h"
#include "platform/WorkerThread.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace garrison {

// What the download window shows, computed from the engine's state.
struct DownloadDisplay {
    struct Bar {
        std::uint32_t range = 0; // kilobytes
        std::uint32_t position = 0;
    };
    Bar file, total, install;
    std::string speed;    // "12.34 kb/sec"
    std::string fileText; // "done/size" in kilobytes
    std::string totalText;
    std::string percent;  // "42%"
    std::string timeLeft; // "00:01:05", or 99:59:59 without an estimate
    std::string elapsed;
    std::string downloading;
    std::string installing;
};

// Downloads the flagged offered packages one by one and installs each while
// the next one downloads. A transfer thread fetches into a temporary file in
// the working folder; the install worker, at low priority, walks the list.
class DownloadEngine {
public:
    struct Outcome {
        std::string package;
        bool installed = false;
        std::string problem; // why not, for the user
    };

    DownloadEngine(AddonDatabase &database, const LanguageTable &language, std::string workFolder = {},
                   std::chrono::seconds stallLimit = std::chrono::seconds(60));
    ~DownloadEngine();
    DownloadEngine(const DownloadEngine &) = delete;
    DownloadEngine &operator=(const DownloadEngine &) = delete;

    // file:// package URLs, for local mirrors and tests; refused otherwise.
    void allowFileUrls(bool allow) { m_allowFileUrls = allow; }
    // Takes a copy of the flagged packages; the worker never touches the list.
    void start();
    // The transfer in progress stops at its next block; an installation in
    // progress finishes; nothing more is installed.
    void cancel() { m_cancel = true; }
    bool finished() const { return m_finished; }
    // Joins the threads, then clears the flags of the packages that arrived.
    void wait();

    // Timer 24's bars only; display() samples the meters too (timer 23).
    DownloadDisplay bars() const;
    DownloadDisplay display(FileTime now);
    std::vector<Outcome> outcomes() const;

private:
    // One package for the transfer thread: where from, where to, and where its outcome goes.
    struct FetchOrder {
        std::string url;
        std::string path;
        FileHandle file;
        std::promise<FetchResult> outcome;
    };
    class TransferThread;
    void work();
    FetchResult fetch(FetchOrder &order);
    void install(OfferedPackage &package, const std::string &path);
    // Why the package cannot be fetched at all (URL, room), before anything is written.
    std::optional<std::string> refusal(const OfferedPackage &package) const;
    void note(Outcome outcome);

    AddonDatabase &m_database;
    std::string m_speedUnit;
    std::string m_workFolder;
    std::chrono::seconds m_stallLimit;
    bool m_allowFileUrls = false;
    std::unique_ptr<TransferThread> m_transfer;
    std::thread m_worker;
    std::vector<std::pair<std::size_t, OfferedPackage>> m_queue; // index in the list, copy
    std::vector<std::size_t> m_fetched;                          // written by the worker, read after the join

    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};

    mutable std::mutex m_lock; // counters, names, meters, outcomes
    std::string m_downloading;
    std::string m_installing;
    std::uint64_t m_totalSize = 0;
    std::uint64_t m_totalDone = 0;
    std::uint64_t m_fileSize = 0;
    std::uint64_t m_fileDone = 0;
    std::atomic<std::uint64_t> m_installDone{0};
    std::atomic<std::uint64_t> m_installTotal{0};
    TransferRateMeter m_fileMeter{10};
    TransferRateMeter m_totalMeter{20};
    std::vector<Outcome> m_outcomes;
};

} // namespace garrison
