#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/OfferedPackage.h"
#include "platform/FileSystem.h"

#include <string>
#include <vector>

namespace garrison {

// Switching add-on files off and on by renaming them between their name and
// their inactive name. Renames never replace a file: a name taken by a file
// the database does not know blocks the activation and nothing is lost.
class Activation {
public:
    explicit Activation(AddonDatabase &database) : m_database(database) {}

    void deactivate(FileNode &node);
    void activate(FileNode &node);
    void deactivatePackage(const Package &package);
    void activatePackage(const Package &package);

    // Before a launch onto a server: activates the offered files in the mod
    // folders the game will load (the last listed first, then "res\", then
    // the game folder), unless noActivation, and switches off the server's
    // deactivation list in every one of them.
    void activateForServer(const std::string &modList, bool noActivation, const OfferedList &offered);

private:
    bool rename(FileNode &node, const std::string &to);
    FsStatus move(const std::string &folder, const std::string &from, const std::string &to);
    std::vector<FileNode *> searchFolders(const std::string &modList) const;

    AddonDatabase &m_database;
};

} // namespace garrison
