#include "autoaddon/HttpFetch.h"
#include "peers/HttpPeer.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

// What a fetch into a file of the folder ends with, and whether the file is left.
struct Fetched {
    FetchResult result;
    bool fileLeft = false;
};

Fetched fetchInto(const test::TempFolder &folder, const std::string &url, FileHandle::Mode mode)
{
    const std::string path = folder / "fetched.tmp";
    if (mode == FileHandle::Mode::ReadExisting)
        folder.write("fetched.tmp", "");
    const std::atomic<bool> cancel{false};
    const auto ignore = [](std::size_t) {
    };
    Fetched fetched;
    fetched.result = fetchUrl(url, FileHandle(path, mode), path, cancel, ignore);
    fetched.fileLeft = pathExists(path);
    return fetched;
}

TEST(HttpFetch, FailuresSayWhyAndLeaveNoFile)
{
    peers::HttpPeer http;
    test::TempFolder folder;
    const std::string body(20000, 'b');
    http.route("/whole.zip", {200, body, {}, std::string::npos, {}});
    http.route("/cut.zip", {200, body, {}, std::string::npos, {}, false, 8192});
    http.route("/loop.zip", {302, {}, http.url("/loop.zip"), std::string::npos, {}});
    const struct {
        const char *path;
        FileHandle::Mode mode;
        const char *error;
    } cases[] = {
        // A file that takes no writes: the disk's failure, not the server's.
        {"/whole.zip", FileHandle::Mode::ReadExisting, "cannot write "},
        {"/cut.zip", FileHandle::Mode::CreateNew, "Transferred a partial file"},
        {"/loop.zip", FileHandle::Mode::CreateNew, "Number of redirects hit maximum amount"},
        {"/missing.zip", FileHandle::Mode::CreateNew, "the server answered 404"},
    };
    for (const auto &c : cases) {
        const Fetched fetched = fetchInto(folder, http.url(c.path), c.mode);
        EXPECT_FALSE(fetched.result.ok) << c.path;
        EXPECT_EQ(fetched.result.error.rfind(c.error, 0), 0u) << c.path << ": " << fetched.result.error;
        EXPECT_FALSE(fetched.fileLeft) << c.path;
    }
    const Fetched whole = fetchInto(folder, http.url("/whole.zip"), FileHandle::Mode::CreateNew);
    EXPECT_TRUE(whole.result.ok) << whole.result.error;
    EXPECT_EQ(folder.read("fetched.tmp"), body);
}

} // namespace
