#include "addondb/CrcPrefetch.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

using namespace garrison;

namespace {

// Published CRC-32 check values.
struct Known {
    const char *content;
    std::uint32_t crc;
};
constexpr Known kKnown[] = {{"123456789", 0xCBF43926u}, {"a", 0xE8B7BE43u}, {"abc", 0x352441C2u}, {"", 0u}};

TEST(CrcPrefetch, EveryFileGetsItsOwnCrcWhateverThreadReadIt)
{
    test::TempFolder folder;
    std::vector<std::string> paths;
    for (int i = 0; i < 200; ++i)
        paths.push_back(folder.write("f" + std::to_string(i), kKnown[i % 4].content));
    const auto sizeOf = [&](std::size_t i) {
        return std::strlen(kKnown[i % 4].content);
    };
    CrcPrefetch prefetch;
    // In batches, as a listing finds them; then asked in order, as a scan
    // asks, while the helper reads a little ahead of it.
    for (std::size_t from = 0; from < paths.size(); from += 50) {
        std::vector<CrcPrefetch::File> batch;
        for (std::size_t i = from; i < from + 50; ++i)
            batch.push_back({paths[i], sizeOf(i)});
        prefetch.add(std::move(batch));
    }
    for (std::size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(prefetch.crc(paths[i], sizeOf(i)), kKnown[i % 4].crc) << paths[i];
    // Again, out of order, added twice, or never added.
    prefetch.add({{paths[6], 1}, {paths[6], 1}});
    EXPECT_EQ(prefetch.crc(paths[7], 0), kKnown[3].crc);
    EXPECT_EQ(prefetch.crc(paths[6], 3), kKnown[2].crc);
    EXPECT_EQ(prefetch.crc(paths[6], 3), kKnown[2].crc);
    EXPECT_EQ(prefetch.crc(paths[5], 1), kKnown[1].crc);
}

TEST(CrcPrefetch, UnreadableFilesGiveNothing)
{
    test::TempFolder folder;
    const std::string present = folder.write("present", "abc");
    folder.write("sub/inside", "x");
    CrcPrefetch prefetch;
    prefetch.add({{folder / "missing", 5}, {present, 3}, {folder / "sub", 4096}});
    EXPECT_FALSE(prefetch.crc(folder / "missing", 5));
    EXPECT_EQ(prefetch.crc(present, 3), 0x352441C2u);
    EXPECT_FALSE(prefetch.crc(folder / "sub", 4096));
    EXPECT_FALSE(prefetch.crc(folder / "never-added", 0));
}

// The listed size only saves the last read: a file that grew or shrank since
// its folder was listed, or that spans several reads, is read to its end.
TEST(CrcPrefetch, TheListedSizeNeverCutsAFileShortNorStretchesIt)
{
    test::TempFolder folder;
    std::string large(5 * 1024 * 1024 / 2, '\0'); // two and a half read blocks
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 + i / 4096);
    const std::string exact = large.substr(0, 2 * 1024 * 1024); // two whole blocks
    const auto zlibCrc = [](const std::string &bytes) {
        return static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef *>(bytes.data()), static_cast<uInt>(bytes.size())));
    };
    struct Case {
        std::string content;
        std::uint64_t listed;
    };
    const std::vector<Case> cases = {
        {"123456789", 9},
        {"123456789", 3},
        {"123456789", 40},
        {large, large.size()},
        {large, 1024 * 1024},
        {large, 2 * 1024 * 1024},
        {exact, exact.size()},
        {exact, 1024 * 1024},
        {"", 0},
        {"", 7},
    };
    for (int viaHelper = 0; viaHelper < 2; ++viaHelper) {
        CrcPrefetch prefetch;
        std::vector<CrcPrefetch::File> files;
        for (std::size_t i = 0; i < cases.size(); ++i)
            files.push_back(
                {folder.write(std::to_string(viaHelper) + "-" + std::to_string(i), cases[i].content), cases[i].listed});
        if (viaHelper)
            prefetch.add(files);
        for (std::size_t i = cases.size(); i-- > 0;)
            EXPECT_EQ(prefetch.crc(files[i].path, cases[i].listed), zlibCrc(cases[i].content))
                << "case " << i << (viaHelper ? " through the helper" : "");
    }
}

} // namespace
