#include "app/DataFolder.h"
#include "app/InstanceSocket.h"
#include "app/StartupSwitches.h"
#include "gui/MainWindow.h"
#include "gui/ProgramIcon.h"
#include "gui/QuitSignals.h"
#include "gui/SingleInstance.h"
#include "gui/SoundPlayer.h"
#include "lang/LanguageLoader.h"
#include "platform/SignalWait.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <cstdlib>

using namespace garrison;

int main(int argc, char **argv)
{
    // Before any thread starts, so that only QuitSignals sees them.
    blockSignals({SIGTERM, SIGINT});
    const std::vector<std::string> given(argv + 1, argv + argc);
    switch (startupAction(given)) {
    case StartupAction::EndAtOnce:
        return 0;
    case StartupAction::NoWindow: {
        // Started as a component: stays without a window until it is ended.
        QCoreApplication component(argc, argv);
        return component.exec();
    }
    case StartupAction::Run:
        break;
    }

    QApplication app(argc, argv);
    gui::QuitSignals quitSignals;
    QApplication::setApplicationName(QStringLiteral("Garrison"));
    QApplication::setDesktopFileName(QStringLiteral("garrison"));
    QApplication::setWindowIcon(gui::programIcon());

    // Without a private place for the socket there is no single-instance test, rather than a foreign one.
    const auto socket = singleInstanceSocket(std::getenv("XDG_RUNTIME_DIR"), std::getenv("TMPDIR"));
    gui::SingleInstance instance(QString::fromStdString(socket.value_or(std::string())));
    if (socket && instance.askRunningCopy())
        return 0;
    if (socket)
        instance.listen();

    // Qt took its own options out of argv; the rest are the program's switches.
    MainStart start;
    start.commandLine.assign(argv + 1, argv + argc);
    if (takeDataFolderSwitch(start.commandLine)) {
        const std::string folder = desktopDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        if (!enterFolder(folder)) {
            QMessageBox::critical(nullptr, QStringLiteral("Garrison"),
                                  QStringLiteral("Garrison cannot work in %1.").arg(QString::fromStdString(folder)));
            return 1;
        }
    }
    const LanguageTable language = loadLanguageTable();
    gui::SoundPlayer sound;
    gui::MainWindow window(language, sound, std::move(start));
    QObject::connect(&instance, &gui::SingleInstance::secondCopyStarted, &window, &gui::MainWindow::handOver);
    QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
    // Closed as if by its Close button, with any dialog in front cancelled first.
    QObject::connect(&quitSignals, &gui::QuitSignals::received, &window, [&window] {
        if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != &window)
            modal->close();
        QTimer::singleShot(0, &window, [&window] { window.accept(); });
    });
    window.show();
    window.initialise();
    const int result = app.exec();
    if (window.restartRequested()) {
        // The new copy reads the settings just saved, in the same working directory.
        instance.release();
        QProcess::startDetached(QCoreApplication::applicationFilePath(), {}, QDir::currentPath());
    }
    return result;
}
