#pragma once
// frmServerInformation: up time, version, company, revision and directory
// services version of the chosen servers, one row each, read once when the
// server is added. The window exists once; opening it again appends servers.

#include "settings/WindowState.h"

#include <QString>
#include <QWidget>

class QStatusBar;

namespace app {
class ViewHost;
}

namespace widgets {
class ReportListView;
}

namespace views {

// Label of the diagnostics trace lines this view writes.
inline constexpr char ServerInfoTraceLabel[] = "Server Info - btnServerInfo";

class ServerInformationForm : public QWidget {
    Q_OBJECT
public:
    static QString caption();   // "Server Information"

    explicit ServerInformationForm(app::ViewHost& host, QWidget* parent = nullptr);
    ~ServerInformationForm() override;

    widgets::ReportListView* lstvwServerInformation() const { return m_list; }
    QStatusBar* StatusBar1() const { return m_status; }

    // Restores the window state and makes the columns. Call once the window
    // sits in its MDI frame.
    void Form_Load();
    // Reads one server and appends its row, unless a row already names it
    // (trimmed, case-sensitive). Unreachable servers are reported and get no row.
    void subAddServer(const QString& name);

    void Form_Activate();
    // Same column again flips the order, another column sorts ascending.
    void lstvwServerInformation_ColumnClick(int column);
    void Form_Resize();
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void subInitInfoGrid();
    void layoutControls();

    app::ViewHost& m_host;
    settings::WindowState m_state;
    widgets::ReportListView* m_list;
    QStatusBar* m_status;
    int m_lastSortColumn = -1;
    bool m_unloaded = false;
    bool m_resizing = false;
};

// The opening routine (tool-bar button, "Server &Action" item, double-click).
void btnServerInfo_Click(app::ViewHost& host);

// The open information window, or nullptr. veskaro-report prints what Save
// writes for it right after the opening routine; nothing more is needed.
ServerInformationForm* serverInfoWindow(app::ViewHost& host);

}  // namespace views
