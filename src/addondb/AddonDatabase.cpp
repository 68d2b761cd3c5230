#include "addondb/AddonDatabase.h"

#include "addondb/FileTree.h"
#include "common/TextCompare.h"
#include "platform/DirectoryListing.h"

namespace garrison {

namespace {

constexpr const char *kStandardLabels[kStandardPackageCount] = {"DSTR_MANAGER_STDPK_CORE", "DSTR_MANAGER_STDPK_UNKNOWN",
                                                                "DSTR_MANAGER_STDPK_UNADD"};

struct KnownExecutable {
    std::uint32_t size;
    std::uint32_t crc;
};

// The retail executables by version class: slot 0 is the oldest.
constexpr KnownExecutable kExecutables[AddonDatabase::kExecutableSlots] = {
    {4418476, 0xB32F5E43}, {3665999, 0xAC1476E0}, {3670095, 0x19052099},
    {3682383, 0xB2520FEA}, {3694671, 0xA0FEC027}, {3694671, 0x67B34BE4},
};

constexpr std::string_view kSkipList[] = {"MPMissionsCache\\", "tmp\\", "Users\\", "Flashpoint.cfg"};

} // namespace

bool inSkipList(std::string_view relativePath)
{
    for (const auto skipped : kSkipList) {
        if (equalsNoCase(relativePath, skipped))
            return true;
    }
    return false;
}

AddonDatabase::AddonDatabase(const LanguageTable &language, StockFileTree stock) : m_language(language), m_stock(stock)
{
    m_packages.resize(kStandardPackageCount);
    nameStandardPackages();
    for (auto &package : m_packages)
        package.installDate = currentFileTime();
}

void AddonDatabase::setGameFolder(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    m_gameFolder = std::move(folder);
    if (m_root)
        m_root->setName(m_gameFolder);
}

FileNode &AddonDatabase::makeRoot()
{
    m_root = FileNode::makeFolder(m_gameFolder);
    m_root->packageCount = FileNode::kRootPackageCount;
    m_addons = m_res = m_resAddons = nullptr;
    m_modFolders.clear();
    m_modAddonFolders.clear();
    return *m_root;
}

void AddonDatabase::nameStandardPackages()
{
    for (std::size_t i = 0; i < kStandardPackageCount && i < m_packages.size(); ++i)
        m_packages[i].name = m_language.Resolve(kStandardLabels[i]);
}

int AddonDatabase::packageIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < m_packages.size(); ++i) {
        if (m_packages[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

void AddonDatabase::assignStandardPackage(const NodeRef &node)
{
    if (node->has(NodeFlag::StandardPackages))
        return;
    const std::string path = node->relativePath();
    std::size_t package = kUnknownFilesPackage;
    if (m_stock.contains(path)) {
        node->flags |= NodeFlag::Core;
        package = kCorePackage;
    } else if (startsWithNoCase(path, "AddOns\\") || startsWithNoCase(path, "Res\\AddOns\\")) {
        node->flags |= NodeFlag::UnknownAddon;
        package = kUnknownAddonsPackage;
    } else {
        node->flags |= NodeFlag::UnknownFile;
    }
    m_packages[package].add(node);
}

void AddonDatabase::leaveUnknownPackage(FileNode &node)
{
    if (node.has(NodeFlag::UnknownFile)) {
        m_packages[kUnknownFilesPackage].release(&node);
        node.flags &= ~NodeFlag::UnknownFile;
    } else if (node.has(NodeFlag::UnknownAddon)) {
        m_packages[kUnknownAddonsPackage].release(&node);
        node.flags &= ~NodeFlag::UnknownAddon;
    }
}

void AddonDatabase::findAddonFolders()
{
    m_addons = m_res = m_resAddons = nullptr;
    if (!m_root)
        return;
    m_addons = findChild(*m_root, "addons\\", true);
    m_res = findChild(*m_root, "res\\", true);
    if (m_res)
        m_resAddons = findChild(*m_res, "addons\\", true);
}

void AddonDatabase::derive()
{
    m_modFolders.clear();
    m_modAddonFolders.clear();
    m_executables.clear();
    m_extraExecutable.clear();
    if (!m_root)
        return;
    for (const auto &child : m_root->children) {
        if (inSkipList(child->name()))
            continue;
        if (child->isFolder()) {
            if (!child->has(NodeFlag::Core) && child->status != NodeStatus::Missing) {
                m_modFolders.push_back(child.get());
                m_modAddonFolders.push_back(findChild(*child, "addons\\", true));
            }
            continue;
        }
        if (child->status != NodeStatus::Present)
            continue;
        bool known = false;
        for (std::size_t slot = 0; slot < kExecutableSlots; ++slot) {
            if (child->size == kExecutables[slot].size && child->crc == kExecutables[slot].crc) {
                if (m_executables.size() <= slot)
                    m_executables.resize(slot + 1);
                m_executables[slot] = child->name();
                known = true;
            }
        }
        if (!known && equalsNoCase(child->name(), "rb.exe"))
            m_extraExecutable = child->name();
    }
}

int AddonDatabase::bestExecutable(int wanted) const
{
    const int count = static_cast<int>(m_executables.size());
    for (int slot = std::min(wanted, count - 1); slot >= 0; --slot) {
        if (!m_executables[static_cast<std::size_t>(slot)].empty())
            return slot;
    }
    return -1;
}

void AddonDatabase::useListing()
{
    m_listingMode = true;
    m_extraFolders.clear();
    const auto entries = listDirectory(m_gameFolder);
    if (!entries)
        return;
    for (const auto &entry : *entries) {
        if (!entry.folder || entry.hidden)
            continue;
        const std::string asFolder = entry.name + "\\";
        if (!inSkipList(asFolder) && !m_stock.contains(asFolder))
            m_extraFolders.push_back(entry.name);
    }
}

std::string AddonDatabase::progressText() const
{
    std::lock_guard guard(m_progressLock);
    return m_progressText;
}

void AddonDatabase::setProgressText(std::string text)
{
    if (m_progressObserver)
        m_progressObserver(text);
    std::lock_guard guard(m_progressLock);
    m_progressText = std::move(text);
}

} // namespace garrison
