#include "gui/SingleInstance.h"

#include "app/InstanceSocket.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindow.h"
#include "lang/LanguageLoader.h"
#include "servers/SettingsFile.h"
#include "support/TempFolder.h"

#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

using namespace garrison;

namespace {

// The first copy is this test's window; the second is the real program.
TEST(SingleInstance, ASecondCopyBringsTheFirstWindowUpAndEnds)
{
    test::TempFolder temp;
    // The socket goes to the test's own private folder, away from a Garrison the user may be running.
    Settings settings;
    settings.options.autoAddonEnabled = false;
    temp.write("game/FLASHPOINTRESISTANCE.EXE", "");
    settings.options.gameFolder = temp / "game/";
    ASSERT_TRUE(SettingsFile::save(settings, temp / "garrison.sav"));

    const auto socket = singleInstanceSocket(temp.path().c_str(), nullptr);
    ASSERT_TRUE(socket);
    gui::SingleInstance first(QString::fromStdString(*socket));
    ASSERT_TRUE(first.listen());
    const LanguageTable language = loadLanguageTable("/nonexistent/garrisonlanguage.ini");
    test::RecordingSound sound;
    MainStart start;
    start.folder = temp.path();
    start.places = {temp / "noprefix", temp / "nohome"};
    gui::MainWindow window(language, sound, start);
    QObject::connect(&first, &gui::SingleInstance::secondCopyStarted, &window, &gui::MainWindow::handOver);
    window.initialise();
    ASSERT_FALSE(window.isVisible());

    QProcess second;
    second.setWorkingDirectory(QString::fromStdString(temp.path()));
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(temp.path()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    second.start(GARRISON_BINARY, {});
    ASSERT_TRUE(second.waitForStarted(5000));
    // Let this process answer the second copy while waiting for it to end.
    ASSERT_TRUE(test::waitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(test::waitFor([&] { return window.isVisible(); }, 5000));
    window.reject();
}

} // namespace
