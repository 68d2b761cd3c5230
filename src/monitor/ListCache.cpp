#include "monitor/ListCache.h"

#include "common/ByteReader.h"
#include "common/LittleEndian.h"
#include "common/TextCompare.h"
#include "monitor/QueryPackets.h"
#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace garrison {

namespace {

constexpr FileTime kCacheLifetime = 604800ull * 10'000'000ull;

bool isListCacheName(const std::string &name)
{
    if (name.size() <= 4 || !endsWithNoCase(name, ".tmp"))
        return false;
    return std::all_of(name.begin(), name.end() - 4, [](unsigned char c) { return std::isxdigit(c) != 0; });
}

} // namespace

std::string listCacheFileName(std::uint64_t listId)
{
    char name[24];
    std::snprintf(name, sizeof name, "%llx.tmp", static_cast<unsigned long long>(listId));
    return name;
}

bool writeListCache(const std::string &path, const ListChunks &chunks, ListSource source)
{
    std::vector<std::uint8_t> bytes;
    appendLittleEndian(bytes, static_cast<std::uint32_t>(chunks.expected()));
    for (std::size_t i = 0; i < chunks.expected(); ++i) {
        const auto &chunk = chunks.chunk(i);
        appendLittleEndian(bytes, static_cast<std::uint32_t>(chunk.size()));
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    appendLittleEndian(bytes, source.address);
    appendLittleEndian(bytes, source.port);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool readListCache(const std::string &path, ListChunks &chunks, ListSource source)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::size_t count = chunks.expected();
    ByteReader reader(bytes);
    std::uint32_t storedCount = 0;
    bool trusted = reader.read(storedCount) && storedCount == count;
    for (std::size_t number = 0; trusted && number < count; ++number) {
        std::uint32_t length = 0;
        trusted = reader.read(length) && length <= reader.remaining() && length <= kMaxDatagramBytes;
        if (!trusted)
            break;
        std::vector<std::uint8_t> chunk(length);
        reader.readBytes(chunk.data(), length);
        trusted = chunk.size() >= 2 && ByteReader(chunk).at<std::uint16_t>(0) == number && chunks.store(chunk);
    }
    std::uint32_t address = 0;
    std::uint16_t port = 0;
    if (trusted && reader.read(address) && reader.read(port) && reader.atEnd() && address == source.address &&
        port == source.port)
        return true;
    chunks.reset(count);
    return false;
}

void sweepListCaches(const std::string &folder, FileTime now)
{
    const auto entries = listDirectory(folder.empty() ? "." : folder);
    if (!entries)
        return;
    for (const auto &entry : *entries) {
        if (!entry.folder && isListCacheName(entry.name) && entry.time + kCacheLifetime < now)
            deleteFile(folder + entry.name);
    }
}

} // namespace garrison
