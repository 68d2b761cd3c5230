#include "gui/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace garrison::gui {

namespace {

constexpr int kAnswerWithinMs = 1000;

} // namespace

SingleInstance::SingleInstance(QString name, QObject *parent) : QObject(parent), m_name(std::move(name))
{
}

bool SingleInstance::askRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kAnswerWithinMs))
        return false;
    socket.write("show\n");
    socket.waitForBytesWritten(kAnswerWithinMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A copy that crashed leaves its socket behind; nobody answered on it.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            emit secondCopyStarted();
        }
    });
    return true;
}

void SingleInstance::release()
{
    if (m_server)
        m_server->close();
}

} // namespace garrison::gui
