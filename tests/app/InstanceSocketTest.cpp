#include "app/InstanceSocket.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace garrison;

namespace {

const std::string kOwnFolder = "garrison-" + std::to_string(getuid());

TEST(InstanceSocket, APrivateRuntimeFolderHoldsIt)
{
    test::TempFolder temp; // made with mode 0700
    EXPECT_EQ(singleInstanceSocket((temp / "").c_str(), "/nonexistent"), temp / "GARRISON1222");
}

// Another user's folder, one open to all, a link, a relative path: the
// private folder in the temporary folder takes over, made with mode 0700.
TEST(InstanceSocket, AnUnsafeRuntimeFolderFallsBackToAFolderOfItsOwn)
{
    test::TempFolder temp;
    std::filesystem::create_directory(temp / "open");
    chmod((temp / "open").c_str(), 0777);
    std::filesystem::create_directory_symlink(temp.path(), temp / "link");
    for (const char *runtime : {static_cast<const char *>(nullptr), "", "relative/run"}) {
        const auto socket = singleInstanceSocket(runtime, temp.path().c_str());
        EXPECT_EQ(socket, temp / (kOwnFolder + "/GARRISON1222")) << (runtime ? runtime : "null");
    }
    for (const std::string &runtime : {temp / "open", temp / "link"})
        EXPECT_EQ(singleInstanceSocket(runtime.c_str(), temp.path().c_str()), temp / (kOwnFolder + "/GARRISON1222"))
            << runtime;
    struct stat info {};
    ASSERT_EQ(lstat((temp / kOwnFolder).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

// What another local user could plant there first is refused, not used.
TEST(InstanceSocket, APlantedFolderIsNeverUsed)
{
    test::TempFolder temp;
    std::filesystem::create_directory(temp / "elsewhere");
    std::filesystem::create_directory_symlink(temp / "elsewhere", temp / kOwnFolder);
    EXPECT_EQ(singleInstanceSocket(nullptr, temp.path().c_str()), std::nullopt) << "a link";

    std::filesystem::remove(temp / kOwnFolder);
    std::filesystem::create_directory(temp / kOwnFolder);
    chmod((temp / kOwnFolder).c_str(), 0777);
    EXPECT_EQ(singleInstanceSocket(nullptr, temp.path().c_str()), std::nullopt) << "open to all";

    std::filesystem::remove(temp / kOwnFolder);
    temp.write(kOwnFolder, "a file");
    EXPECT_EQ(singleInstanceSocket(nullptr, temp.path().c_str()), std::nullopt) << "a file";
}

} // namespace
