#include "addondb/StockFileTree.h"

#include <zlib.h>

#include <string>
#include <vector>

// Any entry list, however its names and offsets are broken, answers lookups
// without reading past its end or looping. The first line of the input is the
// path looked up, the rest the unpacked list.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const auto newline = input.find('\n');
    const std::string path = input.substr(0, newline);
    const std::string list = newline == std::string::npos ? std::string() : input.substr(newline + 1);
    std::vector<std::uint8_t> packed(4 + compressBound(list.size()));
    for (int i = 0; i < 4; ++i)
        packed[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(list.size() >> (8 * i));
    uLongf length = packed.size() - 4;
    compress(packed.data() + 4, &length, reinterpret_cast<const Bytef *>(list.data()), list.size());
    packed.resize(4 + length);
    garrison::StockFileTree stock(packed);
    stock.contains(path);
    return 0;
}
