#include "common/IniText.h"

#include "common/WordSplit.h"

#include <cctype>
#include <fstream>
#include <iterator>

namespace garrison {

std::optional<std::vector<IniEntry>> parseIniText(std::string_view text, std::string &error)
{
    std::vector<IniEntry> entries;
    std::string section;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        line = trimWordSeparators(line);
        if (!line.empty() && line.back() == '\r')
            line = trimWordSeparators(line.substr(0, line.size() - 1));
        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = std::string(trimWordSeparators(line.substr(1, line.size() - 2)));
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || trimWordSeparators(line.substr(0, equals)).empty()) {
            error = "line " + std::to_string(number) + ": expected \"key = value\" or \"[section]\"";
            return std::nullopt;
        }
        entries.push_back({section, std::string(trimWordSeparators(line.substr(0, equals))),
                           std::string(trimWordSeparators(line.substr(equals + 1))), number});
    }
    return entries;
}

std::optional<std::vector<IniEntry>> readIniFile(const std::string &path, std::string &error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read";
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string why;
    auto entries = parseIniText(text, why);
    if (!entries)
        error = path + ": " + why;
    return entries;
}

std::string unknownSetting(const std::string &path, const IniEntry &entry)
{
    // A password in the wrong place must not end up in a log.
    std::string key = entry.key;
    for (auto &c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string value = key.find("password") == std::string::npos ? entry.value : "(not shown)";
    return path + ": line " + std::to_string(entry.line) + ": \"" + entry.key + " = " + value +
           "\" is not a setting of [" + entry.section + "]";
}

} // namespace garrison
