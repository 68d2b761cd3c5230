#include "addondb/InstallInstructions.h"

#include <cstdlib>
#include <string>

// Pattern and path split at the first NUL. Any pair answers quickly; a
// pattern of the path itself, and "*", always match.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const auto split = input.find('\0');
    const std::string pattern = input.substr(0, split);
    const std::string path = split == std::string::npos ? std::string() : input.substr(split + 1);
    garrison::matchesPattern(pattern, path);
    if (path.find_first_of("*?") == std::string::npos && !garrison::matchesPattern(path, path))
        std::abort();
    if (!garrison::matchesPattern("*", path))
        std::abort();
    return 0;
}
