#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/FileScanner.h"
#include "addondb/FileTree.h"
#include "lang/LanguageLoader.h"
#include "support/TempFolder.h"

#include <string>
#include <vector>

namespace garrison::test {

// A game folder in a temporary directory and a database over it.
class ScannerFixture {
public:
    ScannerFixture() : database(language()) { database.setGameFolder(game.path()); }

    static const LanguageTable &language()
    {
        static const LanguageTable table = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
        return table;
    }

    std::string file(const std::string &relative, const std::string &content = "data")
    {
        return game.write(relative, content);
    }
    void scan() { FileScanner(database).scan(); }
    FileNode *node(const std::string &relativePath) const
    {
        for (FileNode *candidate : flatten(*database.root())) {
            if (candidate->relativePath() == relativePath)
                return candidate;
        }
        return nullptr;
    }
    // Names of the packages that hold the node at relativePath.
    std::vector<std::string> packagesOf(const std::string &relativePath) const
    {
        std::vector<std::string> names;
        const FileNode *wanted = node(relativePath);
        for (const auto &package : database.packages()) {
            if (wanted && package.holds(wanted))
                names.push_back(package.name);
        }
        return names;
    }

    TempFolder game;
    AddonDatabase database;
};

} // namespace garrison::test
