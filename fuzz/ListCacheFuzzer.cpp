#include "FuzzFolder.h"

#include "monitor/ListCache.h"

#include <cstdio>
#include <cstdlib>
#include <string>

// Any cache file either loads every chunk intact or leaves the table empty.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const FuzzFolder folder;
    static const std::string path = folder.path() + "0a1b2c3d.tmp";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    garrison::ListChunks chunks;
    chunks.reset(size ? data[0] % 8 : 0);
    const bool loaded = garrison::readListCache(path, chunks, {0x0100007f, 2322});
    if (loaded ? !chunks.complete() : chunks.received() != 0)
        std::abort();
    chunks.assemble();
    return 0;
}
