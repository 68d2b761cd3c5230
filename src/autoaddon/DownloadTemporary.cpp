#include "autoaddon/DownloadTemporary.h"

#include <algorithm>
#include <cerrno>

namespace garrison {

namespace {

constexpr int kMaxAttempts = 1000;

} // namespace

std::string temporaryName(const std::string &url, std::size_t index)
{
    const auto slash = url.find_last_of("/\\");
    std::string name = slash == std::string::npos ? url : url.substr(slash + 1);
    // Only a plain name stays in the working folder: no "..", no query string,
    // nothing hidden.
    if (name.empty() || name.front() == '.' || name.find_first_of(":?*\"<>|&=") != std::string::npos ||
        std::any_of(name.begin(), name.end(), [](unsigned char c) { return c < 0x20; }))
        return "download-" + std::to_string(index) + ".tmp";
    const auto dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ".tmp";
}

std::optional<DownloadTemporary> createDownloadTemporary(const std::string &folder, const std::string &url,
                                                         std::size_t index)
{
    const std::string name = temporaryName(url, index);
    const std::string stem = name.substr(0, name.size() - 4);
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        DownloadTemporary temporary;
        temporary.path = folder + (attempt == 0 ? name : stem + "-" + std::to_string(attempt) + ".tmp");
        if (temporary.file.open(temporary.path, FileHandle::Mode::CreateNew))
            return temporary;
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace garrison
