#pragma once

#include <string>

namespace garrison {

// What only Linux needs, kept in "garrison-linux.conf" beside "garrison.sav"
// so that the settings file stays as the game's tools know it. Lines
// "key = value"; "#" starts a comment, also after a value; the last line of
// a key counts.
struct LinuxSettings {
    static constexpr const char *kFileName = "garrison-linux.conf";

    std::string runner = "wine";           // the command the game's executable is started with
    std::string winePrefix;                // empty: WINEPREFIX, else ~/.wine
    std::string codePage = "Windows-1252"; // of texts from servers and game files
    std::string centralHost;               // HOST[:PORT] of the news and browser service; empty: none
    std::string masterHosts;               // "HOST[:PORT], ..." of GameSpy masters; empty: none
    std::string masterKey;                 // the game's key for a master's challenge; empty: not answered

    bool operator==(const LinuxSettings &) const = default;

    // A missing or unreadable file gives the defaults.
    static LinuxSettings load(const std::string &path = kFileName);
    // Rewrites the keys in place (the line that counts, its comment kept) and
    // keeps every other line (comments, keys of other versions); false when
    // the file could not be written.
    static bool save(const LinuxSettings &settings, const std::string &path = kFileName);
};

} // namespace garrison
