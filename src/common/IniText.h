#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace garrison {

// The entries of an INI text: "[section]" lines, "key = value" lines, and
// "#" or ";" comments. A key may repeat.
struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
    int line = 0;
};

// Nothing, and the number and reason of the first bad line in error, when a
// line is neither of the three.
std::optional<std::vector<IniEntry>> parseIniText(std::string_view text, std::string &error);
// The same from a file; error names the file.
std::optional<std::vector<IniEntry>> readIniFile(const std::string &path, std::string &error);
// "PATH: line N: "key = value" is not a setting of [section]".
std::string unknownSetting(const std::string &path, const IniEntry &entry);

} // namespace garrison
