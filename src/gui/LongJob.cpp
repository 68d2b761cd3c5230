#include "gui/LongJob.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>

#include <thread>

namespace garrison::gui {

namespace {

// Swallows what the player clicks and types while a job runs, from its very
// start: a second command on the same database must not begin meanwhile.
class InputBlock final : public QObject {
public:
    InputBlock() { qApp->installEventFilter(this); }
    ~InputBlock() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
            return true;
        case QEvent::Close:
            // The window manager's close button waits for the job too.
            if (event->spontaneous()) {
                event->ignore();
                return true;
            }
            return false;
        default:
            return false;
        }
    }
};

} // namespace

void runOffTheUiThread(QWidget &parent, const QString &what, const std::function<void()> &job)
{
    const InputBlock block;
    QEventLoop loop;
    std::thread worker([&] {
        job();
        // Ends the wait from here; the loop quits once it runs, even when the job was quicker.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QProgressDialog busy(what, QString(), 0, 0, &parent);
    busy.setWindowModality(Qt::WindowModal);
    busy.setMinimumDuration(400);
    busy.setCancelButton(nullptr);
    loop.exec();
    worker.join();
}

} // namespace garrison::gui
