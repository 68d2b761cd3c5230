#include "app/ReleaseManifest.h"

#include "common/WordSplit.h"

#include <cctype>

namespace garrison {

namespace {

constexpr std::size_t kMaxManifestBytes = 4096;

struct VersionParts {
    std::vector<unsigned long> numbers;
    std::string letters;
};

VersionParts partsOf(std::string_view version)
{
    VersionParts parts;
    std::size_t at = 0;
    while (at < version.size() && std::isdigit(static_cast<unsigned char>(version[at]))) {
        unsigned long number = 0;
        while (at < version.size() && std::isdigit(static_cast<unsigned char>(version[at])))
            number = number * 10 + static_cast<unsigned long>(version[at++] - '0');
        parts.numbers.push_back(number);
        if (at < version.size() && version[at] == '.')
            ++at;
    }
    parts.letters = std::string(version.substr(at));
    return parts;
}

} // namespace

std::optional<std::string> releaseVersion(ZipReader &archive)
{
    for (const auto &member : archive.members()) {
        if (member.name != kReleaseManifestName || member.size > kMaxManifestBytes)
            continue;
        std::string text;
        if (!archive.unpack(member, [&](std::vector<char> &&block) {
                text.append(block.begin(), block.end());
                return true;
            }))
            return std::nullopt;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string_view line = trimWordSeparators(std::string_view(text).substr(start, end - start));
            const auto equals = line.find('=');
            if (equals != std::string_view::npos && trimWordSeparators(line.substr(0, equals)) == "version") {
                const auto version = trimWordSeparators(line.substr(equals + 1));
                if (!version.empty() && std::isdigit(static_cast<unsigned char>(version.front())))
                    return std::string(version);
            }
            start = end + 1;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

int compareVersions(std::string_view a, std::string_view b)
{
    const VersionParts left = partsOf(a), right = partsOf(b);
    const std::size_t count = std::max(left.numbers.size(), right.numbers.size());
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned long x = i < left.numbers.size() ? left.numbers[i] : 0;
        const unsigned long y = i < right.numbers.size() ? right.numbers[i] : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return left.letters.compare(right.letters) < 0 ? -1 : left.letters == right.letters ? 0 : 1;
}

} // namespace garrison
