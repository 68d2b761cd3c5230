#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace garrison {

struct InstallRule {
    enum class Kind { Install, InstallPath, Extract, ExtractPath, Ignore };
    Kind kind = Kind::Ignore;
    std::string pattern;
    std::string folder; // INSTALL and EXTRACT only
};

// What an archive's auto-addon.txt asks for, completed with the defaults.
struct InstallInstructions {
    bool found = false; // a start marker was there
    std::string packageName;
    std::string infoUrl;
    std::vector<std::string> deactivations;
    std::vector<InstallRule> rules;
};

// The instructions between AUTOADDON_START and AUTOADDON_END. Nothing when
// the text is malformed: an end marker missing after a start marker, a
// directive short of arguments, a path component beginning with "..".
// Without a start marker: the default rules. Either way IGNORE
// "auto-addon.txt" comes first.
std::optional<InstallInstructions> parseInstallInstructions(std::string_view text);
std::vector<InstallRule> defaultInstallRules();

// "*" any run, "?" one character, anything else itself ignoring case; the
// whole path must match.
bool matchesPattern(std::string_view pattern, std::string_view path);

// The archive's file name without its last extension.
std::string defaultPackageName(std::string_view archivePath);

} // namespace garrison
