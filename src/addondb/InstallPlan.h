#pragma once

#include "addondb/InstallInstructions.h"
#include "addondb/ZipReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace garrison {

// A file an archive installs: its member, where it goes in the game folder
// ("\" between folders, no empty or "." components), its size and CRC-32.
struct PlannedFile {
    const ZipReader::Member *member = nullptr;
    std::string target;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
};

// What installing an archive would do, decided from its directory and its
// auto-addon.txt alone: the client's installer and the server's catalogue
// refuse the same archives for the same reasons.
struct InstallPlan {
    InstallInstructions instructions;
    std::string packageName;
    std::vector<PlannedFile> files; // in archive order
    std::uint64_t totalBytes = 0;   // every member's size
    std::string failure;            // why the archive is refused, or empty
    bool refused() const { return !failure.empty(); }
};

// Longest member name the game can open, and the largest auto-addon.txt read.
constexpr std::size_t kMaxMemberNameLength = 259;
constexpr std::size_t kMaxInstructionBytes = 64 * 1024;
// Rules times members: the most a plan matches.
constexpr std::size_t kMaxRuleMatches = 10'000'000;

// redirect: the install redirect of the offered list, or empty. shownName:
// what a refusal calls the archive (a download's zip rather than its temporary file).
InstallPlan planInstall(ZipReader &zip, const std::string &archivePath, const std::string &redirect,
                        const std::string &shownName);

// A member name as the rules see it: "\" between folders, empty and "."
// components dropped; a folder keeps its trailing "\".
std::string memberPath(const std::string &name);

} // namespace garrison
