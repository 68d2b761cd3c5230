#include "aaserver/ServedList.h"
#include "aaserver/ServerRequest.h"
#include "central/CentralProtocol.h"
#include "central/CentralSettings.h"
#include "common/IniText.h"

#include <cstdlib>
#include <string>

// The input is a datagram sent to the Auto-Addon server or the central
// server, and the same bytes as their config file and a browser entry.
// Nothing may crash, and a re-request never reaches past the list's chunks.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::uint8_t block[] = {1, 0, 0, 0, 'x', 0};
    static const garrison::ServedList list(block, 2);
    const garrison::ServerRequest request = garrison::parseServerRequest({data, size});
    if (request.kind == garrison::ServerRequest::Kind::List && request.password.size() >= size)
        std::abort();
    if (request.kind == garrison::ServerRequest::Kind::ReRequest && request.chunk < list.chunkCount() &&
        list.chunk(request.chunk).size() < 6)
        std::abort();
    garrison::newsRequestSession({data, size});
    garrison::browserRequestCookie({data, size});
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::string error;
    garrison::parseIniText(text, error);
    garrison::BrowserEntry entry;
    garrison::parseBrowserEntry(text, entry);
    return 0;
}
