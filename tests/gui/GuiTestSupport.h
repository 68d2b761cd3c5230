#pragma once

#include "app/SoundOutput.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <type_traits>
#include <vector>

namespace garrison::test {

// Remembers what would have played.
class RecordingSound final : public SoundOutput {
public:
    std::vector<int> played;
    void play(int id) override { played.push_back(id); }
};

// Runs act on the next modal window of that type that opens (a dialog
// started with exec()); other modal windows that open first are let be.
template <typename Window = QWidget>
void whenModalOpens(std::type_identity_t<std::function<void(Window &)>> act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto *modal = qobject_cast<Window *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*modal);
        }
    });
    poll->start(10);
}

// Waits, running the event loop, until the condition holds; false after the limit.
inline bool waitFor(const std::function<bool()> &condition, int limitMs = 10000)
{
    return QTest::qWaitFor(condition, limitMs);
}

} // namespace garrison::test
