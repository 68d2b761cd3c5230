#include "addondb/OfferedBlock.h"

#include "addondb/FileTree.h"
#include "common/ByteReader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace garrison {

namespace {

constexpr std::size_t kMaxTreeDepth = 512;

// One entry list, iteratively so that a hostile block cannot exhaust the stack.
bool readTree(ByteReader &in, FileNode &root)
{
    std::vector<FileNode *> folders = {&root};
    while (!folders.empty()) {
        std::string name;
        if (!in.readText(name))
            return false;
        if (name.empty()) {
            folders.pop_back();
            continue;
        }
        if (name.back() == '\\') {
            auto folder = FileNode::makeFolder(std::move(name));
            insertChild(*folders.back(), folder);
            if (folders.size() > kMaxTreeDepth)
                return false;
            folders.push_back(folder.get());
            continue;
        }
        std::uint32_t size = 0, crc = 0;
        if (!in.read(size) || !in.read(crc))
            return false;
        insertChild(*folders.back(), FileNode::makeFile(std::move(name), size, crc, 0));
    }
    return true;
}

bool readPackage(ByteReader &in, OfferedPackage &package)
{
    in.readText(package.url);
    in.read(package.zipSize);
    in.readText(package.name);
    in.readText(package.comment);
    in.readText(package.text3);
    in.readText(package.text4);
    in.read(package.priority);
    if (!in.ok())
        return false;
    package.installDate = currentFileTime();
    package.tree = FileNode::makeFolder({});
    if (!readTree(in, *package.tree))
        return false;
    for (FileNode *node : flatten(*package.tree)) {
        // The flat list shares the tree's nodes.
        package.files.push_back(NodeRef(node));
    }
    return true;
}

// Leading decimal digits, as "%u" reads them.
std::uint32_t leadingDecimal(std::string_view text)
{
    std::uint32_t value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

// Leading hexadecimal digits, as "%x" reads them (an optional 0x included).
std::uint32_t leadingHex(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    std::uint32_t value = 0;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            break;
        value = value * 16 + static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(c))
                                                            ? c - '0'
                                                            : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    return value;
}

} // namespace

std::vector<DeactivationEntry> parseDeactivationText(std::string_view text)
{
    std::vector<DeactivationEntry> entries;
    while (true) {
        const auto first = text.find(':');
        const auto second = first == std::string_view::npos ? first : text.find(':', first + 1);
        const auto third = second == std::string_view::npos ? second : text.find(':', second + 1);
        if (third == std::string_view::npos)
            break;
        DeactivationEntry entry;
        entry.name = std::string(text.substr(0, first));
        std::replace(entry.name.begin(), entry.name.end(), '/', '\\');
        entry.size = leadingDecimal(text.substr(first + 1, second - first - 1));
        entry.crc = leadingHex(text.substr(second + 1, third - second - 1));
        entries.push_back(std::move(entry));
        text.remove_prefix(third + 1);
    }
    return entries;
}

bool parseOfferedBlock(std::span<const std::uint8_t> block, OfferedList &list)
{
    list.packages.clear();
    list.serverTexts = {};
    ByteReader in(block);
    std::uint32_t header = 0, count = 0;
    in.read(header);
    for (auto &text : list.serverTexts)
        in.readText(text);
    in.read(count);
    bool whole = in.ok();
    for (std::uint32_t i = 0; whole && i < count; ++i) {
        OfferedPackage package;
        whole = readPackage(in, package);
        if (whole)
            list.packages.push_back(std::move(package));
    }
    list.deactivations = parseDeactivationText(list.serverTexts[4]);
    return whole;
}

} // namespace garrison
