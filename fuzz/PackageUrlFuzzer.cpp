#include "autoaddon/DownloadTemporary.h"
#include "autoaddon/HttpFetch.h"
#include "common/TextCompare.h"

#include <algorithm>
#include <cstdlib>
#include <string>

// What a hostile list can put in a package URL, the part that is ours
// before libcurl sees it: only http, https and ftp (file with the option)
// pass, and the temporary name is always a plain ".tmp" name of the
// working folder. The first byte says whether file:// is allowed.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool allowFile = data[0] & 1;
    const std::string url(reinterpret_cast<const char *>(data + 1), size - 1);
    if (!garrison::refusedUrl(url, allowFile)) {
        const auto colon = url.find("://");
        if (colon == std::string::npos)
            std::abort();
        const std::string scheme = url.substr(0, colon);
        if (!garrison::equalsNoCase(scheme, "http") && !garrison::equalsNoCase(scheme, "https") &&
            !garrison::equalsNoCase(scheme, "ftp") && !(allowFile && garrison::equalsNoCase(scheme, "file")))
            std::abort();
    }
    const std::string name = garrison::temporaryName(url, 7);
    if (name.size() < 5 || !name.ends_with(".tmp") || name.front() == '.' ||
        name.find_first_of("/\\\0", 0, 3) != std::string::npos ||
        std::any_of(name.begin(), name.end(), [](unsigned char c) { return c < 0x20; }))
        std::abort();
    const std::uint64_t announced = url.size() * 0x9E3779B1ull % 0x100000000ull;
    if (garrison::announcedLimit(announced) < announced)
        std::abort();
    return 0;
}
