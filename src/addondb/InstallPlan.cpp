#include "addondb/InstallPlan.h"

#include "common/TextCompare.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace garrison {

namespace {

bool isSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The folders and the file name of a path; empty and "." components mean
// nothing and are dropped.
std::vector<std::string> components(const std::string &path)
{
    std::vector<std::string> parts;
    std::string part;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path[i])) {
            part += path[i];
            continue;
        }
        if (!part.empty() && part != ".")
            parts.push_back(std::move(part));
        part.clear();
    }
    return parts;
}

std::string joined(const std::vector<std::string> &parts)
{
    std::string path;
    for (const auto &part : parts)
        path += (path.empty() ? "" : "\\") + part;
    return path;
}

bool hasDriveLetter(const std::string &path)
{
    return path.size() > 1 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// A path that would leave the game folder: a ".." component, a drive letter
// or a network path. A single leading "\\" means the game folder itself.
bool leavesGameFolder(const std::string &path)
{
    if (hasDriveLetter(path) || (path.size() > 1 && isSeparator(path[0]) && isSeparator(path[1])))
        return true;
    const auto parts = components(path);
    return std::any_of(parts.begin(), parts.end(), [](const std::string &part) { return part == ".."; });
}

// A member name meant as a path inside the archive must not be absolute.
bool absoluteMemberName(const std::string &name)
{
    return (!name.empty() && isSeparator(name.front())) || hasDriveLetter(name);
}

std::string shortened(const std::string &name)
{
    constexpr std::size_t kShown = 60;
    return name.size() <= kShown ? name : name.substr(0, kShown) + "...";
}

const InstallRule *ruleFor(const InstallInstructions &instructions, const std::string &path)
{
    for (const auto &rule : instructions.rules) {
        if (matchesPattern(rule.pattern, path))
            return &rule;
    }
    return nullptr;
}

std::string targetPath(const std::string &path, const InstallRule &rule, const std::string &redirect)
{
    std::string target;
    if (rule.kind == InstallRule::Kind::InstallPath || rule.kind == InstallRule::Kind::ExtractPath)
        target = path;
    else if (!rule.folder.empty() && rule.folder.back() == '\\')
        target = rule.folder + path.substr(path.rfind('\\') + 1);
    else
        target = rule.folder;
    if (!redirect.empty()) {
        for (std::size_t at = 0; at + 7 <= target.size(); ++at) {
            if (equalsNoCase(std::string_view(target).substr(at, 7), "addons\\")) {
                target = redirect + target.substr(at + 7);
                break;
            }
        }
    }
    return target;
}

// The archive's auto-addon.txt, at most the cap: a member that unpacks to
// more than its stated size is damaged, so the stated size bounds it.
bool readInstructionText(ZipReader &zip, const ZipReader::Member &member, std::string &text, std::string &failure)
{
    if (member.size > kMaxInstructionBytes) {
        failure = "auto-addon.txt is larger than " + std::to_string(kMaxInstructionBytes / 1024) + " KiB";
        return false;
    }
    // The reader never hands over more than the directory's size, checked above.
    const bool read = zip.unpack(member, [&](std::vector<char> &&block) {
        text.append(block.data(), block.size());
        return true;
    });
    if (!read)
        failure = zip.failure();
    return read;
}

} // namespace

std::string memberPath(const std::string &name)
{
    std::string path = joined(components(name));
    if (!name.empty() && isSeparator(name.back()) && !path.empty())
        path += '\\';
    return path;
}

InstallPlan planInstall(ZipReader &zip, const std::string &archivePath, const std::string &redirect,
                        const std::string &shownName)
{
    InstallPlan plan;
    if (!zip.isOpen()) {
        plan.failure = "\"" + shownName + "\" cannot be installed: " + zip.failure();
        return plan;
    }
    std::vector<std::string> paths;
    const ZipReader::Member *instructionFile = nullptr;
    for (const auto &member : zip.members()) {
        if (member.name.size() > kMaxMemberNameLength) {
            plan.failure = "the name of the member \"" + shortened(member.name) + "\" is longer than " +
                           std::to_string(kMaxMemberNameLength) + " characters, more than the game can use";
            return plan;
        }
        paths.push_back(memberPath(member.name));
        plan.totalBytes += member.size;
        if (!instructionFile && !member.folder() && equalsNoCase(paths.back(), "auto-addon.txt"))
            instructionFile = &member;
    }
    std::string text;
    if (instructionFile && !readInstructionText(zip, *instructionFile, text, plan.failure))
        return plan;
    auto instructions = parseInstallInstructions(text);
    if (!instructions) {
        plan.failure = "auto-addon.txt is malformed";
        return plan;
    }
    plan.instructions = std::move(*instructions);
    // Each member is matched against the rules in turn: a few thousand rules
    // over tens of thousands of members would take minutes.
    if (paths.size() * plan.instructions.rules.size() > kMaxRuleMatches) {
        plan.failure = "auto-addon.txt has " + std::to_string(plan.instructions.rules.size()) + " rules for " +
                       std::to_string(paths.size()) + " members, more than Garrison matches (" +
                       std::to_string(kMaxRuleMatches) + " rule and member pairs)";
        return plan;
    }
    plan.packageName =
        plan.instructions.packageName.empty() ? defaultPackageName(archivePath) : plan.instructions.packageName;

    for (std::size_t i = 0; i < paths.size(); ++i) {
        const auto &member = zip.members()[i];
        const InstallRule *rule = member.folder() ? nullptr : ruleFor(plan.instructions, paths[i]);
        if (!rule || rule->kind == InstallRule::Kind::Ignore)
            continue;
        const bool ownPath =
            rule->kind == InstallRule::Kind::InstallPath || rule->kind == InstallRule::Kind::ExtractPath;
        const std::string target = targetPath(paths[i], *rule, redirect);
        std::string refusal;
        if ((ownPath && absoluteMemberName(member.name)) || leavesGameFolder(target))
            refusal = "the archive would write \"" + shortened(member.name) + "\" outside the game folder";
        else if (components(target).empty())
            refusal = "the archive names no file to write for \"" + shortened(member.name) + "\"";
        else if (member.size > std::numeric_limits<std::uint32_t>::max())
            refusal = "\"" + shortened(member.name) + "\" is larger than 4 GiB, more than Garrison can record";
        else
            refusal = ZipReader::unpackProblem(member);
        if (!refusal.empty()) {
            plan.failure = std::move(refusal);
            return plan;
        }
        plan.files.push_back(
            {&member, joined(components(target)), static_cast<std::uint32_t>(member.size), member.crc});
    }
    return plan;
}

} // namespace garrison
