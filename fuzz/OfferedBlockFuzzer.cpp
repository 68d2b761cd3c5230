#include "addondb/OfferedBlock.h"

#include <cstdlib>

// Any block parses without reading past its end; a block that parses whole
// has every package's flat list match its tree.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    garrison::OfferedList list;
    garrison::parseOfferedBlock({data, size}, list);
    for (const auto &package : list.packages) {
        if (!package.tree)
            std::abort();
        for (const auto &file : package.files) {
            if (file->relativePath().empty())
                std::abort();
        }
    }
    return 0;
}
