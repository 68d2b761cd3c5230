#include "servers/LinuxSettings.h"

#include "common/WordSplit.h"
#include "platform/WholeFile.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

namespace garrison {

namespace {

std::vector<std::string> linesOf(const std::string &path)
{
    std::vector<std::string> lines;
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return lines;
    std::string_view text(reinterpret_cast<const char *>(bytes->data()), bytes->size());
    while (!text.empty()) {
        const auto end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// The key of a "key = value" line; empty for comments and other lines.
std::string keyOf(std::string_view line)
{
    line = trimWordSeparators(line);
    const auto equals = line.find('=');
    if (line.empty() || line.front() == '#' || equals == std::string_view::npos)
        return {};
    return std::string(trimWordSeparators(line.substr(0, equals)));
}

std::string valueOf(std::string_view line)
{
    return std::string(trimWordSeparators(line.substr(line.find('=') + 1)));
}

} // namespace

LinuxSettings LinuxSettings::load(const std::string &path)
{
    LinuxSettings settings;
    for (const auto &line : linesOf(path)) {
        const std::string key = keyOf(line);
        if (key == "runner" && !valueOf(line).empty())
            settings.runner = valueOf(line);
        else if (key == "wine_prefix")
            settings.winePrefix = valueOf(line);
        else if (key == "code_page" && !valueOf(line).empty())
            settings.codePage = valueOf(line);
        else if (key == "central_host")
            settings.centralHost = valueOf(line);
    }
    return settings;
}

bool LinuxSettings::save(const LinuxSettings &settings, const std::string &path)
{
    std::map<std::string, std::string> values = {{"runner", settings.runner},
                                                 {"wine_prefix", settings.winePrefix},
                                                 {"code_page", settings.codePage},
                                                 {"central_host", settings.centralHost}};
    std::string text;
    for (const auto &line : linesOf(path)) {
        const auto known = values.find(keyOf(line));
        if (known == values.end()) {
            text += line + "\n";
            continue;
        }
        text += known->first + " = " + known->second + "\n";
        values.erase(known);
    }
    for (const auto &[key, value] : values)
        text += key + " = " + value + "\n";
    // Written beside the old file and renamed over it, so a full disk never leaves half a file.
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}

} // namespace garrison
