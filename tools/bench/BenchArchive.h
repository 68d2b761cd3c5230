#pragma once

#include <minizip/zip.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace garrison::bench {

// A zip of add-ons that compress about as well as real ones: half random,
// half repetitive. Kept when it exists, so runs after the first start at once.
// deflated false: the members are stored.
inline void writeArchive(const std::filesystem::path &path, int addons, std::size_t addonBytes, int seed = 1985,
                         bool deflated = true)
{
    if (std::filesystem::exists(path))
        return;
    std::mt19937_64 random(static_cast<std::uint64_t>(seed));
    std::vector<char> content(addonBytes);
    const std::string partial = path.string() + ".part";
    zipFile zip = zipOpen(partial.c_str(), APPEND_STATUS_CREATE);
    for (int i = 0; i < addons; ++i) {
        for (std::size_t at = 0; at < content.size(); ++at)
            content[at] = at % 2048 < 1024 ? static_cast<char>(random()) : static_cast<char>(at / 2048 + i);
        const std::string name = "addons/addon" + std::to_string(seed) + "_" + std::to_string(i) + ".pbo";
        zip_fileinfo info{};
        zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, deflated ? Z_DEFLATED : 0,
                            deflated ? 1 : 0);
        zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    std::filesystem::rename(partial, path);
}

} // namespace garrison::bench
