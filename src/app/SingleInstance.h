#pragma once
// One Veskaro per user: the first start listens on a local socket named after
// the user; a later start finds it there, asks it to come to the front and ends
// without showing anything.

#include <QObject>
#include <QString>

class QLocalServer;

namespace app {

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket name for the current user.
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

Q_SIGNALS:
    void activationRequested();

private:
    void acceptConnections();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

}  // namespace app
