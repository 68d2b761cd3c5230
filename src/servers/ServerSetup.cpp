#include "servers/ServerSetup.h"

#include "common/TextCompare.h"
#include "servers/ModList.h"

#include <algorithm>

namespace garrison {

namespace {

bool inRange(int index, std::size_t size)
{
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

// Takes the first folder equal to mod (ignoring case) out of folders.
void takeOut(std::vector<std::string> &folders, const std::string &mod)
{
    const auto found = std::find_if(folders.begin(), folders.end(),
                                    [&](const std::string &folder) { return equalsNoCase(folder, mod); });
    if (found != folders.end())
        folders.erase(found);
}

} // namespace

ServerSetup::ServerSetup(ServerSetupInputs inputs, ServerEntry values)
    : m_inputs(std::move(inputs)), m_values(std::move(values))
{
    refill();
}

void ServerSetup::refill()
{
    if (m_values.loadServerMods)
        m_values.automaticModSelection = false;
    m_available = m_inputs.modFolders;
    m_toLoad.clear();
    for (const auto &mod : splitModList(m_values.manualMods)) {
        takeOut(m_available, mod);
        m_toLoad.push_back(mod);
    }
    std::sort(m_available.begin(), m_available.end(),
              [](const std::string &a, const std::string &b) { return compareNoCase(a, b) < 0; });
}

bool ServerSetup::autoDetectEnabled() const
{
    return !m_values.local && m_inputs.offeredListReceived && m_inputs.editing && !m_replaced;
}

void ServerSetup::setTexts(std::string address, std::string password, std::string name, std::string startupParameters,
                           std::string executable)
{
    m_values.address = std::move(address);
    m_values.password = std::move(password);
    m_values.name = std::move(name);
    m_values.startupParameters = std::move(startupParameters);
    m_values.executable = std::move(executable);
}

void ServerSetup::setLocal(bool local)
{
    m_values.local = local;
}

void ServerSetup::addressEdited()
{
    m_replaced = true;
}

void ServerSetup::setAutomaticModSelection(bool on)
{
    m_values.automaticModSelection = on;
    if (on)
        m_values.loadServerMods = false;
}

void ServerSetup::setLoadServerMods(bool on)
{
    m_values.loadServerMods = on;
    if (on)
        m_values.automaticModSelection = false;
}

int ServerSetup::add(int availableIndex)
{
    if (!inRange(availableIndex, m_available.size()))
        return -1;
    m_toLoad.push_back(m_available[static_cast<std::size_t>(availableIndex)]);
    m_available.erase(m_available.begin() + availableIndex);
    return static_cast<int>(m_toLoad.size()) - 1;
}

int ServerSetup::remove(int toLoadIndex)
{
    if (!inRange(toLoadIndex, m_toLoad.size()))
        return -1;
    const std::string mod = m_toLoad[static_cast<std::size_t>(toLoadIndex)];
    m_toLoad.erase(m_toLoad.begin() + toLoadIndex);
    const auto place = std::upper_bound(m_available.begin(), m_available.end(), mod,
                                        [](const auto &a, const auto &b) { return compareNoCase(a, b) < 0; });
    return static_cast<int>(m_available.insert(place, mod) - m_available.begin());
}

int ServerSetup::up(int toLoadIndex)
{
    if (!inRange(toLoadIndex, m_toLoad.size()) || toLoadIndex == 0)
        return -1;
    std::swap(m_toLoad[static_cast<std::size_t>(toLoadIndex)], m_toLoad[static_cast<std::size_t>(toLoadIndex - 1)]);
    return toLoadIndex - 1;
}

int ServerSetup::down(int toLoadIndex)
{
    if (!inRange(toLoadIndex + 1, m_toLoad.size()) || toLoadIndex < 0)
        return -1;
    std::swap(m_toLoad[static_cast<std::size_t>(toLoadIndex)], m_toLoad[static_cast<std::size_t>(toLoadIndex + 1)]);
    return toLoadIndex + 1;
}

void ServerSetup::useAutoDetected()
{
    m_values.manualMods = m_inputs.autoDetectedMods;
    refill();
}

bool ServerSetup::addFolder(const std::string &folder)
{
    const std::string name = trimBlanks(folder);
    if (name.empty())
        return false;
    for (const auto &mod : m_toLoad) {
        if (equalsNoCase(mod, name))
            return false;
    }
    takeOut(m_available, name);
    m_toLoad.push_back(name);
    return true;
}

std::vector<std::string> ServerSetup::copyFromNames() const
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < m_inputs.servers.size() && i < kCopyFromLimit; ++i)
        names.push_back(m_inputs.servers[i].name.substr(0, kCopyFromNameLength));
    return names;
}

void ServerSetup::copyFrom(std::size_t index)
{
    if (index >= m_inputs.servers.size() || index >= kCopyFromLimit)
        return;
    m_replaced = true;
    m_values = m_inputs.servers[index];
    refill();
}

ServerEntry ServerSetup::result() const
{
    ServerEntry entry = m_values;
    entry.address = trimBlanks(entry.address);
    entry.name = trimBlanks(entry.name);
    entry.startupParameters = trimBlanks(entry.startupParameters);
    entry.executable = trimBlanks(entry.executable);
    entry.manualMods = joinModList(m_toLoad);
    return entry;
}

} // namespace garrison
