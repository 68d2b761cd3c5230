// Rings the alarm as the monitor cycle repeats it, every two seconds, four
// times, through the real sound player, then ends.
#include "gui/SoundPlayer.h"
#include "monitor/MonitorCycle.h"

#include <QGuiApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    garrison::gui::SoundPlayer sound;
    int rings = 0;
    QTimer repeat;
    QObject::connect(&repeat, &QTimer::timeout, [&] {
        if (rings == 4) {
            QTimer::singleShot(1500, &app, &QCoreApplication::quit);
            repeat.stop();
            return;
        }
        sound.play(garrison::MonitorCycle::kAlarmSound);
        ++rings;
    });
    repeat.start(2000);
    QTimer::singleShot(0, [&] { repeat.timeout({}); });
    return app.exec();
}
