// garrison-bench-install: installing a 500 MB package of 200 add-ons into an
// empty game folder against "unzip -o" of the same archive into an empty
// folder, in one run: deflated (goal: at least 3 times faster than unzip)
// and stored (goal: at the copy limit, within 1.2 times "cp -r" of the
// unpacked files).
#include "BenchArchive.h"
#include "BenchTimer.h"
#include "addondb/AddonDatabase.h"
#include "addondb/FileScanner.h"
#include "addondb/PackageArchive.h"
#include "lang/LanguageTable.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace garrison;
using bench::seconds;
using bench::writeArchive;
namespace fs = std::filesystem;

namespace {

void run(const std::string &command)
{
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

struct Times {
    double install = 1e9, unzip = 1e9, copy = 1e9;
};

// Best of three for each, taken in turns so that both see the same machine.
Times measure(const fs::path &work, const fs::path &archive)
{
    const std::string quotedArchive = "'" + archive.string() + "'";
    run("cat " + quotedArchive + " > /dev/null"); // warm page cache
    Times times;
    const fs::path unzipped = work / "unzipped", copied = work / "copied", game = work / "game";
    for (int round = 0; round < 3; ++round) {
        // Each starts with nothing left to write back: no one pays for another's dirty pages.
        fs::remove_all(unzipped);
        run("sync");
        times.unzip = std::min(
            times.unzip, seconds([&] { run("unzip -o -q " + quotedArchive + " -d '" + unzipped.string() + "'"); }));
        fs::remove_all(copied);
        run("sync");
        times.copy =
            std::min(times.copy, seconds([&] { run("cp -r '" + unzipped.string() + "' '" + copied.string() + "'"); }));

        fs::remove_all(game);
        fs::create_directories(game);
        const LanguageTable language;
        AddonDatabase database(language);
        database.setGameFolder(game.string() + "/");
        FileScanner(database).scan();
        run("sync");
        std::atomic<std::uint64_t> done{0}, total{0};
        bool installed = false;
        times.install = std::min(times.install, seconds([&] {
                                     PackageArchive package(database, archive.string());
                                     installed = package.install(done, total, nullptr);
                                     if (!installed)
                                         std::fprintf(stderr, "install failed: %s\n", package.failure().c_str());
                                 }));
        if (!installed)
            std::exit(1);
    }
    fs::remove_all(unzipped);
    fs::remove_all(copied);
    fs::remove_all(game);
    return times;
}

} // namespace

int main(int argc, char **argv)
{
    const fs::path work = argc > 1 ? argv[1] : fs::temp_directory_path() / "garrison-bench-install";
    fs::create_directories(work);
    const fs::path deflated = work / "package.zip", stored = work / "stored.zip";
    std::printf("archives in %s: 200 add-ons, 500 MB, deflated and stored\n", work.c_str());
    writeArchive(deflated, 200, 2'500'000);
    writeArchive(stored, 200, 2'500'000, 1985, false);

    const Times packed = measure(work, deflated);
    std::printf("deflated: install %7.3f s   unzip -o %7.3f s   %.2f times faster (at least 3 wanted)\n",
                packed.install, packed.unzip, packed.unzip / packed.install);
    const Times plain = measure(work, stored);
    std::printf("stored:   install %7.3f s   unzip -o %7.3f s   cp -r %7.3f s   %.2f of the copy's time (at most 1.20 "
                "wanted)\n",
                plain.install, plain.unzip, plain.copy, plain.install / plain.copy);
    return 0;
}
