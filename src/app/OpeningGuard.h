#pragma once
// Opening a view can take a while (one round trip per server) and lets window
// events run between servers. For that time the main window shows the
// hourglass and disables the server list (and, for server views, the tool
// bar), so the selection cannot change under the view. The guard restores all
// of it however the opening ends, and copes with the main window closing
// meanwhile.

#include "widgets/WaitCursor.h"

#include <QPointer>

class QWidget;

namespace app {

class MainWindow;

class OpeningGuard {
public:
    explicit OpeningGuard(MainWindow& form, bool disableToolBar = false);
    ~OpeningGuard();

    OpeningGuard(const OpeningGuard&) = delete;
    OpeningGuard& operator=(const OpeningGuard&) = delete;

private:
    widgets::WaitCursor m_wait;
    QPointer<QWidget> m_list;
    QPointer<QWidget> m_toolBar;
    bool m_listWasEnabled = true;
    bool m_toolBarWasEnabled = true;
};

}  // namespace app
