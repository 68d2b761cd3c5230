#pragma once

#include "addondb/AddonDatabase.h"
#include "addondb/FileScanner.h"
#include "addondb/FileTree.h"
#include "addondb/PackageOperations.h"
#include "lang/LanguageLoader.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

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

    NodeRef ref(const std::string &path)
    {
        FileNode *wanted = node(path);
        for (const auto &package : database.packages()) {
            for (const auto &file : package.files) {
                if (file.get() == wanted)
                    return file;
            }
        }
        return nullptr;
    }
    std::size_t shownUnder(const NodeRef &n)
    {
        for (std::size_t i = 0; i < database.packages().size(); ++i) {
            if (database.packages()[i].holds(n.get()))
                return i;
        }
        return 0;
    }
    // A package made in the Manager from the files at paths.
    std::size_t makePackage(const std::string &name, const std::vector<std::string> &paths)
    {
        std::vector<ShownFile> files;
        for (const auto &path : paths) {
            const NodeRef n = ref(path);
            files.push_back({n, shownUnder(n)});
        }
        EXPECT_EQ(newPackage(database, name, "", files), PackageNameCheck::Ok);
        return database.packages().size() - 1;
    }

    TempFolder game;
    AddonDatabase database;
};

} // namespace garrison::test
