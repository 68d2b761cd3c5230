#include "servers/WineRegistry.h"

#include "common/TextCompare.h"
#include "common/Windows1252.h"
#include "platform/WholeFile.h"

#include <cctype>

namespace garrison {

namespace {

std::string folded(std::string_view text)
{
    std::string out(text);
    for (auto &c : out)
        c = static_cast<char>(foldCaseAscii(static_cast<unsigned char>(c)));
    return out;
}

std::uint32_t hexValue(char c)
{
    return static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                                  : std::tolower(c) - 'a' + 10);
}

// A quoted text starting at text[at] == '"'; at moves past the closing quote.
// Wine writes "\\", "\"", "\xHHHH" (UTF-16, up to four hex digits), "\t",
// "\n", "\r" and octal "\0".
std::optional<std::string> quoted(std::string_view text, std::size_t &at)
{
    if (at >= text.size() || text[at] != '"')
        return std::nullopt;
    std::string out;
    for (++at; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') {
            ++at;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++at >= text.size())
            return std::nullopt;
        const char e = text[at];
        if (e == 'x') {
            std::uint32_t unit = 0;
            int digits = 0;
            while (digits < 4 && at + 1 < text.size() && std::isxdigit(static_cast<unsigned char>(text[at + 1]))) {
                unit = unit * 16 + hexValue(text[++at]);
                ++digits;
            }
            appendUtf8(out, unit);
        } else if (e >= '0' && e <= '7') {
            std::uint32_t value = static_cast<std::uint32_t>(e - '0');
            for (int digits = 1; digits < 3 && at + 1 < text.size() && text[at + 1] >= '0' && text[at + 1] <= '7';
                 ++digits)
                value = value * 8 + static_cast<std::uint32_t>(text[++at] - '0');
            out += static_cast<char>(value);
        } else {
            out += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        }
    }
    return std::nullopt; // no closing quote
}

// "[Software\\Codemasters\\X] 1796871141" -> "Software\Codemasters\X".
std::optional<std::string> keyName(std::string_view line)
{
    std::string out;
    for (std::size_t at = 1; at < line.size(); ++at) {
        if (line[at] == ']')
            return out;
        if (line[at] == '\\' && at + 1 < line.size())
            ++at;
        out += line[at];
    }
    return std::nullopt;
}

} // namespace

WineRegistry WineRegistry::parse(std::string_view fileText)
{
    WineRegistry registry;
    std::string key;
    bool inKey = false;
    while (!fileText.empty()) {
        const auto end = fileText.find('\n');
        std::string_view line = fileText.substr(0, end);
        fileText.remove_prefix(end == std::string_view::npos ? fileText.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with("[")) {
            const auto name = keyName(line);
            inKey = name.has_value();
            if (inKey)
                key = folded(*name);
            continue;
        }
        if (!inKey || line.empty())
            continue;
        std::size_t at = 0;
        std::string valueName;
        if (line[0] == '@') {
            at = 1;
        } else if (auto name = quoted(line, at)) {
            valueName = std::move(*name);
        } else {
            continue;
        }
        if (at >= line.size() || line[at] != '=')
            continue;
        ++at;
        if (line.substr(at).starts_with("str(2):"))
            at += 7;
        if (auto data = quoted(line, at))
            registry.m_values[key + "\\" + folded(valueName)] = std::move(*data);
    }
    return registry;
}

std::optional<WineRegistry> WineRegistry::load(const std::string &path)
{
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return std::nullopt;
    return parse(std::string_view(reinterpret_cast<const char *>(bytes->data()), bytes->size()));
}

std::optional<std::string> WineRegistry::value(std::string_view keyPath, std::string_view valueName) const
{
    const auto found = m_values.find(folded(keyPath) + "\\" + folded(valueName));
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

} // namespace garrison
