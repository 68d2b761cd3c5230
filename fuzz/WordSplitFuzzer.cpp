#include "common/WordSplit.h"

#include <cstdlib>

// Words never hold separators outside quotes' reach, and are never empty.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    std::size_t total = 0;
    for (const auto &word : garrison::splitWords(text)) {
        if (word.empty() || word.find('"') != std::string::npos)
            std::abort();
        total += word.size();
    }
    if (total > size)
        std::abort();
    return 0;
}
