#include "platform/NativePath.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

using namespace garrison;

namespace {

TEST(NativePath, TakesTheSpellingOnDiskForEachExistingComponent)
{
    test::TempFolder folder;
    folder.write("Res/AddOns/Tank.PBO", "x");
    const auto &root = folder.path();
    EXPECT_EQ(nativePath(root, "res\\addons\\tank.pbo"), root + "Res/AddOns/Tank.PBO");
    EXPECT_EQ(nativePath(root, "RES\\addons\\"), root + "Res/AddOns/");
    // Below the first missing component the given spelling stands.
    EXPECT_EQ(nativePath(root, "res\\new\\Sub\\a.pbo"), root + "Res/new/Sub/a.pbo");
    EXPECT_EQ(nativePath(root, ""), root);
    EXPECT_EQ(nativePath(root, "res\\\\addons\\"), root + "Res/AddOns/");
}

TEST(NativePath, WorksWithoutTrailingSlashOnTheGameFolder)
{
    test::TempFolder folder;
    folder.write("Res/x", "x");
    std::string root = folder.path();
    root.pop_back();
    EXPECT_EQ(nativePath(root, "res\\x"), root + "/Res/x");
}

TEST(NativePath, RefusesComponentsThatLeaveTheGameFolder)
{
    test::TempFolder folder;
    for (const char *relative : {"..\\etc\\passwd", "addons\\..\\..\\x", ".\\x", "a/..\\x", "addons\\..\\"})
        EXPECT_FALSE(nativePath(folder.path(), relative)) << relative;
}

} // namespace
