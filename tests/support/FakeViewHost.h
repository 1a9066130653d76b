#pragma once
// A main window stand-in for view tests: a real multiple-document area, a
// server selection set by the test, the views' pop-up menus as the main
// window has them, and pop-ups recorded instead of shown.

#include "viewbase/ViewHost.h"
#include "viewbase/ViewMenus.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace testing {

class FakeViewHost : public views::ViewHost {
public:
    explicit FakeViewHost(core::AppContext& context);
    ~FakeViewHost() override;

    core::AppContext& context() override { return m_context; }
    QMdiArea* mdiArea() override;
    QStringList selectedServers() const override { return selection; }
    int serverCount() const override
    {
        return servers.isEmpty() ? static_cast<int>(selection.size()) : static_cast<int>(servers.size());
    }
    void enableSaveCopy(const QString& refreshCaption) override;
    void setSaveEnabled(bool enabled) override { saveEnabled = enabled; }
    void setCopyEnabled(bool enabled) override { copyEnabled = enabled; }
    const views::ViewMenus& viewMenus() const override { return m_menus; }
    void popupMenu(QMenu* menu, const QPoint& globalPos) override;
    void beginOpening(bool disableToolBar) override;
    void endOpening() override;

    QMainWindow* window() { return m_window.get(); }
    // Closes every view and lets the closed windows be deleted, as they are
    // once the program's event loop runs again.
    void closeViews();

    QStringList servers;    // all entries of the server list (defaults to the selection)
    QStringList selection;  // selected entries, first to last
    bool saveEnabled = false;
    bool copyEnabled = false;
    QStringList popups;  // objectNames of the menus shown as pop-ups
    int openings = 0;    // openings under way
    int openingsStarted = 0;
    bool toolBarDisabled = false;

private:
    core::AppContext& m_context;
    std::unique_ptr<QMainWindow> m_window;
    views::ViewMenus m_menus;
};

}  // namespace testing
