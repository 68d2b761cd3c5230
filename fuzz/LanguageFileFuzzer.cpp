#include "lang/LanguageTable.h"

#include <cstdlib>
#include <string_view>

// Any language file merges; every label it defines resolves without crashing,
// and resolving never grows without bound.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    garrison::LanguageTable table;
    table.merge(text);
    const auto count = table.size();
    table.merge(text); // a second merge adds nothing
    if (table.size() != count)
        std::abort();
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of(" \t\n\"", start);
        const auto word = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (table.Resolve(word).size() > size + 16)
            std::abort();
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return 0;
}
