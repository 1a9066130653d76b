#pragma once
// A main window stand-in for view tests: a real multiple-document area, a
// server selection set by the test, menus and items created by name on first
// use, and pop-ups recorded instead of shown.

#include "app/ViewHost.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace testing {

class FakeViewHost : public app::ViewHost {
public:
    explicit FakeViewHost(app::AppContext& context);
    ~FakeViewHost() override;

    app::AppContext& context() override { return m_context; }
    QMdiArea* mdiArea() override;
    QStringList selectedServers() const override { return selection; }
    int serverCount() const override { return servers.isEmpty() ? static_cast<int>(selection.size()) : static_cast<int>(servers.size()); }
    void subEnableSaveCopy(const QString& refreshCaption) override;
    void setSaveEnabled(bool enabled) override { saveEnabled = enabled; }
    void setCopyEnabled(bool enabled) override { copyEnabled = enabled; }
    QMenu* menu(const QString& objectName) override;
    QAction* menuAction(const QString& objectName) override;
    void setMenuVisible(const QString& objectName, bool visible) override;
    void popupMenu(const QString& objectName, const QPoint& globalPos) override;
    bool fnActivateOpenForm(const QString& caption) override;
    void beginOpening(bool disableToolBar) override;
    void endOpening() override;

    QMainWindow* window() { return m_window.get(); }

    QStringList servers;      // all entries of the server list (defaults to the selection)
    QStringList selection;    // selected entries, first to last
    bool saveEnabled = false;
    bool copyEnabled = false;
    QStringList popups;       // names of the menus shown as pop-ups
    QHash<QString, bool> menuVisible;
    int openings = 0;         // openings under way
    int openingsStarted = 0;
    bool toolBarDisabled = false;

private:
    app::AppContext& m_context;
    std::unique_ptr<QMainWindow> m_window;
    QHash<QString, QPointer<QMenu>> m_menus;
    QHash<QString, QPointer<QAction>> m_actions;
};

}  // namespace testing
