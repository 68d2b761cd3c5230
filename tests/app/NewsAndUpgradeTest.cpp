#include "app/NewsAndUpgrade.h"

#include "RecordingMainView.h"

#include "lang/LanguageLoader.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

// The news part alone: what its link and banner open, with no central server at all.
TEST(NewsAndUpgrade, OnlyWebLinksOpenAndNoCentralServerMeansNoBrowser)
{
    const LanguageTable language = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    test::RecordingMainView view;
    StatusStore status;
    MonitorEndpoint endpoint(status);
    MainStart start;
    NewsAndUpgrade news(view, language, status, endpoint, start);
    news.start(std::nullopt);
    EXPECT_EQ(news.openBrowser(), nullptr);
    news.linkClicked();
    EXPECT_TRUE(view.actions.empty()) << "no news, nothing to open";

    const struct {
        const char *link;
        const char *action;
    } cases[] = {
        {"https://example.org/news", "open https://example.org/news"},
        {"file:///etc/passwd", "notice "},
        {"steam://run/65790", "notice "},
    };
    for (const auto &c : cases) {
        {
            std::lock_guard guard(status.lock);
            status.news.link = c.link;
        }
        view.actions.clear();
        news.bannerClicked();
        ASSERT_EQ(view.actions.size(), 1u) << c.link;
        EXPECT_EQ(view.actions[0].rfind(c.action, 0), 0u) << view.actions[0];
        news.tick();
        EXPECT_EQ(view.linkTarget, c.link) << "the tool tips name the link";
    }
}

} // namespace
