#include "gui/GuiTestSupport.h"
#include "support/TempFolder.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

using namespace garrison;

namespace {

// Started from the desktop menu in an empty home, then ended by the session.
TEST(DataFolderStart, TheMenuEntryWorksInTheDataFolderAndTheSessionsEndSavesThere)
{
    test::TempFolder temp;
    std::filesystem::create_directories(temp / "home");
    std::filesystem::create_directories(temp / "started-here");
    QProcess garrison;
    garrison.setWorkingDirectory(QString::fromStdString(temp / "started-here"));
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", QString::fromStdString(temp / "home"));
    environment.remove("XDG_DATA_HOME");
    environment.remove("WINEPREFIX");
    environment.insert("TMPDIR", QString::fromStdString(temp.path())); // its single-instance socket
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    garrison.setProcessEnvironment(environment);
    garrison.start(GARRISON_BINARY, {"--data-folder"});
    ASSERT_TRUE(garrison.waitForStarted(5000));
    const std::string data = temp / "home/.local/share/garrison";
    ASSERT_TRUE(test::waitFor([&] { return std::filesystem::exists(data); }));

    // No game anywhere: it asks where the game is; the session ends meanwhile.
    kill(static_cast<pid_t>(garrison.processId()), SIGTERM);
    ASSERT_TRUE(garrison.waitForFinished(10000));
    EXPECT_EQ(garrison.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(garrison.exitCode(), 0);
    EXPECT_TRUE(std::filesystem::exists(data + "/garrison.sav"));
    EXPECT_TRUE(std::filesystem::is_empty(temp / "started-here"));
    for (const auto &entry : std::filesystem::recursive_directory_iterator(temp.path())) {
        if (entry.path().filename().string().starts_with("garrison.")) {
            EXPECT_EQ(entry.path().parent_path(), data) << entry.path();
        }
    }
}

} // namespace
