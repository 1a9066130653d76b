#pragma once
// What the directory dialogs share: the main window's server lists as they
// see them, the way they show a further dialog modally (tests drive it
// instead), and the container images.

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;

namespace directory {

// The main window's two server lists.
class ServerListHost {
public:
    virtual ~ServerListHost() = default;
    // lstServers: the servers shown, in list order.
    virtual QStringList visibleServers() const = 0;
    // lstAllServers: every server the last search found, hidden ones included.
    virtual QStringList allServers() const = 0;
    // Replaces lstServers and selects its first entry.
    virtual void setVisibleServers(const QStringList& servers) = 0;
    // The server search below the stored starting container (both lists).
    virtual void searchServers() = 0;
};

// Shows a dialog modally and returns its result; tests answer it instead.
using ModalRunner = std::function<int(QDialog&)>;
int runModal(const ModalRunner& runner, QDialog& dialog);

// One of the program's own images (":/icons/<file>").
QIcon directoryIcon(const QString& file);

// A path label shows its whole text as a tool tip when the text does not fit
// (its width in the window's font reaches the label's width less 40 twips).
void updatePathToolTip(QLabel* label);

}  // namespace directory
