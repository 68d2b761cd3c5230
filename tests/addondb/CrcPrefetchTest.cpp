#include "addondb/CrcPrefetch.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

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
    CrcPrefetch prefetch;
    for (int batch = 0; batch < 2; ++batch) {
        prefetch.queue(paths);
        // In order, as a scan asks; the helper works from the back, so both meet.
        for (std::size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(prefetch.crc(paths[i]), kKnown[i % 4].crc) << paths[i];
    }
    // Asked out of order, again, or for a path never queued.
    prefetch.queue({paths[5], paths[6], paths[7]});
    EXPECT_EQ(prefetch.crc(paths[7]), kKnown[3].crc);
    EXPECT_EQ(prefetch.crc(paths[7]), kKnown[3].crc);
    EXPECT_EQ(prefetch.crc(paths[9]), kKnown[1].crc);
    EXPECT_EQ(prefetch.crc(paths[5]), kKnown[1].crc);
}

TEST(CrcPrefetch, UnreadableFilesGiveNothingAndABatchCanBeDroppedHalfWay)
{
    test::TempFolder folder;
    const std::string present = folder.write("present", "abc");
    CrcPrefetch prefetch;
    prefetch.queue({folder / "missing", present, folder / "sub"});
    EXPECT_FALSE(prefetch.crc(folder / "missing"));
    prefetch.queue({present}); // the rest of the first batch is dropped
    EXPECT_EQ(prefetch.crc(present), 0x352441C2u);
    EXPECT_FALSE(prefetch.crc(folder / "sub"));
}

} // namespace
