#pragma once
// One Veskaro per user: the first start listens on a local socket named after
// the user, in a folder of the user's own and open to the user alone; a
// later start finds it there, asks it to come to the front and ends without
// showing anything. Either side talks only to a peer of the same user.

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

    // The socket for the current user: where sockets are files, a path in
    // the user's runtime folder or else in a folder of the user's own in the
    // temporary folder, and a plain name elsewhere. Empty when no such folder
    // can be had; the program then runs without the check.
    static QString defaultName();
    // The socket in `folder`, which is made for the user alone when it does
    // not exist; empty when it is a link, is not the user's or is open to
    // others.
    static QString nameIn(const QString& folder);
    // The socket's name within its folder, one per user.
    static QString socketName();

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
