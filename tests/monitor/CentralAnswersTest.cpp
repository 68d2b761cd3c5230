#include "monitor/CentralAnswers.h"
#include "monitor/CentralServerClient.h"

#include <gtest/gtest.h>

#include <string>

using namespace garrison;

namespace {

std::vector<std::uint8_t> bytes(const std::string &text)
{
    return {text.begin(), text.end()};
}

// A literal with its NULs, without the one that ends it.
template <std::size_t N>
std::string raw(const char (&text)[N])
{
    return std::string(text, N - 1);
}

TEST(CentralAnswers, News)
{
    const struct {
        std::string datagram;
        NewsAnswer news;
    } cases[] = {
        {raw("\x01\x02xxpic\0text\0http://x/up.ozp\0"), {"pic", "text", "http://x/up.ozp", true}},
        {raw("\x01\x02xxpic\0text\0http://x/UP.OZP"), {"pic", "text", "http://x/UP.OZP", true}},
        {raw("\x01\x02xx\0\0http://x/page.html\0"), {"", "", "http://x/page.html", false}},
        {raw("\x01\x02xxpic\0tex"), {"pic", "tex", "", false}},
        {raw("\x01\x02"), {}},
        {raw("\x01\x02xx\0\0ozp\0"), {"", "", "ozp", false}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseNewsAnswer(bytes(c.datagram)), c.news) << c.datagram;
}

TEST(CentralAnswers, BrowserEntries)
{
    const std::string a("\x0a\x00\x00\x01\xfe\x08\x00\x01"
                        "Alpha\0",
                        14);
    const std::string b("\x0a\x00\x00\x02\xfe\x08\x01\x00"
                        "Bravo\0",
                        14);
    std::vector<BrowserEntry> list;
    appendBrowserEntries(bytes("\x34\x12" + a + b + a), list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].port, 2302);
    EXPECT_EQ(list[0].flags, 1);
    EXPECT_EQ(list[1].name, "Bravo");
    EXPECT_EQ(list[1].address, 0x0200000au);

    // Entries already listed from an earlier datagram are not repeated; a
    // cut-off entry ends the list, its name running to the end.
    const std::string c("\x0a\x00\x00\x03\xfe\x08\x00\x00"
                        "Char",
                        12);
    appendBrowserEntries(bytes("\x34\x12" + b + c), list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2].name, "Char");
    appendBrowserEntries(bytes("\x34\x12" + raw("\x0a\x00\x00\x04\xfe\x08\x00")), list);
    EXPECT_EQ(list.size(), 3u);
}

struct NullSender : DatagramSender {
    void send(std::uint32_t, std::uint16_t, std::span<const std::uint8_t>) override {}
};

TEST(CentralServerClient, HearsOnlyTheCentralServerItAsked)
{
    constexpr std::uint32_t kCentral = 0x0a00007f, kGameServer = 0x0b00007f;
    NullSender sender;
    StatusStore status;
    CentralServerClient client(sender, status);
    client.requestNews(kCentral, 48124, 0x00120034); // session id 0x0034
    const auto upgrade = bytes(raw("\x34\x00xxpic\0Upgrade\0http://evil/garrison.ozp\0"));
    client.onDatagram(upgrade, kGameServer, 48124);
    client.onDatagram(upgrade, kCentral, 2302);
    EXPECT_EQ(status.newsAnswers, 0u);
    EXPECT_EQ(status.news, NewsAnswer{});
    client.onDatagram(bytes(raw("\x34\x00xxpic\0News\0http://x/page.html\0")), kCentral, 48124);
    EXPECT_EQ(status.newsAnswers, 1u);
    EXPECT_EQ(status.news, (NewsAnswer{"pic", "News", "http://x/page.html", false}));
    // A second answer with the same id, even from the right place, replaces nothing.
    client.onDatagram(upgrade, kCentral, 48124);
    EXPECT_EQ(status.newsAnswers, 1u);
    EXPECT_EQ(status.news, (NewsAnswer{"pic", "News", "http://x/page.html", false}));
}

} // namespace
