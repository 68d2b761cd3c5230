#include "addondb/FileTree.h"
#include "addondb/InactiveName.h"
#include "addondb/StockFileTree.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

// root: addons\ { x.pbo (10, 0xA), old.pbo Missing }, Missions\ { m\ { a.sqm } }
struct SmallTree {
    NodeRef root = FileNode::makeFolder("/games/ofp/");
    NodeRef addons = FileNode::makeFolder("addons\\");
    NodeRef x = FileNode::makeFile("x.pbo", 10, 0xA, 0);
    NodeRef old = FileNode::makeFile("old.pbo", 20, 0xB, 0);
    NodeRef missions = FileNode::makeFolder("Missions\\");
    NodeRef m = FileNode::makeFolder("m\\");
    NodeRef sqm = FileNode::makeFile("a.sqm", 5, 0xC, 99);

    SmallTree()
    {
        root->packageCount = FileNode::kRootPackageCount;
        insertChild(*root, addons);
        insertChild(*addons, x);
        insertChild(*addons, old);
        old->status = NodeStatus::Missing;
        insertChild(*root, missions);
        insertChild(*missions, m);
        insertChild(*m, sqm);
    }
};

TEST(FileNode, PathsAndTexts)
{
    SmallTree t;
    EXPECT_EQ(t.x->relativePath(), "addons\\x.pbo");
    EXPECT_EQ(t.x->fullPath(), "/games/ofp/addons\\x.pbo");
    EXPECT_EQ(t.sqm->parentRelativePath(), "Missions\\m\\");
    EXPECT_EQ(t.sqm->parentPath(), "/games/ofp/Missions\\m\\");
    EXPECT_EQ(t.addons->relativePath(), "addons\\");
    EXPECT_EQ(t.root->relativePath(), "");
    EXPECT_EQ(t.sqm->pathComponents(), (std::vector<std::string>{"Missions\\", "m\\", "a.sqm"}));

    const struct {
        std::uint32_t size;
        const char *text;
    } sizes[] = {{0, "0 KB"}, {1, "1 KB"}, {1048576, "1,024 KB"}, {1048577, "1,025 KB"}};
    for (const auto &c : sizes)
        EXPECT_EQ(FileNode::makeFile("f", c.size, 0, 0)->sizeText(" KB"), c.text);
    EXPECT_EQ(FileNode::makeFile("f", 0, 0x1234, 0)->crcText(), "00001234");
    EXPECT_EQ(FileNode::makeFile("f", 0, 0xB32F5E43, 0)->crcText(), "b32f5e43");
    EXPECT_STREQ(t.old->statusText(), "Missing");
    EXPECT_STREQ(t.x->statusText(), "");

    // The disk name follows the name until it is set apart.
    t.x->setDiskName("x.pbo.0000000a.aab");
    EXPECT_EQ(t.x->diskName(), "x.pbo.0000000a.aab");
    t.x->setDiskName("x.pbo");
    EXPECT_EQ(t.x->diskName(), "x.pbo");
}

TEST(FileNode, ANodeHeldElsewhereOutlivesItsFolderWithoutAParent)
{
    NodeRef kept, renamed;
    {
        SmallTree t;
        kept = t.x;
        renamed = t.sqm;
        renamed->setName("b.sqm");
        EXPECT_EQ(renamed->diskName(), "a.sqm");
    }
    // The folders are gone: no path through them, and nothing read from freed memory.
    EXPECT_EQ(kept->parent, nullptr);
    EXPECT_EQ(kept->relativePath(), "");
    EXPECT_EQ(kept->fullPath(), "x.pbo");
    EXPECT_EQ(renamed->diskName(), "a.sqm");
    NodeRef copy = kept;
    kept.reset();
    EXPECT_EQ(copy->name(), "x.pbo");
    EXPECT_TRUE(copy == NodeRef(copy.get()));
}

TEST(NodeName, EveryLengthInsideOrOnTheHeapAndBackAgain)
{
    const std::string lengths[] = {"",
                                   "a",
                                   std::string(22, 'x'),  // the longest kept inside
                                   std::string(23, 'y'),  // the shortest on the heap
                                   std::string(300, 'z'), // longer than the tag's byte could count
                                   "back inside.pbo"};
    NodeName name;
    EXPECT_EQ(name.view(), "");
    name.assign(std::string_view()); // no pointer behind it
    EXPECT_EQ(name.view(), "");
    for (const auto &text : lengths) {
        name.assign(text);
        EXPECT_EQ(name.view(), text) << text.size();
        name.assign(name.view()); // from itself
        EXPECT_EQ(name.view(), text) << text.size();
    }
    // A rename keeps the disk name, however long either is.
    const auto node = FileNode::makeFile(std::string(40, 'n') + ".pbo", 1, 2, 3);
    node->setName("short.pbo");
    EXPECT_EQ(node->name(), "short.pbo");
    EXPECT_EQ(node->diskName(), std::string(40, 'n') + ".pbo");
}

