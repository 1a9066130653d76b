#pragma once
// frmFileLocks, "File Open/Lock SERVER": who has a chosen file open, and
// how. The user picks a volume of the server, browses its folders and files
// through the volume's network path, and asks for the file's status; the
// grid lists every connection holding the file, with the user's name and the
// lock flags, and the query can repeat on a timer. The listed connections are
// offered the "&User Connections" menu as the grid's pop-up.

#include "connections/ConnectionSource.h"
#include "connections/FileUse.h"
#include "viewbase/ViewWindow.h"

#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;

namespace widgets {
class FlexGrid;
class RefreshFrame;
}  // namespace widgets

namespace connections {

class FileLocksWindow : public views::ViewWindow, public ConnectionSource {
    Q_OBJECT
public:
    static QString captionFor(const QString& server);  // "File Open/Lock " + server

    FileLocksWindow(views::ViewHost& host, QString server, QWidget* parent = nullptr);

    widgets::FlexGrid* grdFileLocks() const { return m_grid; }
    widgets::RefreshFrame* refresh() const { return m_refresh; }
    QComboBox* cmbVolumeList() const { return m_volumes; }
    QListWidget* dirDirlist() const { return m_dirList; }
    QListWidget* filFileList() const { return m_fileList; }
    QLabel* lblDirectory() const { return m_directoryLabel; }
    QLabel* lblSelectedFile() const { return m_selectedFile; }
    QPushButton* btnShowLocks() const { return m_showLocks; }
    QStatusBar* statusBar() const { return m_statusBar; }
    // The folder shown, as long names from the volume root.
    const QStringList& directories() const { return m_directories; }
    bool isQuerying() const { return m_querying; }

    // ConnectionSource
    QString connectionServer() const override { return m_server; }
    QString ownConnectionText() const override { return m_ownConnection; }

    // Lists the server's volumes and chooses "SYS" when it is one of them.
    void listVolumes();
    // Shows the root of the chosen volume; tells the user when it cannot be reached.
    void chooseVolume();
    // Moves the browser into a sub-folder of the one shown, or up with "..".
    void enterDirectory(const QString& name);
    void setDirectories(const QStringList& directories);
    // "&Show File Status": queries the file selected in the file list.
    void showFileLocks();
    // Queries a named file of the server (the browser's choice or the command
    // line's) and waits for the answer while events run. A query already
    // running in this window is not interrupted: the request is dropped.
    void queryFile(const VolumeFile& file);
    // The same without waiting: the query runs on a reading thread and
    // queryFinished() is emitted at its end. False when dropped.
    bool startQuery(const VolumeFile& file);
    // Stop: a running query ends now and changes nothing shown; its reading
    // thread releases what it borrowed on its own.
    void stopQuery();
    void sortByColumn(int col);

Q_SIGNALS:
    void queryFinished();

protected:
    void loadContents() override;
    void unloadContents() override;
    void activated() override;
    void deactivated() override;
    void fitColumns() override;

private:
    // The file chosen in the browser; clears the status bar first.
    std::optional<VolumeFile> selectedFile();
    void applyQuery(const FileUseResult& result);
    void listDirectory();
    void setBrowsingEnabled(bool enabled);
    void refreshToggled();
    void refreshTick();
    // The main window's "&User Connections" menu as this view shows it.
    void updateUserMenu();
    bool hasConnectionRows() const;
    void fillGrid(const QList<QStringList>& rows);
    // Sorts the rows by the column and order last chosen on the header.
    void applySort();

    QString m_server;
    QString m_ownConnection;
    QStringList m_directories;
    QLabel* m_serverLabel;
    QComboBox* m_volumes;
    QLabel* m_directoryLabel;
    QListWidget* m_dirList;
    QListWidget* m_fileList;
    QLabel* m_selectedFile;
    QPushButton* m_showLocks;
    widgets::FlexGrid* m_grid;
    widgets::RefreshFrame* m_refresh;
    QStatusBar* m_statusBar;
    int m_sortCol = -1;
    bool m_sortAscending = true;
    bool m_querying = false;
};

// The "File Opens/Locks" button: one window per selected server; a server
// whose window is open has it brought to the front.
void openFileLocks(views::ViewHost& host);
FileLocksWindow* findFileLocks(views::ViewHost& host, const QString& server);

}  // namespace connections
