#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace garrison {

// What an Auto-Addon server offers, written as the block it sends.
struct OfferedFile {
    std::string path; // relative, "\" between folders: "addons\x.pbo"
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
};

struct OfferedEntry {
    std::string url;
    std::uint32_t zipSize = 0;
    std::string name;
    std::string comment;
    std::int32_t priority = 0;
    std::vector<OfferedFile> files;
};

struct OfferedContent {
    std::array<std::string, 4> serverTexts; // name, info, admin, comserver
    std::string deactivations;              // "name:size:crc:" entries
    std::vector<OfferedEntry> packages;
};

std::vector<std::uint8_t> writeOfferedBlock(const OfferedContent &offer);

} // namespace garrison
