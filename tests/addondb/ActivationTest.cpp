#include "ScannerFixture.h"

#include "addondb/Activation.h"
#include "addondb/InactiveName.h"
#include "platform/FileSystem.h"

#include "support/CrcForge.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace garrison;
using test::crcOf;

namespace {

class ActivationTest : public ::testing::Test, public test::ScannerFixture {
protected:
    Activation activation{database};
    // The file nodes named name in folder, in child order.
    std::vector<FileNode *> versions(const std::string &folder, const std::string &name)
    {
        std::vector<FileNode *> found;
        for (const auto &child : node(folder)->children) {
            if (child->name() == name)
                found.push_back(child.get());
        }
        return found;
    }
};

TEST_F(ActivationTest, DeactivateAndActivateRename)
{
    file("addons/x.pbo", "A");
    file("addons/y.pbx", "Y");
    scan();
    FileNode &x = *node("addons\\x.pbo");
    activation.deactivate(x);
    const std::string inactive = "x.pbo.d3d99e8b.aab"; // the CRC-32 of "A"
    EXPECT_EQ(x.status, NodeStatus::Inactive);
    EXPECT_EQ(x.diskName(), inactive);
    EXPECT_TRUE(pathExists(game / ("addons/" + inactive)));
    EXPECT_FALSE(pathExists(game / "addons/x.pbo"));
    activation.deactivate(x); // already off: nothing
    EXPECT_EQ(x.diskName(), inactive);
    activation.deactivate(*node("addons\\")); // folders never move
    EXPECT_TRUE(pathExists(game / "addons"));

    activation.activate(x);
    EXPECT_EQ(x.status, NodeStatus::Present);
    EXPECT_TRUE(pathExists(game / "addons/x.pbo"));
    activation.activate(*node("addons\\y.pbo"));
    EXPECT_TRUE(pathExists(game / "addons/y.pbo"));
    EXPECT_FALSE(pathExists(game / "addons/y.pbx"));
}

TEST_F(ActivationTest, ActivatingOneVersionSwitchesOffTheOther)
{
    file("addons/x.pbo", "version A");
    file("addons/" + inactiveName("x.pbo", crcOf("version B")), "version B");
    scan();
    const auto both = versions("addons\\", "x.pbo");
    ASSERT_EQ(both.size(), 2u);
    FileNode &a = *both[both[0]->crc == crcOf("version A") ? 0 : 1];
    FileNode &b = *both[both[0]->crc == crcOf("version A") ? 1 : 0];
    activation.activate(b);
    EXPECT_EQ(b.status, NodeStatus::Present);
    EXPECT_EQ(a.status, NodeStatus::Inactive);
    EXPECT_EQ(game.read("addons/x.pbo"), "version B");
    EXPECT_EQ(game.read("addons/" + inactiveName("x.pbo", crcOf("version A"))), "version A");
}

TEST_F(ActivationTest, AForeignFileBlocksAndNothingIsLost)
{
    file("addons/x.pbo", "ours");
    scan();
    FileNode &x = *node("addons\\x.pbo");
    activation.deactivate(x);
    // Spelt otherwise, it is the same name to the game.
    for (const char *foreign : {"x.pbo", "X.PBO"}) {
        file(std::string("addons/") + foreign, "foreign, unknown to the database");
        activation.activate(x);
        EXPECT_EQ(x.status, NodeStatus::Inactive) << foreign;
        EXPECT_EQ(game.read(std::string("addons/") + foreign), "foreign, unknown to the database") << foreign;
        EXPECT_EQ(game.read("addons/" + std::string(x.diskName())), "ours") << foreign;
        EXPECT_FALSE(foreign == std::string("X.PBO") && pathExists(game / "addons/x.pbo")) << foreign;
        std::filesystem::remove(game / (std::string("addons/") + foreign));
    }
}

TEST_F(ActivationTest, ForServerUsesTheLastListedModFirst)
{
    for (const auto *mod : {"moda", "modb"})
        file(std::string(mod) + "/addons/x.pbo", "X");
    scan();
    database.derive();
    for (const auto *mod : {"moda\\addons\\x.pbo", "modb\\addons\\x.pbo"})
        activation.deactivate(*node(mod));

    OfferedList offered;
    OfferedPackage package;
    package.tree = FileNode::makeFolder({});
    auto addons = FileNode::makeFolder("addons\\");
    insertChild(*package.tree, addons);
    auto wanted = FileNode::makeFile("x.pbo", 1, crcOf("X"), 0);
    insertChild(*addons, wanted);
    package.files = {addons, wanted};
    offered.packages.push_back(package);

    activation.activateForServer(" moda ; modb ;", false, offered);
    EXPECT_EQ(node("modb\\addons\\x.pbo")->status, NodeStatus::Present);
    EXPECT_EQ(node("moda\\addons\\x.pbo")->status, NodeStatus::Inactive);

    // With the switch set nothing is activated, but the deactivation list
    // still works, directly in a search folder and anywhere below its addons\.
    file("modb/addons/deep/y.pbo", "Y");
    file("y.pbo", "Y");
    scan();
    database.derive();
    offered.deactivations = {{"y.pbo", 1, crcOf("Y")}};
    activation.activateForServer("modb", true, offered);
    EXPECT_EQ(node("modb\\addons\\deep\\y.pbo")->status, NodeStatus::Inactive);
    EXPECT_EQ(node("y.pbo")->status, NodeStatus::Inactive);
    EXPECT_EQ(node("moda\\addons\\x.pbo")->status, NodeStatus::Inactive);
}

} // namespace
