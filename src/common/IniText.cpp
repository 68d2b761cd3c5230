#include "common/IniText.h"

#include "common/WordSplit.h"

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

} // namespace garrison
