// garrison-bench-install: installing a 500 MB package of 200 add-ons into an
// empty game folder against "unzip -o" of the same archive into an empty
// folder, in one run. Target: at most 1.2 times unzip's time.
#include "BenchArchive.h"
#include "BenchTimer.h"
#include "addondb/AddonDatabase.h"
#include "addondb/FileScanner.h"
#include "addondb/PackageArchive.h"
#include "lang/LanguageTable.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace garrison;
using bench::best;
using bench::seconds;
using bench::writeArchive;
namespace fs = std::filesystem;

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
