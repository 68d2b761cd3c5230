// garrison-bench-scan: the scanner against what a user would run instead, on
// a generated game folder, in one run. "garrison-cli scan" (a first scan)
// against a plain read loop over the same files, warm and, where the page
// cache can be dropped, cold; the scanner against "rhash --crc32 -r"; rescan of the unchanged folder against
// "find -printf '%s %T@\n'"; memory of a 100,000-file tree per node.
#include "BenchTimer.h"
#include "addondb/AddonDatabase.h"
#include "addondb/FileScanner.h"
#include "addondb/FileTree.h"
#include "lang/LanguageTable.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace garrison;
using bench::best;
using bench::seconds;
namespace fs = std::filesystem;

namespace {

void run(const std::string &command)
{
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// 20,000 files in 200 folders (add-on folders of mods, as a big collection
// has them), 2 GB in all: sizes vary around 100 KB.
void generate(const fs::path &root, int files, std::uint64_t totalBytes)
{
    if (fs::exists(root / ".complete"))
        return;
    fs::remove_all(root);
    std::mt19937_64 random(1985);
    std::vector<char> block(1 << 20);
    for (auto &c : block)
        c = static_cast<char>(random());
    const std::uint64_t average = totalBytes / static_cast<std::uint64_t>(files);
    for (int i = 0; i < files; ++i) {
        const fs::path folder =
            root / ("@mod" + std::to_string(i / 1000)) / "AddOns" / ("pack" + std::to_string(i / 100));
        fs::create_directories(folder);
        const std::uint64_t size = average / 2 + random() % average;
        std::ofstream out(folder / ("addon" + std::to_string(i) + ".pbo"), std::ios::binary);
        // Each file starts somewhere else in the block, so the contents differ.
        for (std::uint64_t written = 0; written < size;) {
            const std::size_t offset = static_cast<std::size_t>((written + static_cast<std::uint64_t>(i) * 7) % 4096);
            const auto chunk = std::min<std::uint64_t>(block.size() - offset, size - written);
            out.write(block.data() + offset, static_cast<std::streamsize>(chunk));
            written += chunk;
        }
    }
    std::ofstream(root / "OperationFlashpoint.exe") << "exe";
    std::ofstream(root / ".complete") << "";
}

std::size_t heapInUse()
{
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// What the disk and the page cache give: every file read in 1 MiB blocks.
void readLoop(const fs::path &folder)
{
    std::vector<char> block(1 << 20);
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        const int fd = open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
        while (read(fd, block.data(), block.size()) > 0) {
        }
        close(fd);
    }
}

bool dropCaches()
{
    sync();
    std::ofstream drop("/proc/sys/vm/drop_caches");
    drop << "3\n";
    drop.flush();
    return drop.good();
}

double bytesPerNode(int files, const std::function<std::string(int)> &fileName)
{
    const std::size_t before = heapInUse();
    {
        auto root = FileNode::makeFolder("/games/ofp/");
        NodeRef folder;
        for (int i = 0; i < files; ++i) {
            if (i % 100 == 0) {
                folder = FileNode::makeFolder("folder" + std::to_string(i / 100) + "\\");
                insertChild(*root, folder);
            }
            insertChild(*folder, FileNode::makeFile(fileName(i), 1000, 0, 0));
        }
        const std::size_t nodes = static_cast<std::size_t>(files) + static_cast<std::size_t>(files) / 100 + 1;
        return static_cast<double>(heapInUse() - before) / static_cast<double>(nodes);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const fs::path folder = argc > 1 ? argv[1] : fs::temp_directory_path() / "garrison-bench-game";
    const int files = argc > 2 ? std::atoi(argv[2]) : 20000;
    const std::uint64_t bytes = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 2'000'000'000ull;
    std::printf("game folder %s: %d files, %.2f GB\n", folder.c_str(), files, static_cast<double>(bytes) / 1e9);
    generate(folder, files, bytes);
    const std::string quoted = "'" + folder.string() + "'";
    run("cat $(find " + quoted + " -type f) > /dev/null"); // warm page cache

    const LanguageTable language;
    const std::string gameFolder = folder.string() + "/";
    const fs::path cli = fs::canonical("/proc/self/exe").parent_path() / "../../src/cli/garrison-cli";
    const fs::path work = folder.parent_path() / (folder.filename().string() + "-work");
    // A first scan by the program a user runs: start, scan, save garrison.dat.
    const auto cliScan = [&] {
        fs::remove_all(work);
        fs::create_directories(work);
        return seconds([&] {
            run("cd '" + work.string() + "' && '" + cli.string() + "' scan --game-folder " + quoted + " > /dev/null");
        });
    };
    const double read = best(3, [&] { readLoop(folder); });
    double cliFirst = 1e9;
    for (int i = 0; i < 3; ++i)
        cliFirst = std::min(cliFirst, cliScan());
    const double rhash = best(3, [&] { run("rhash --crc32 -r " + quoted + " > /dev/null"); });
    const double firstScan = best(3, [&] {
        AddonDatabase database(language);
        database.setGameFolder(gameFolder);
        FileScanner(database).scan();
    });
    AddonDatabase database(language);
    database.setGameFolder(gameFolder);
    FileScanner(database).scan();
    const double find = best(5, [&] { run("find " + quoted + " -printf '%s %T@\\n' > /dev/null"); });
    const double rescan = best(5, [&] { FileScanner(database).scan(); });

    const double gigabytes = static_cast<double>(bytes) / 1e9;
    std::printf("first scan, garrison-cli %6.3f s (%5.2f GB/s)   read loop %6.3f s (%5.2f GB/s)   "
                "throughput ratio %.2f (at least 0.80 wanted)\n",
                cliFirst, gigabytes / cliFirst, read, gigabytes / read, read / cliFirst);
    if (dropCaches()) {
        const double coldRead = seconds([&] { readLoop(folder); });
        dropCaches();
        const double coldScan = cliScan();
        std::printf("cold cache, garrison-cli %6.3f s (%5.2f GB/s)   read loop %6.3f s (%5.2f GB/s)   "
                    "throughput ratio %.2f (at least 0.80 wanted)\n",
                    coldScan, gigabytes / coldScan, coldRead, gigabytes / coldRead, coldRead / coldScan);
    } else {
        std::printf("cold cache: not measured (the page cache cannot be dropped here)\n");
    }
    fs::remove_all(work);
    std::printf("first scan   %8.3f s   rhash --crc32 -r   %8.3f s   ratio %.2f (at most 1.00 wanted)\n", firstScan,
                rhash, firstScan / rhash);
    std::printf("rescan       %8.3f s   find -printf       %8.3f s   ratio %.2f (at most 1.50 wanted)\n", rescan, find,
                rescan / find);
    std::printf("tree memory  %.0f bytes per node for 100,000 files (at most 128 wanted)\n",
                bytesPerNode(100000, [](int i) { return "addon_" + std::to_string(i) + ".pbo"; }));
    static const char *const kPrefixes[] = {"", "bis_", "ww2_tanks_", "kegetys_", "ecp_effects_", "jam_"};
    std::printf("tree memory  %.0f bytes per node with names of 9 to 22 characters, half of them over 15\n",
                bytesPerNode(100000, [](int i) { return kPrefixes[i % 6] + std::to_string(i) + ".pbo"; }));
    return 0;
}
