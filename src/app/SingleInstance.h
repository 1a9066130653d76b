#pragma once
// One Veskaro per user: the first start listens on a local socket named after
// the user, in the user's own runtime folder and open to the user alone; a
// later start finds it there, asks it to come to the front and ends without
// showing anything.

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace app {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket for the current user: a path in the user's runtime folder
    // where sockets are files, a plain name elsewhere.
    static QString defaultName();

    // True when a running instance took the request to come forward; this
    // start should then end at once.
    bool handOverToRunningInstance(int timeoutMs = 2000);
    enum class Listen {
        Listening,    // later starts hand over to this one
        HandedOver,   // another start took the name first and has been asked to come forward
        Unavailable,  // no local socket can be had; the program runs without the check
    };
    // Becomes the instance later starts hand over to.
    Listen listen();

    const QString& name() const { return m_name; }

    // True once for a request that came while nothing was connected to
    // activationRequested (the main window did not exist yet).
    bool takeUnansweredRequest();

Q_SIGNALS:
    void activationRequested();

private:
    void acceptConnections();
    void requestReceived();

    QString m_name;
    QLocalServer* m_server = nullptr;
    // Held while listening: setting up a socket open to the user alone
    // replaces whatever has the name, so only the holder may set one up.
    std::unique_ptr<QLockFile> m_lock;
    bool m_unanswered = false;
};

}  // namespace app
