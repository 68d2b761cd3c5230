#include "FuzzFolder.h"

#include "addondb/PackageArchive.h"
#include "lang/LanguageTable.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// The game folder and the archive, side by side in a folder of their own.
struct Place {
    FuzzFolder folder;
    std::string game = folder.path() + "game/";
    std::string archive = folder.path() + "archive.zip";

    Place() { fs::create_directory(game); }
};

std::size_t entriesIn(const std::string &folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

} // namespace

// Any bytes as a downloaded zip: it installs or is refused, nothing lands
// outside the game folder, and a refused or failed archive leaves the
// database and the game folder as they were (empty).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Place place;
    static const garrison::LanguageTable language;
    std::FILE *file = std::fopen(place.archive.c_str(), "wb");
    if (!file)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    // One database, emptied for every input: building the stock list each time costs.
    static garrison::AddonDatabase database(language);
    database.setGameFolder(place.game);
    database.makeRoot();
    database.packages().resize(garrison::kStandardPackageCount);
    for (auto &package : database.packages())
        package.files.clear();
    std::atomic<std::uint64_t> done{0}, total{0};
    garrison::PackageArchive archive(database, place.archive);
    const bool installed = archive.install(done, total, nullptr);
    if (entriesIn(place.folder.path()) != 2)
        std::abort(); // something was written beside the game folder
    if (!installed &&
        (!database.root()->children.empty() || database.packages().size() != 3 || entriesIn(place.game) != 0))
        std::abort();
    for (const auto &entry : fs::directory_iterator(place.game))
        fs::remove_all(entry.path());
    return 0;
}
