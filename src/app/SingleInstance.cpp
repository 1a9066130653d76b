#include "app/SingleInstance.h"

#include "platform/LocalPeer.h"
#include "platform/PrivateFiles.h"

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

bool isOwnPeer(qintptr descriptor)
{
    return platform::isSameUser(platform::peerUserId(descriptor), platform::currentUserId());
}

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent), m_name(std::move(name))
{
}

SingleInstance::~SingleInstance()
{
    // The socket goes before the lock that guards it.
    delete m_server;
    m_server = nullptr;
}

QString SingleInstance::socketName()
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

QString SingleInstance::nameIn(const QString& folder)
{
    if (folder.isEmpty() || !platform::makePrivateFolder(folder).isEmpty())
        return {};
    // A socket path is limited to about 100 bytes.
    const QString path = QDir(folder).filePath(socketName());
    return QFile::encodeName(path).size() < 100 ? path : QString();
}

QString SingleInstance::defaultName()
{
#ifdef Q_OS_UNIX
    // The session's runtime folder when it is the user's alone; otherwise a
    // folder of the user's own in the temporary folder. The shared temporary
    // folder itself is never used: another user's socket there would take
    // the hand-over, and this start would end without a word.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && platform::privateFolderProblem(runtime).isEmpty()) {
        if (const QString name = nameIn(runtime); !name.isEmpty())
            return name;
    }
    return nameIn(QDir::temp().filePath(platform::userFolderName(QStringLiteral("veskaro-runtime"))));
#else
    // Named pipes, which live in no folder and are kept to the user by their
    // access rules.
    return socketName();
#endif
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
    if (m_name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    // Only an instance of this user is asked to come forward: it is the one
    // that shows this start's window.
    if (!isOwnPeer(socket.socketDescriptor())) {
        socket.abort();
        return false;
    }
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
    if (m_name.isEmpty())
        return Listen::Unavailable;
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
        // Another user's program has no say over this window.
        if (!isOwnPeer(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
