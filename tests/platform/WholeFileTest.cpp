#include "platform/WholeFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

using namespace garrison;

namespace {

std::vector<std::uint8_t> pattern(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 251);
    return bytes;
}

// The buffer is sized from the file; the contents decide where it ends.
TEST(WholeFile, ReadsEveryByteWhateverTheSizeTheFileAnnounced)
{
    test::TempFolder folder;
    for (const std::size_t size : {0u, 1u, 65536u, 65539u, 300000u}) {
        const auto bytes = pattern(size);
        const std::string path = folder / ("f" + std::to_string(size));
        ASSERT_TRUE(replaceFile(path, path + ".tmp", bytes));
        EXPECT_EQ(readWholeFile(path), bytes) << size;
    }
    // A pipe says it holds nothing: the buffer has to grow as the bytes come.
    const std::string pipe = folder / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const auto sent = pattern(200000);
    std::thread writer([&] {
        const int fd = open(pipe.c_str(), O_WRONLY);
        for (std::size_t done = 0; fd >= 0 && done < sent.size();) {
            const ssize_t count = write(fd, sent.data() + done, sent.size() - done);
            if (count <= 0)
                break;
            done += static_cast<std::size_t>(count);
        }
        close(fd);
    });
    const auto received = readWholeFile(pipe);
    writer.join();
    EXPECT_EQ(received, sent);
    EXPECT_FALSE(readWholeFile(folder / "missing"));
}

} // namespace
