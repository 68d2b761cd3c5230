#pragma once

#include "monitor/ServerStatus.h"

#include <cstdint>
#include <span>
#include <vector>

namespace garrison {

// The news answer: session id, two unread bytes, then picture URL, news text
// and link, each ended by a NUL (or by the end of the datagram).
NewsAnswer parseNewsAnswer(std::span<const std::uint8_t> datagram);
// Appends the entries of a browser list answer (after its cookie) that are not
// listed yet by address and port. A cut-off entry ends the list.
void appendBrowserEntries(std::span<const std::uint8_t> datagram, std::vector<BrowserEntry> &list);

} // namespace garrison
