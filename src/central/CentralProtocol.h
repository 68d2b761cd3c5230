#pragma once

#include "monitor/ServerStatus.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace garrison {

// What the central server tells: the news of every start of Garrison.
struct NewsContent {
    std::string pictureUrl;
    std::string newsText;
    std::string link;
};

// The two requests a central server answers; anything else, and a news
// request whose check value is wrong, is neither.
std::optional<std::uint16_t> newsRequestSession(std::span<const std::uint8_t> datagram);
std::optional<std::uint16_t> browserRequestCookie(std::span<const std::uint8_t> datagram);

std::vector<std::uint8_t> newsAnswer(std::uint16_t session, const NewsContent &news);
// Datagrams of the browser list stay below what any path carries unfragmented.
constexpr std::size_t kMaxBrowserDatagram = 1400;
constexpr std::size_t kMaxBrowserName = 255;

// A name as it goes into the list: control characters dropped (a polled
// server chooses its own name), at most kMaxBrowserName bytes.
std::string browserName(const std::string &name);

// The browser list in as many datagrams as it takes: at most perDatagram
// entries and kMaxBrowserDatagram bytes each.
std::vector<std::vector<std::uint8_t>> browserAnswers(std::uint16_t cookie, const std::vector<BrowserEntry> &entries,
                                                      std::size_t perDatagram);

} // namespace garrison
