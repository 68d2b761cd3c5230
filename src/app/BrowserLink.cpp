#include "app/BrowserLink.h"

#include "common/TextCompare.h"

#include <algorithm>

namespace garrison {

bool browserMayOpen(std::string_view link)
{
    // Spaces and control characters have no place in a link, and an opener may read them its own way.
    if (std::any_of(link.begin(), link.end(), [](unsigned char c) { return c <= ' ' || c == 0x7F; }))
        return false;
    const auto separator = link.find("://");
    if (separator == std::string_view::npos)
        return false;
    const std::string_view scheme = link.substr(0, separator);
    if (!equalsNoCase(scheme, "http") && !equalsNoCase(scheme, "https"))
        return false;
    const std::string_view rest = link.substr(separator + 3);
    return !rest.empty() && rest.front() != '/' && rest.front() != '\\' && rest.front() != '@';
}

} // namespace garrison
