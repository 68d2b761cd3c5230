// garrison-bench-download: the download engine against curl, in one run, over
// an HTTP server on loopback that serves FOLDER at BASE_URL.
// 1. One 1 GiB file: the engine's transfer against "curl -o" (throughput).
// 2. Five 200 MB packages: the engine, which installs each one while the next
//    downloads, against curl then unzip of each, one after the other.
// usage: garrison-bench-download FOLDER BASE_URL
#include "BenchArchive.h"
#include "BenchTimer.h"
#include "addondb/AddonDatabase.h"
#include "addondb/FileScanner.h"
#include "autoaddon/DownloadEngine.h"
#include "lang/LanguageTable.h"
#include "platform/FileTime.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace garrison;
using bench::seconds;
using bench::writeArchive;
namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 3;
constexpr int kPackages = 5;
constexpr std::uint64_t kBigBytes = 1ull << 30;

void run(const std::string &command)
{
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

void writeRandomFile(const fs::path &path, std::uint64_t bytes)
{
    if (fs::exists(path) && fs::file_size(path) == bytes)
        return;
    std::mt19937_64 random(7);
    std::vector<std::uint64_t> block(1 << 17);
    std::ofstream out(path, std::ios::binary);
    for (std::uint64_t written = 0; written < bytes; written += block.size() * sizeof(block[0])) {
        for (auto &word : block)
            word = random();
        out.write(reinterpret_cast<const char *>(block.data()), static_cast<std::streamsize>(block.size() * 8));
    }
}

// A fresh game folder and a database with these packages flagged.
struct Scene {
    explicit Scene(const fs::path &folder) : game(folder), database(language)
    {
        fs::remove_all(game);
        fs::create_directories(game);
        std::ofstream(game / "OperationFlashpoint.exe") << "exe";
        database.setGameFolder(game.string() + "/");
        FileScanner(database).scan();
    }
    void offer(const std::string &name, const std::string &url, std::uint64_t size)
    {
        OfferedPackage package;
        package.name = name;
        package.url = url;
        package.zipSize = static_cast<std::uint32_t>(size);
        package.flagged = true;
        database.offered().packages.push_back(std::move(package));
    }

    fs::path game;
    LanguageTable language;
    AddonDatabase database;
};

// The engine's transfer alone: from the start until it hands the file to the
// installer (which then refuses it, as it is no zip).
double engineTransfer(const fs::path &work, const std::string &url)
{
    Scene scene(work / "game");
    scene.offer("big", url, kBigBytes);
    DownloadEngine engine(scene.database, scene.language, work.string() + "/");
    const auto start = std::chrono::steady_clock::now();
    engine.start();
    while (engine.display(currentFileTime()).installing.empty() && !engine.finished())
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    engine.wait();
    const auto outcomes = engine.outcomes();
    if (outcomes.empty() || outcomes[0].problem.find("answered") != std::string::npos) {
        std::fprintf(stderr, "the transfer failed\n");
        std::exit(1);
    }
    return elapsed;
}

double engineInstall(const fs::path &work, const std::string &baseUrl, const fs::path &folder)
{
    Scene scene(work / "game");
    for (int i = 1; i <= kPackages; ++i) {
        const std::string name = "pack" + std::to_string(i) + ".zip";
        scene.offer(name, baseUrl + name, fs::file_size(folder / name));
    }
    DownloadEngine engine(scene.database, scene.language, work.string() + "/");
    const double elapsed = seconds([&] {
        engine.start();
        engine.wait();
    });
    for (const auto &outcome : engine.outcomes()) {
        if (!outcome.installed) {
            std::fprintf(stderr, "%s: %s\n", outcome.package.c_str(), outcome.problem.c_str());
            std::exit(1);
        }
    }
    return elapsed;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER BASE_URL\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    const std::string baseUrl = argv[2];
    const fs::path work = folder.parent_path() / "work";
    fs::create_directories(work);
    writeRandomFile(folder / "big.bin", kBigBytes);
    std::uint64_t packageBytes = 0;
    for (int i = 1; i <= kPackages; ++i) {
        // 160 add-ons of 2.5 MB: about 200 MB zipped.
        writeArchive(folder / ("pack" + std::to_string(i) + ".zip"), 160, 2'500'000, i);
        packageBytes += fs::file_size(folder / ("pack" + std::to_string(i) + ".zip"));
    }
    run("cat '" + folder.string() + "'/* > /dev/null"); // warm page cache

    const std::string curlOut = "'" + (work / "curl.out").string() + "'";
    double curl = 1e9, engine = 1e9, curlUnzip = 1e9, engineBoth = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        curl = std::min(curl, seconds([&] { run("curl -sf -o " + curlOut + " " + baseUrl + "big.bin"); }));
        fs::remove(work / "curl.out");
        engine = std::min(engine, engineTransfer(work, baseUrl + "big.bin"));
    }
    for (int i = 0; i < kRuns; ++i) {
        const fs::path target = work / "unzipped";
        fs::remove_all(target);
        curlUnzip = std::min(curlUnzip, seconds([&] {
                                 for (int p = 1; p <= kPackages; ++p) {
                                     const std::string name = "pack" + std::to_string(p) + ".zip";
                                     run("curl -sf -o " + curlOut + " " + baseUrl + name + " && unzip -o -q " +
                                         curlOut + " -d '" + target.string() + "' && rm " + curlOut);
                                 }
                             }));
        fs::remove_all(target);
        engineBoth = std::min(engineBoth, engineInstall(work, baseUrl, folder));
    }
    fs::remove_all(work);

    const double gib = static_cast<double>(kBigBytes) / (1 << 30);
    std::printf("download 1 GiB        engine %6.3f s (%5.2f GiB/s)   curl -o %6.3f s (%5.2f GiB/s)   "
                "throughput ratio %.2f (at least 0.95 wanted)\n",
                engine, gib / engine, curl, gib / curl, curl / engine);
    std::printf("5 packages, %4.0f MB   engine %6.3f s   curl then unzip %6.3f s   "
                "speed-up %.2f (at least 1.30 wanted)\n",
                static_cast<double>(packageBytes) / 1e6, engineBoth, curlUnzip, curlUnzip / engineBoth);
    return 0;
}
