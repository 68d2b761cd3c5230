#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace garrison::gui {

// SIGTERM (a session that ends) and SIGINT as an event of the UI thread, so
// that Garrison closes as if its window were closed and nothing is lost.
// The signals must be blocked in every thread before any is started.
class QuitSignals final : public QObject {
    Q_OBJECT

public:
    QuitSignals();
    ~QuitSignals() override;

signals:
    void received();

private:
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace garrison::gui
