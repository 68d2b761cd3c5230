#include "addondb/StockFileTree.h"

#include "addondb/FileTree.h"
#include "common/ByteReader.h"
#include "common/PackedText.h"
#include "common/TextCompare.h"

#include <cstring>

namespace garrison {

namespace resources {
extern const unsigned char kStockFileTree[];
extern const std::size_t kStockFileTreeSize;
} // namespace resources

StockFileTree::StockFileTree(std::span<const std::uint8_t> packed) : m_packed(packed)
{
}

StockFileTree StockFileTree::builtIn()
{
    return StockFileTree({resources::kStockFileTree, resources::kStockFileTreeSize});
}

bool StockFileTree::contains(std::string_view relativePath)
{
    if (!m_data)
        m_data = unpackText(m_packed).value_or(std::string());
    const std::string &data = *m_data;
    const auto components = splitRelativePath(relativePath);
    std::size_t component = 0;
    std::size_t at = 0;
    while (component < components.size() && at < data.size()) {
        const std::size_t end = data.find('\0', at);
        if (end == std::string::npos || end == at)
            return false; // cut short, or the end of this list
        const std::string_view name(data.data() + at, end - at);
        const bool folder = name.back() == '\\';
        std::size_t next = end + 1;
        std::uint32_t skip = 0;
        if (folder) {
            if (next + 4 > data.size())
                return false;
            skip = ByteReader({reinterpret_cast<const std::uint8_t *>(data.data()) + next, 4}).at<std::uint32_t>(0);
            next += 4;
        }
        if (!equalsNoCase(name, components[component])) {
            // A folder's contents are skipped by its offset, which must lead forward.
            if (folder && (skip < next || skip > data.size()))
                return false;
            at = folder ? skip : next;
            continue;
        }
        if (++component == components.size())
            return true;
        if (!folder)
            return false;
        at = next;
    }
    return false;
}

} // namespace garrison
