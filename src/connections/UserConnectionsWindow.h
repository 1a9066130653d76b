#pragma once
// frmUserConnections: the connections one server holds, one window per
// server and opening. Optional columns and default filters come from the
// column chooser's settings; the list can be filtered, searched by user,
// sorted by any column and refreshed on a timer. The selected rows are what
// the connection actions of the "&User Connections" menu work on.

#include "connections/ConnectionFormats.h"
#include "connections/ConnectionReader.h"
#include "connections/ConnectionSource.h"
#include "viewbase/ViewWindow.h"

#include <QString>

#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTimer;

namespace widgets {
class RefreshFrame;
class ReportListView;
}  // namespace widgets

namespace connections {

class ConnectionRows;

class UserConnectionsWindow : public views::ViewWindow, public ConnectionSource {
    Q_OBJECT
public:
    static QString captionFor(const QString& server);  // "User Connections for " + server

    UserConnectionsWindow(views::ViewHost& host, QString server, quint16 ownNumber, ColumnChoice columns,
                          QWidget* parent = nullptr);
    ~UserConnectionsWindow() override;

    widgets::ReportListView* lstvwUsers() const { return m_list; }
    widgets::RefreshFrame* fraRefresh() const { return m_refresh; }
    QPushButton* btnRefresh() const;
    QLineEdit* txtInterval() const;
    QTimer* timerRefreshUsers() const;
    QComboBox* cmbConnType() const { return m_type; }
    QComboBox* cmbStatus() const { return m_status; }
    QPushButton* btnListConnections() const { return m_listButton; }
    QLineEdit* txtFindUser() const { return m_find; }
    QStatusBar* statusBar() const { return m_statusBar; }
    const ColumnChoice& columns() const { return m_columns; }

    // ConnectionSource
    QString connectionServer() const override { return m_server; }
    QString ownConnectionText() const override { return QString::number(m_ownNumber); }
    void connectionRowsRemoved() override;

    // The rows the opening's pass read, with the filters read at the opening.
    void listInitially(const ConnectionPass& pass, const QString& typeFilter, const QString& statusFilter);
    // The refresh pass: read on a reading thread over connections of its
    // own, with the current filters; rows of connections no longer met are
    // removed. Returns at once; passFinished() is emitted at its end. False
    // when refused because a pass of this window is running.
    bool startRefresh();
    // startRefresh() and waits for its end while events run. False when it
    // did not run to its end: refused, stopped, or ended by closing the window.
    bool refreshUsers();
    bool isListing() const { return m_listing; }
    // Stop: a running pass ends now and changes no row; its reading thread
    // closes its connections on its own.
    void stopPass();

    void listConnections();
    void toggleRefresh();
    void refreshTick();
    void findUser(const QString& text);
    void sortByClickedColumn(int col);
    void setActiveControls();
    void showRowCount();

Q_SIGNALS:
    void passFinished();

protected:
    void loadContents() override;
    void unloadContents() override;
    void activated() override;
    void deactivated() override;
    QSize minimumFrameSize() const override;
    void resizeEvent(QResizeEvent* event) override;
    void fitColumns() override;
    // The key also holds the filters and the chooser's choice: widths count
    // as stored when one of the shown columns has one.
    bool hasStoredColumnWidths() const override { return m_widthsStored; }

private:
    ConnectionPassRequest passRequest(const QString& typeFilter, const QString& statusFilter) const;
    void applyRefresh(const ConnectionPass& pass);
    void endRefresh(ReadEnd end);
    // Adds or updates the rows, letting events run between slices; records
    // each as met. False when the window went away meanwhile.
    bool putRows(const std::vector<ConnectionPassRow>& rows, std::vector<bool>* met);
    // Lets events run now and then during a pass; false when the window is going away.
    bool yieldDuringPass();
    void refreshStarted();
    void refreshStopped();
    void setPassControlsEnabled(bool enabled);
    void setClearEntryEnabled(bool enabled);
    void buildColumns();
    void layoutControls();

    QString m_server;
    quint16 m_ownNumber;
    ColumnChoice m_columns;

    widgets::ReportListView* m_list;
    widgets::RefreshFrame* m_refresh;
    QGroupBox* m_filter;
    QComboBox* m_type;
    QComboBox* m_status;
    QPushButton* m_listButton;
    QLabel* m_findLabel;
    QLineEdit* m_find;
    QStatusBar* m_statusBar;
    ConnectionRows* m_rows;

    int m_lastSortColumn = 0;
    bool m_listing = false;
    bool m_passCompleted = false;
    bool m_resizing = false;
    bool m_widthsStored = false;
    qint64 m_lastYield = 0;
};

// How an opening runs beyond the main window's selection.
struct OpeningOptions {
    // The column chooser may be shown first (ShowAtStartup); veskaro-report never shows it.
    bool allowChooser = true;
    // The settings key is made when missing; veskaro-report changes no setting.
    bool createSettingsKey = true;
    // Filters used instead of the stored ones.
    std::optional<QString> typeFilter;
    std::optional<QString> statusFilter;
};

// The "User Connections" button: one window per selected server that has none open.
void openUserConnections(views::ViewHost& host, const OpeningOptions& options = {});

// The open connections window of a server, or null.
UserConnectionsWindow* findUserConnections(views::ViewHost& host, const QString& server);

// "Choose Columns" of the "&User Connections" menu: the chooser, outside an opening.
void chooseColumns(views::ViewHost& host);

}  // namespace connections