TEST(InactiveName, NameDotEightLowerCaseHexDigitsDotAab)
{
    EXPECT_EQ(inactiveName("x.pbo", 0x0A1B2C3D), "x.pbo.0a1b2c3d.aab");
    EXPECT_EQ(inactiveName("X.PBO", 0), "X.PBO.00000000.aab");
    EXPECT_EQ(inactiveName("readme", 0xFFFFFFFF), "readme.ffffffff.aab");
}

TEST(FileTree, FindByPathAndIdentity)
{
    SmallTree t;
    const struct {
        const char *path;
        std::uint32_t size, crc;
        bool includeMissing;
        const FileNode *found;
    } cases[] = {
        {"ADDONS\\X.PBO", 10, 0xA, false, t.x.get()},
        {"addons\\x.pbo", 11, 0xA, false, nullptr},
        {"addons\\x.pbo", 10, 0xB, false, nullptr},
        {"addons\\old.pbo", 20, 0xB, false, nullptr},
        {"addons\\old.pbo", 20, 0xB, true, t.old.get()},
        {"missions\\m\\", 0, 0, false, t.m.get()},
        {"missions\\m", 0, 0, false, nullptr}, // a folder needs its backslash
        {"missions\\m\\a.sqm", 5, 0xC, false, t.sqm.get()},
        {"x.pbo", 10, 0xA, false, nullptr},
        {"", 0, 0, false, nullptr},
    };
    for (const auto &c : cases)
        EXPECT_EQ(findByPathAndIdentity(*t.root, c.path, c.size, c.crc, c.includeMissing), c.found) << c.path;

    EXPECT_EQ(findPresentByPath(*t.root, "addons\\x.pbo"), t.x.get());
    EXPECT_EQ(findPresentByPath(*t.root, "addons\\old.pbo"), nullptr);
    t.m->status = NodeStatus::Missing;
    EXPECT_EQ(findByPathAndIdentity(*t.root, "missions\\m\\", 0, 0, false), nullptr);
    EXPECT_EQ(findByPathAndIdentity(*t.root, "missions\\m\\", 0, 0, true), t.m.get());
}

TEST(FileTree, SearchFlattenCountForget)
{
    SmallTree t;
    EXPECT_EQ(searchByIdentity(*t.root, "A.SQM", 5, 0xC), t.sqm.get());
    EXPECT_EQ(searchByIdentity(*t.root, "old.pbo", 20, 0xB), nullptr);
    EXPECT_EQ(searchByIdentity(*t.addons, "a.sqm", 5, 0xC), nullptr);
    const std::vector<FileNode *> order = {t.addons.get(),   t.x.get(), t.old.get(),
                                           t.missions.get(), t.m.get(), t.sqm.get()};
    EXPECT_EQ(flatten(*t.root), order);
    auto upper = FileNode::makeFile("Y.PBO", 1, 1, 0);
    insertChild(*t.m, upper);
    EXPECT_EQ(countAddonFiles(*t.root), 2); // x.pbo and Y.PBO; old.pbo is missing
    forgetTimes(*t.root);
    EXPECT_EQ(t.sqm->time, 0u);
}

TEST(FileTree, PruneKeepsHeldNodesAndTheirFolders)
{
    SmallTree t;
    t.sqm->packageCount = 1;
    EXPECT_EQ(prune(*t.root), std::int64_t{FileNode::kRootPackageCount} + 1);
    ASSERT_EQ(t.root->children.size(), 1u);
    EXPECT_EQ(t.root->children[0], t.missions);
    EXPECT_EQ(t.m->children.size(), 1u);

    t.sqm->packageCount = 0;
    prune(*t.root);
    EXPECT_TRUE(t.root->children.empty());
}

TEST(StockFileTree, Lookups)
{
    auto stock = StockFileTree::builtIn();
    const struct {
        const char *path;
        bool stock;
    } cases[] = {
        {"addons\\", true},
        {"AddOns\\6G30.pbo", true},
        {"addons\\kolo.pbo", false}, // only Resistance has it
        {"res\\addons\\kolo.pbo", true},
        {"Res\\Dta\\HWTL\\merged.pbo", true},
        {"res\\dta\\hwtl\\", true},
        {"missions\\", true},
        {"missions\\my.pbo", false},
        {"mpmissionscache\\", true},
        {"flashpointresistance.exe", true},
        {"uninstallresistance.log", true},
        {"worlds\\intro.wrp", true},
        {"MyMod\\", false},
        {"addons", false},
        {"bin\\addons\\", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(stock.contains(c.path), c.stock) << c.path;
    stock.release();
    EXPECT_TRUE(stock.contains("dta\\voice.pbo"));

    // Data that does not unpack finds nothing.
    const std::uint8_t junk[] = {16, 0, 0, 0, 1, 2, 3};
    StockFileTree broken(junk);
    EXPECT_FALSE(broken.contains("addons\\"));
}

} // namespace
