#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace garrison::gui {

// One Garrison per user: the first copy listens on a local socket; a second
// copy finds it there, asks it to come forward, and ends.
class SingleInstance final : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString name, QObject *parent = nullptr);

    // True when another copy answered and was asked to come forward.
    bool askRunningCopy();
    // Starts listening; false when the socket could not be made (the
    // program then runs without the single-instance test).
    bool listen();
    // Stops answering, so that a copy started now takes over.
    void release();

signals:
    void secondCopyStarted();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};

} // namespace garrison::gui
