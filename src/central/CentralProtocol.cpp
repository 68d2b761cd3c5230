#include "central/CentralProtocol.h"

#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "monitor/AutoAddonPackets.h"

#include <algorithm>

namespace garrison {

namespace {

void appendText(std::vector<std::uint8_t> &out, const std::string &text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

} // namespace

std::optional<std::uint16_t> newsRequestSession(std::span<const std::uint8_t> datagram)
{
    const ByteReader reader(datagram);
    if (datagram.size() != 8 || reader.at<std::uint16_t>(0) != kProtocolVersion)
        return std::nullopt;
    const auto session = reader.at<std::uint16_t>(2);
    const auto high = reader.at<std::uint16_t>(4);
    const auto check = static_cast<std::uint16_t>(((session + high + kProtocolVersion) * 5) ^ 0xAAAA);
    if (reader.at<std::uint16_t>(6) != check)
        return std::nullopt;
    return session;
}

std::optional<std::uint16_t> browserRequestCookie(std::span<const std::uint8_t> datagram)
{
    const ByteReader reader(datagram);
    if (datagram.size() != 6 || reader.at<std::uint16_t>(0) != kBrowserListRequest ||
        reader.at<std::uint16_t>(2) != kProtocolVersion)
        return std::nullopt;
    return reader.at<std::uint16_t>(4);
}

std::vector<std::uint8_t> newsAnswer(std::uint16_t session, const NewsContent &news)
{
    std::vector<std::uint8_t> answer;
    appendLittleEndian(answer, session);
    appendLittleEndian(answer, std::uint16_t{0});
    appendText(answer, news.pictureUrl);
    appendText(answer, news.newsText);
    appendText(answer, news.link);
    return answer;
}

std::string browserName(const std::string &name)
{
    std::string clean;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F && clean.size() < kMaxBrowserName)
            clean += c;
    }
    return clean;
}

std::vector<std::vector<std::uint8_t>> browserAnswers(std::uint16_t cookie, const std::vector<BrowserEntry> &entries,
                                                      std::size_t perDatagram)
{
    std::vector<std::vector<std::uint8_t>> answers;
    const std::size_t most = std::max<std::size_t>(1, perDatagram);
    std::vector<std::uint8_t> answer;
    std::size_t inAnswer = 0;
    for (const auto &entry : entries) {
        std::vector<std::uint8_t> bytes;
        const auto *raw = reinterpret_cast<const std::uint8_t *>(&entry.address);
        bytes.insert(bytes.end(), raw, raw + 4);
        appendLittleEndian(bytes, entry.port);
        bytes.push_back(entry.players);
        bytes.push_back(entry.flags);
        appendText(bytes, browserName(entry.name));
        if (inAnswer > 0 && (inAnswer == most || answer.size() + bytes.size() > kMaxBrowserDatagram)) {
            answers.push_back(std::move(answer));
            inAnswer = 0;
        }
        if (inAnswer == 0) {
            answer.clear();
            appendLittleEndian(answer, cookie);
        }
        answer.insert(answer.end(), bytes.begin(), bytes.end());
        ++inAnswer;
    }
    if (inAnswer > 0)
        answers.push_back(std::move(answer));
    return answers;
}

} // namespace garrison
