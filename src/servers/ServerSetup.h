#pragma once

#include "servers/ServerEntry.h"

#include <string>
#include <vector>

namespace garrison {

// What the opener of the server setup dialog hands it.
struct ServerSetupInputs {
    std::vector<ServerEntry> servers;    // a copy, for copy-from
    std::vector<std::string> modFolders; // the database's mod folders (or top-level folders in listing mode)
    std::string autoDetectedMods;        // ";"-separated, for the selected server
    bool offeredListReceived = false;    // the selected server's Auto-Addon list is in the database
    bool editing = false;
};

// The server setup dialog without its window: the values, both mod lists and
// which controls are enabled. The window shows it after every change.
class ServerSetup {
public:
    static constexpr std::size_t kCopyFromLimit = 200;
    static constexpr std::size_t kCopyFromNameLength = 50;

    // values: the entry edited, or a new entry's defaults.
    ServerSetup(ServerSetupInputs inputs, ServerEntry values);

    const ServerEntry &values() const { return m_values; }
    const std::vector<std::string> &available() const { return m_available; } // sorted
    const std::vector<std::string> &toLoad() const { return m_toLoad; }       // load order

    bool descriptionEnabled() const { return m_values.local || m_inputs.editing; }
    bool networkFieldsEnabled() const { return !m_values.local; } // address, password, both mod boxes
    bool autoDetectEnabled() const;

    // The typed texts, taken before a change that refills the controls.
    void setTexts(std::string address, std::string password, std::string name, std::string startupParameters,
                  std::string executable);
    void setLocal(bool local);
    // The address text changed; from then on the auto-detect button stays off.
    void addressEdited();
    void setAutomaticModSelection(bool on);
    void setLoadServerMods(bool on);

    // The list operations; out of range does nothing. They return the new
    // index of the moved item in its new list (-1 when nothing moved).
    int add(int availableIndex);
    int remove(int toLoadIndex);
    int up(int toLoadIndex);
    int down(int toLoadIndex);
    void useAutoDetected();
    // A folder picked with the folder browser, relative to the game folder.
    bool addFolder(const std::string &folder);

    // The copy-from menu: the other entries' names, at most 200, each cut to 50 characters.
    std::vector<std::string> copyFromNames() const;
    void copyFrom(std::size_t index);

    // OK: the values with the texts trimmed and the load list joined.
    ServerEntry result() const;

private:
    void refill();

    ServerSetupInputs m_inputs;
    ServerEntry m_values;
    std::vector<std::string> m_available;
    std::vector<std::string> m_toLoad;
    bool m_replaced = false;
};

} // namespace garrison
