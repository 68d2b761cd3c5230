#include "servers/LinuxSettings.h"

#include "common/WordSplit.h"
#include "platform/WholeFile.h"

#include <cstdint>
#include <map>
#include <span>
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

// Where a comment starts after the value: a "#" after white space.
std::size_t commentAt(std::string_view line)
{
    for (std::size_t at = line.find('=') + 1; at < line.size(); ++at) {
        if (line[at] == '#' && (line[at - 1] == ' ' || line[at - 1] == '\t'))
            return at;
    }
    return std::string_view::npos;
}

std::string valueOf(std::string_view line)
{
    const std::size_t start = line.find('=') + 1;
    const std::size_t comment = commentAt(line);
    return std::string(trimWordSeparators(
        line.substr(start, comment == std::string_view::npos ? std::string_view::npos : comment - start)));
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
        else if (key == "master_hosts")
            settings.masterHosts = valueOf(line);
        else if (key == "master_key")
            settings.masterKey = valueOf(line);
    }
    return settings;
}

bool LinuxSettings::save(const LinuxSettings &settings, const std::string &path)
{
    std::map<std::string, std::string> values = {{"runner", settings.runner},
                                                 {"wine_prefix", settings.winePrefix},
                                                 {"code_page", settings.codePage},
                                                 {"central_host", settings.centralHost},
                                                 {"master_hosts", settings.masterHosts},
                                                 {"master_key", settings.masterKey}};
    const auto lines = linesOf(path);
    // The last line of a key is the one load() takes: that one is rewritten.
    std::map<std::string, std::size_t> last;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (values.contains(keyOf(lines[i])))
            last[keyOf(lines[i])] = i;
    }
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string key = keyOf(lines[i]);
        const auto known = values.find(key);
        if (known == values.end() || last[key] != i) {
            text += lines[i] + "\n";
            continue;
        }
        const std::size_t comment = commentAt(lines[i]);
        text += key + " = " + known->second;
        text += comment == std::string::npos ? "\n" : " " + lines[i].substr(comment) + "\n";
        values.erase(known);
    }
    for (const auto &[key, value] : values) {
        // Keys added later are not written into a file that never had them while they are empty.
        if (value.empty() && key.rfind("master_", 0) == 0)
            continue;
        text += key + " = " + value + "\n";
    }
    return replaceFile(path, path + ".new",
                       std::span(reinterpret_cast<const std::uint8_t *>(text.data()), text.size()));
}

} // namespace garrison
