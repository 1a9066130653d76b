#pragma once
// The server information view ("frmServerInformation"): up time, version,
// company, revision and directory services version of the chosen servers, one
// row each, read once when the server is added. The window exists once;
// opening it again appends servers. The servers are read side by side and
// their rows appended in the order of the selection.

#include "viewbase/ViewWindow.h"

#include <QString>

class QStatusBar;

namespace widgets {
class ReportListView;
}

namespace views {

// Label of the diagnostics trace lines this view writes.
inline constexpr char kServerInfoTraceLabel[] = "Server Info - btnServerInfo";

class ServerInformationWindow : public ViewWindow {
    Q_OBJECT
public:
    static QString caption();  // "Server Information"

    explicit ServerInformationWindow(ViewHost& host, QWidget* parent = nullptr);
    ~ServerInformationWindow() override;

    widgets::ReportListView* lstvwServerInformation() const { return m_list; }
    QStatusBar* statusBar() const { return m_status; }

    // Reads the servers and appends a row for each in the order given, unless
    // a row already names it (trimmed, case-sensitive). Unreachable servers
    // are reported, in that order, and get no row. After Closed the window
    // is gone.
    ReadEnd addServers(const QStringList& names);

    // Same column again flips the order, another column sorts ascending.
    void sortByColumn(int column);

protected:
    void loadContents() override;
    void unloadContents() override;
    void fitColumns() override;
    void layoutContents() override;

private:
    bool hasRowNamed(const QString& name) const;

    widgets::ReportListView* m_list;
    QStatusBar* m_status;
    int m_lastSortColumn = -1;
};

// The opening routine (tool-bar button, "Server &Action" item, double-click).
void openServerInformation(ViewHost& host);

}  // namespace views
