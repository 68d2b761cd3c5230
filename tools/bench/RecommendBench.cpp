// garrison-bench-recommend: mod folder recommendation for 200 offered
// packages against 30 mod folders that all hold copies of them (the search's
// worst case without cuts), built in memory. Target: within 100 ms.
#include "addondb/AddonDatabase.h"
#include "addondb/FileTree.h"
#include "addondb/ModRecommendation.h"
#include "lang/LanguageTable.h"

#include <chrono>
#include <cstdio>
#include <string>

using namespace garrison;

int main()
{
    constexpr int kPackages = 200;
    constexpr int kMods = 30;
    const LanguageTable language;
    AddonDatabase database(language);
    database.setGameFolder("/bench/");
    FileNode &root = database.makeRoot();
    for (int m = 0; m < kMods; ++m) {
        auto mod = FileNode::makeFolder("@mod" + std::to_string(m) + "\\");
        auto addons = FileNode::makeFolder("AddOns\\");
        insertChild(root, mod);
        insertChild(*mod, addons);
        for (int p = 0; p < kPackages; ++p)
            insertChild(*addons,
                        FileNode::makeFile("pack" + std::to_string(p) + ".pbo", 1000u + static_cast<unsigned>(p),
                                           static_cast<std::uint32_t>(p), 0));
        // Different costs, the cheapest last.
        for (int b = 0; b < kMods - m; ++b)
            insertChild(*addons, FileNode::makeFile("ballast" + std::to_string(b) + ".pbo", 1, 1, 0));
    }
    database.derive();
    for (int p = 0; p < kPackages; ++p) {
        OfferedPackage package;
        package.name = "pack" + std::to_string(p);
        package.tree = FileNode::makeFolder({});
        auto addons = FileNode::makeFolder("addons\\");
        insertChild(*package.tree, addons);
        auto file = FileNode::makeFile("pack" + std::to_string(p) + ".pbo", 1000u + static_cast<unsigned>(p),
                                       static_cast<std::uint32_t>(p), 0);
        insertChild(*addons, file);
        package.files = {addons, file};
        database.offered().packages.push_back(std::move(package));
    }
    double best = 1e9;
    std::string result;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        result = recommendMods(database, {});
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("recommend mods, %d packages x %d mod folders holding copies: %.1f ms (within 100 ms wanted), "
                "answer %s\n",
                kPackages, kMods, best * 1000, result.c_str());
    return 0;
}
