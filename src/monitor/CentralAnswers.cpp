#include "monitor/CentralAnswers.h"

#include "common/ByteReader.h"
#include "common/TextCompare.h"

#include <algorithm>

namespace garrison {

namespace {

constexpr std::size_t kEntryHeader = 8;

} // namespace

NewsAnswer parseNewsAnswer(std::span<const std::uint8_t> datagram)
{
    ByteReader reader(datagram);
    NewsAnswer news;
    if (!reader.seek(4))
        return news;
    reader.readText(news.pictureUrl);
    reader.readText(news.newsText);
    reader.readText(news.link);
    news.upgradeAvailable = endsWithNoCase(news.link, ".ozp");
    return news;
}

void appendBrowserEntries(std::span<const std::uint8_t> datagram, std::vector<BrowserEntry> &list)
{
    ByteReader reader(datagram);
    reader.seek(2);
    while (reader.remaining() >= kEntryHeader) {
        BrowserEntry entry;
        reader.readBytes(&entry.address, sizeof entry.address);
        reader.read(entry.port);
        reader.read(entry.players);
        reader.read(entry.flags);
        const bool whole = reader.readText(entry.name);
        const bool known = std::any_of(list.begin(), list.end(), [&](const BrowserEntry &other) {
            return other.address == entry.address && other.port == entry.port;
        });
        if (!known)
            list.push_back(std::move(entry));
        if (!whole)
            break;
    }
}

} // namespace garrison
