#include "addondb/InstallInstructions.h"

#include "common/TextCompare.h"
#include "common/WordSplit.h"

#include <algorithm>

namespace garrison {

namespace {

constexpr std::string_view kStart = "AUTOADDON_START";
constexpr std::string_view kEnd = "AUTOADDON_END";

std::size_t findNoCase(std::string_view text, std::string_view marker)
{
    if (marker.size() > text.size())
        return std::string_view::npos;
    for (std::size_t at = 0; at + marker.size() <= text.size(); ++at) {
        if (equalsNoCase(text.substr(at, marker.size()), marker))
            return at;
    }
    return std::string_view::npos;
}

std::string withBackslashes(std::string text)
{
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

// A component beginning with ".." could leave the game folder.
bool climbs(const std::string &path)
{
    return ("\\" + path).find("\\..") != std::string::npos;
}

} // namespace

std::vector<InstallRule> defaultInstallRules()
{
    return {{InstallRule::Kind::Install, "*.pbo", "addons\\"}, {InstallRule::Kind::Extract, "*", "addons\\"}};
}

std::optional<InstallInstructions> parseInstallInstructions(std::string_view text)
{
    InstallInstructions instructions;
    const auto start = findNoCase(text, kStart);
    if (start != std::string_view::npos) {
        instructions.found = true;
        const std::size_t begin = std::min(text.size(), start + kStart.size() + 1);
        const auto end = findNoCase(text.substr(begin), kEnd);
        if (end == std::string_view::npos)
            return std::nullopt;
        std::string_view body = text.substr(begin, end);
        while (!body.empty()) {
            const auto feed = body.find('\n');
            const auto words = splitWords(body.substr(0, feed));
            body.remove_prefix(feed == std::string_view::npos ? body.size() : feed + 1);
            if (words.empty())
                continue;
            const std::string &directive = words[0];
            const auto argument = [&](std::size_t i) {
                return withBackslashes(words[i]);
            };
            const auto need = [&](std::size_t count) {
                return words.size() > count;
            };
            using Kind = InstallRule::Kind;
            struct RuleDirective {
                const char *name;
                Kind kind;
                bool folder;
            };
            constexpr RuleDirective kRules[] = {{"INSTALL", Kind::Install, true},
                                                {"INSTALLPATH", Kind::InstallPath, false},
                                                {"EXTRACT", Kind::Extract, true},
                                                {"EXTRACTPATH", Kind::ExtractPath, false},
                                                {"IGNORE", Kind::Ignore, false}};
            if (equalsNoCase(directive, "PACKAGE")) {
                if (!need(1))
                    return std::nullopt;
                instructions.packageName = words[1];
            } else if (equalsNoCase(directive, "INFOURL")) {
                if (!need(1))
                    return std::nullopt;
                instructions.infoUrl = words[1];
            } else if (equalsNoCase(directive, "DEACTIVATE")) {
                if (!need(1))
                    return std::nullopt;
                instructions.deactivations.push_back(argument(1));
            } else {
                const auto rule = std::find_if(std::begin(kRules), std::end(kRules),
                                               [&](const RuleDirective &r) { return equalsNoCase(directive, r.name); });
                if (rule == std::end(kRules))
                    continue;
                if (!need(rule->folder ? 2 : 1))
                    return std::nullopt;
                InstallRule parsed{rule->kind, argument(1), rule->folder ? argument(2) : std::string()};
                if (climbs(parsed.pattern) || climbs(parsed.folder))
                    return std::nullopt;
                instructions.rules.push_back(std::move(parsed));
            }
        }
    }
    if (!instructions.found)
        instructions.rules = defaultInstallRules();
    instructions.rules.insert(instructions.rules.begin(), {InstallRule::Kind::Ignore, "auto-addon.txt", {}});
    return instructions;
}

bool matchesPattern(std::string_view pattern, std::string_view path)
{
    // Greedy with one backtrack point: linear in practice, never exponential.
    std::size_t p = 0, s = 0, star = std::string_view::npos, resume = 0;
    while (s < path.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = s;
        } else if (p < pattern.size() && (pattern[p] == '?' || foldCase(static_cast<unsigned char>(pattern[p])) ==
                                                                   foldCase(static_cast<unsigned char>(path[s])))) {
            ++p;
            ++s;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string defaultPackageName(std::string_view archivePath)
{
    const auto slash = archivePath.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? archivePath : archivePath.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos && dot != 0)
        name = name.substr(0, dot);
    return std::string(name);
}

} // namespace garrison
