#include "app/BannerFetch.h"

#include "peers/HttpPeer.h"
#include "support/Loopback.h"

#include <gtest/gtest.h>

using namespace garrison;
using test::eventually;

namespace {

peers::HttpPeer::Route answer(int status, std::string body)
{
    peers::HttpPeer::Route route;
    route.status = status;
    route.body = std::move(body);
    return route;
}

TEST(BannerFetch, TakesAPictureAndRefusesWhatNoBannerIs)
{
    peers::HttpPeer web;
    web.route("/banner.gif", answer(200, "GIF89a...."));
    web.route("/huge.gif", answer(200, std::string(9 * 1024 * 1024, 'x')));
    web.route("/empty.gif", answer(200, ""));
    web.route("/gone.gif", answer(404, "not here"));
    const struct {
        const char *path;
        std::string bytes;
        std::string error;
    } cases[] = {
        {"/banner.gif", "GIF89a....", ""},
        {"/huge.gif", "", "the banner is larger than 8 MiB"},
        {"/empty.gif", "", "the banner is empty"},
        {"/gone.gif", "", "the server answered 404"},
    };
    for (const auto &c : cases) {
        BannerFetch fetch(web.url(c.path));
        ASSERT_TRUE(eventually([&] { return fetch.ended(); })) << c.path;
        const auto bytes = fetch.takeBytes();
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.bytes) << c.path;
        EXPECT_EQ(fetch.error(), c.error) << c.path;
    }
}

TEST(BannerFetch, ClosingDuringADownloadStopsIt)
{
    peers::HttpPeer web;
    peers::HttpPeer::Route slow = answer(200, std::string(64 * 1024, 'x'));
    slow.blockDelay = std::chrono::milliseconds(200);
    web.route("/slow.gif", slow);
    const auto started = std::chrono::steady_clock::now();
    {
        BannerFetch fetch(web.url("/slow.gif"));
        ASSERT_TRUE(eventually([&] { return !web.requests().empty(); }));
    }
    // Sixteen blocks at 200 ms would take over three seconds.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

} // namespace
