#include "gui/LongJob.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

namespace garrison::gui {

void runOffTheUiThread(QWidget &parent, const QString &what, const std::function<void()> &job)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        job();
        done = true;
    });
    QProgressDialog busy(what, QString(), 0, 0, &parent);
    busy.setWindowModality(Qt::WindowModal);
    busy.setMinimumDuration(400);
    busy.setCancelButton(nullptr);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    poll.start(20);
    loop.exec();
    worker.join();
}

} // namespace garrison::gui
