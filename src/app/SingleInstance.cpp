#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMetaMethod>
#include <QStandardPaths>
#include <QThread>

#include <utility>

namespace app {

namespace {

const QByteArray kActivateMessage = QByteArrayLiteral("activate\n");

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), m_name(std::move(name))
{
}

SingleInstance::~SingleInstance()
{
    // The socket goes before the lock that guards it.
    delete m_server;
    m_server = nullptr;
}

QString SingleInstance::defaultName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    // User names may hold characters a socket name cannot; a digest keeps it
    // short and valid while staying one name per user.
    const QByteArray digest =
        QCryptographicHash::hash((user + QStringLiteral("Veskaro")).toUtf8(), QCryptographicHash::Sha1).toHex();
    const QString name = QStringLiteral("Veskaro-") + QString::fromLatin1(digest.left(16));
#ifdef Q_OS_UNIX
    // The runtime folder belongs to the user alone (Qt makes one if the
    // session has none). A socket path is limited to about 100 bytes.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString path = QDir(folder).filePath(name);
    if (!folder.isEmpty() && QFile::encodeName(path).size() < 100)
        return path;
#endif
    return name;
}

bool SingleInstance::takeUnansweredRequest()
{
    return std::exchange(m_unanswered, false);
}

void SingleInstance::requestReceived()
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&SingleInstance::activationRequested)))
        m_unanswered = true;
    Q_EMIT activationRequested();
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
    // A socket open to the user alone is set up beside the name and moved
    // over it, which would take the name from a running instance without a
    // word. The lock beside the socket decides who may: a live holder is an
    // instance that listens or is about to; a crashed one leaves a lock that
    // no longer counts.
    const QString lockPath = QDir::isAbsolutePath(m_name) ? m_name + QStringLiteral(".lock")
                                                          : QDir::temp().filePath(m_name + QStringLiteral(".lock"));
    auto lock = std::make_unique<QLockFile>(lockPath);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return Listen::Unavailable;
        // The holder may still be starting: give it a moment to listen.
        QElapsedTimer waited;
        waited.start();
        do {
            if (handOverToRunningInstance(500))
                return Listen::HandedOver;
            QThread::msleep(100);
        } while (waited.elapsed() < 3000);
        return Listen::Unavailable;
    }
    // Whatever has the name now was left by an instance that ended.
    QLocalServer::removeServer(m_name);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_name)) {
        delete server;
        return Listen::Unavailable;
    }
    m_lock = std::move(lock);
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
                requestReceived();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        if (socket->bytesAvailable() > 0)
            readRequest();
    }
}

}  // namespace app
