#include "app/DatabaseKeeper.h"

#include "RecordingMainView.h"

#include "aaserver/OfferedBlockWriter.h"
#include "addondb/DatabaseFile.h"
#include "lang/LanguageLoader.h"
#include "support/Loopback.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace garrison;

namespace {

const LanguageTable &language()
{
    static const LanguageTable table = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    return table;
}

MemoryStream offeredList(const std::string &package)
{
    OfferedContent content;
    content.packages = {{"http://x/" + package + ".zip", 10, package, "", 7, {{"addons\\" + package + ".pbo", 3, 1}}}};
    MemoryStream stream;
    const auto block = writeOfferedBlock(content);
    stream.write(block.data(), block.size());
    return stream;
}

// The database part alone: a first scan, then a list that waits while the Manager works.
TEST(DatabaseKeeper, AListThatArrivesWhileTheManagerIsOpenWaitsForItsClose)
{
    test::TempFolder temp;
    temp.write("game/OperationFlashpoint.exe", "exe");
    temp.write("game/AddOns/old.pbo", "old");
    test::RecordingMainView view;
    DatabaseKeeper keeper(language(), temp / "garrison.dat");
    Options options;
    options.gameFolder = temp.path() + "/game/";
    keeper.start(options, view);
    EXPECT_EQ(view.actions, std::vector<std::string>{"first run"}) << "no garrison.dat yet";
    ASSERT_TRUE(keeper.scanRunning());
    EXPECT_TRUE(keeper.takeScanStart());
    EXPECT_FALSE(keeper.takeScanStart()) << "once";
    ASSERT_TRUE(test::eventually([&] { return keeper.scanHasEnded(); }, std::chrono::seconds(20)));
    keeper.finishScan();
    ASSERT_TRUE(keeper.ready());
    EXPECT_FALSE(std::filesystem::exists(temp / "garrison.dat")) << "the scan alone writes nothing";
    EXPECT_FALSE(keeper.save());
    EXPECT_TRUE(std::filesystem::exists(temp / "garrison.dat"));

    const MemoryStream list = offeredList("tanks");
    keeper.managerOpening();
    keeper.listArrived();
    EXPECT_FALSE(keeper.takeUpWaitingList(list, true)) << "the Manager works on the old list";
    EXPECT_TRUE(keeper.database().offered().packages.empty());
    keeper.managerClosed();
    const auto wanted = keeper.takeUpWaitingList(list, true);
    ASSERT_TRUE(wanted);
    EXPECT_TRUE(*wanted) << "tanks is required and missing";
    ASSERT_EQ(keeper.database().offered().packages.size(), 1u);
    EXPECT_TRUE(keeper.database().offered().installExistingFiles) << "the player's choice, not the list's";
    EXPECT_FALSE(keeper.takeUpWaitingList(list, true)) << "taken once";

    keeper.forgetOfferedList(false);
    EXPECT_TRUE(keeper.database().offered().packages.empty());
    EXPECT_FALSE(keeper.database().offered().installExistingFiles);
}

TEST(DatabaseKeeper, AFailedSaveNamesTheFileAndItsReason)
{
    test::TempFolder temp;
    std::filesystem::create_directories(temp / "garrison.dat");
    DatabaseKeeper keeper(language(), temp / "garrison.dat");
    keeper.database().setGameFolder(temp.path() + "/");
    keeper.database().makeRoot();
    const Failure failure = keeper.save();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure.why().rfind(temp / "garrison.dat", 0), 0u) << failure.why();
    EXPECT_NE(failure.error(), 0);
}

} // namespace
