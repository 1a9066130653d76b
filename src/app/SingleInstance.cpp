#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace app {

namespace {

const QByteArray kActivateMessage = QByteArrayLiteral("activate\n");

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    // User names may hold characters a socket name cannot; a digest keeps it
    // short and valid while staying one name per user.
    const QByteArray digest =
        QCryptographicHash::hash((user + QStringLiteral("Veskaro")).toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("Veskaro-") + QString::fromLatin1(digest.left(16));
}

bool SingleInstance::handOverToRunningInstance(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kActivateMessage);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

SingleInstance::Listen SingleInstance::listen()
{
    if (m_server)
        return Listen::Listening;
    auto* server = new QLocalServer(this);
    // No socket options: with them the server is set up beside the name and
    // moved over it, which would silently take the name from a running instance.
    if (!server->listen(m_name)) {
        // Either another instance has just started listening, or a crashed
        // instance left its socket behind. Only the second may be cleared.
        if (handOverToRunningInstance(500)) {
            delete server;
            return Listen::HandedOver;
        }
        QLocalServer::removeServer(m_name);
        if (!server->listen(m_name)) {
            delete server;
            return Listen::Unavailable;
        }
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return Listen::Listening;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto readRequest = [this, socket] {
            const QByteArray received = socket->readAll();
            if (received.contains(kActivateMessage.trimmed()))
                Q_EMIT activationRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        if (socket->bytesAvailable() > 0)
            readRequest();
    }
}

}  // namespace app
