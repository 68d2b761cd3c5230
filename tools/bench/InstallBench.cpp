// garrison-bench-install: installing a 500 MB package of 200 add-ons into an
// empty game folder against "unzip -o" of the same archive into an empty
// folder, in one run. Target: at most 1.2 times unzip's time.
#include "BenchTimer.h"
#include "addondb/AddonDatabase.h"
#include "addondb/FileScanner.h"
#include "addondb/PackageArchive.h"
#include "lang/LanguageTable.h"

#include <minizip/zip.h>

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

// Add-ons compress about as well as real ones: half random, half repetitive.
void writeArchive(const fs::path &path, int addons, std::size_t addonBytes)
{
    if (fs::exists(path))
        return;
    std::mt19937_64 random(1985);
    std::vector<char> content(addonBytes);
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    for (int i = 0; i < addons; ++i) {
        for (std::size_t at = 0; at < content.size(); ++at)
            content[at] = at % 2048 < 1024 ? static_cast<char>(random()) : static_cast<char>(at / 2048 + i);
        const std::string name = "addons/addon" + std::to_string(i) + ".pbo";
        zip_fileinfo info{};
        zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1);
        zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    const fs::path work = argc > 1 ? argv[1] : fs::temp_directory_path() / "garrison-bench-install";
    fs::create_directories(work);
    const fs::path archive = work / "package.zip";
    std::printf("archive %s: 200 add-ons, 500 MB\n", archive.c_str());
    writeArchive(archive, 200, 2'500'000);
    const std::string quotedArchive = "'" + archive.string() + "'";
    std::system(("cat " + quotedArchive + " > /dev/null").c_str()); // warm page cache

    double unzip = 1e9, install = 1e9;
    for (int run = 0; run < 3; ++run) {
        const fs::path target = work / "unzipped";
        fs::remove_all(target);
        unzip = std::min(
            unzip, seconds([&] {
                if (std::system(("unzip -o -q " + quotedArchive + " -d '" + target.string() + "'").c_str()) != 0)
                    std::exit(1);
            }));

        const fs::path game = work / "game";
        fs::remove_all(game);
        fs::create_directories(game);
        const LanguageTable language;
        AddonDatabase database(language);
        database.setGameFolder(game.string() + "/");
        FileScanner(database).scan();
        std::atomic<std::uint64_t> done{0}, total{0};
        bool installed = false;
        install = std::min(install, seconds([&] {
                               PackageArchive package(database, archive.string());
                               installed = package.install(done, total, nullptr);
                               if (!installed)
                                   std::fprintf(stderr, "install failed: %s\n", package.failure().c_str());
                           }));
        if (!installed)
            return 1;
    }
    fs::remove_all(work / "unzipped");
    fs::remove_all(work / "game");
    std::printf("install %8.3f s   unzip -o %8.3f s   ratio %.2f (at most 1.20 wanted)\n", install, unzip,
                install / unzip);
    return 0;
}
