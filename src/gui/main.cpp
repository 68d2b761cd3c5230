#include "app/StartupSwitches.h"
#include "gui/MainWindow.h"
#include "gui/ProgramIcon.h"
#include "gui/SingleInstance.h"
#include "gui/SoundPlayer.h"
#include "lang/LanguageLoader.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>

using namespace garrison;

int main(int argc, char **argv)
{
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
    QApplication::setApplicationName(QStringLiteral("Garrison"));
    QApplication::setDesktopFileName(QStringLiteral("garrison"));
    QApplication::setWindowIcon(gui::programIcon());

    gui::SingleInstance instance(QString::fromStdString(singleInstanceName()));
    if (instance.askRunningCopy())
        return 0;
    instance.listen();

    // Qt took its own options out of argv; the rest are the program's switches.
    MainStart start;
    start.commandLine.assign(argv + 1, argv + argc);
    const LanguageTable language = loadLanguageTable();
    gui::SoundPlayer sound;
    gui::MainWindow window(language, sound, std::move(start));
    QObject::connect(&instance, &gui::SingleInstance::secondCopyStarted, &window, &gui::MainWindow::handOver);
    QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
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
