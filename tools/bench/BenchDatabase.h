#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/FileTree.h"

#include <string>

namespace garrison::bench {

// A database of files add-on files in folders of 100 below mod folders, as a
// large collection has them, without touching the disk. Names vary in length
// as real ones do.
inline void fillDatabase(AddonDatabase &database, int files)
{
    static const char *const kPrefixes[] = {"", "bis_", "ww2_tanks_", "kegetys_", "ecp_effects_", "jam_"};
    FileNode &root = database.makeRoot();
    root.setName(database.gameFolder());
    NodeRef mod, folder;
    for (int i = 0; i < files; ++i) {
        if (i % 10000 == 0) {
            mod = FileNode::makeFolder("@mod" + std::to_string(i / 10000) + "\\");
            insertChild(root, mod);
            database.assignStandardPackage(mod);
        }
        if (i % 100 == 0) {
            folder = FileNode::makeFolder("pack" + std::to_string(i / 100) + "\\");
            insertChild(*mod, folder);
            database.assignStandardPackage(folder);
        }
        const auto number = static_cast<std::uint32_t>(i);
        auto file = FileNode::makeFile(std::string(kPrefixes[i % 6]) + "addon" + std::to_string(i) + ".pbo",
                                       100000 + number % 77777, number * 2654435761u,
                                       132000000000000000ull + number * 10000000ull);
        insertChild(*folder, file);
        database.assignStandardPackage(file);
    }
}

} // namespace garrison::bench
