// garrison-bench-database: saving and loading garrison.dat of 100,000 files
// against zlib's compress and uncompress of the same payload alone (the least
// any program writing this format must spend), in one run.
#include "BenchDatabase.h"
#include "BenchTimer.h"
#include "addondb/DatabaseFile.h"
#include "lang/LanguageTable.h"

#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

using namespace garrison;
using bench::best;
namespace fs = std::filesystem;

int main(int argc, char **argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const fs::path work = fs::temp_directory_path() / "garrison-bench-database";
    fs::create_directories(work);
    const std::string path = (work / "garrison.dat").string();
    const std::string temporary = (work / "garrison.da2").string();

    const LanguageTable language;
    AddonDatabase database(language);
    database.setGameFolder("/games/ofp/");
    bench::fillDatabase(database, files);
    const auto payload = DatabaseFile::encodePayload(database);
    std::vector<Bytef> packed(compressBound(static_cast<uLong>(payload.size())));
    uLongf packedLength = 0;
    const double compress = best(5, [&] {
        packedLength = static_cast<uLongf>(packed.size());
        compress2(packed.data(), &packedLength, payload.data(), static_cast<uLong>(payload.size()), 9);
    });
    std::vector<Bytef> unpacked(payload.size());
    const double uncompress = best(9, [&] {
        uLongf length = static_cast<uLongf>(unpacked.size());
        ::uncompress(unpacked.data(), &length, packed.data(), packedLength);
    });
    const double save = best(5, [&] {
        if (!DatabaseFile::save(database, path, temporary))
            std::exit(1);
    });
    double load = 1e9;
    for (int i = 0; i < 9; ++i) {
        // Building the empty database and freeing the loaded one are not loading.
        auto loaded = std::make_unique<AddonDatabase>(language);
        loaded->setGameFolder("/games/ofp/");
        load = std::min(load, bench::seconds([&] {
                            if (!DatabaseFile::load(*loaded, path))
                                std::exit(1);
                        }));
    }
    fs::remove_all(work);
    std::printf("database of %d files: payload %zu bytes, packed %lu\n", files, payload.size(),
                static_cast<unsigned long>(packedLength));
    std::printf("save %6.3f s   zlib compress   %6.3f s   ratio %.2f (at most 1.30 wanted)\n", save, compress,
                save / compress);
    std::printf("load %6.3f s   zlib uncompress %6.3f s   ratio %.2f (at most 1.30 wanted)\n", load, uncompress,
                load / uncompress);
    return 0;
}
