#pragma once
// Who holds a file open, and which files a connection holds open: the lock
// flag names both views show, the open files of one connection with their
// paths in the name space each was opened in, and the query behind the file
// opens and locks view with the drive letter, directory handle and connection
// it borrows for its run.

#include "core/AppContext.h"
#include "models/CellTrouble.h"
#include "netware/NetWareClient.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace connections {

// "Lock Type" of the open-files view: the names of the set flags among 0x80,
// 0x40, 0x08, 0x04, 0x02, 0x01, joined by ", "; empty when none is set.
QString openFileLockText(quint8 flags);
// "Status" of the file opens and locks view: the names among 0x08, 0x04,
// 0x02, 0x01, joined by "," with no blank.
QString fileLockStatusText(quint8 flags);
// The trouble of a row of the file opens and locks view from its "Status"
// text: a connection that holds the file "Locked" is a Warning.
models::TroubleLevel fileLockLevel(const QString& statusText);

// A DOS path ("\APPS\DATA\Q4REPO~1.XLS") of a volume in the long names of
// `nameSpace`, translated one component at a time from the last one up. A
// component whose long name cannot be read keeps its DOS name, so the path
// never loses a level.
QString longPathOf(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, const QString& volume,
                   const QString& dosPath, quint8 nameSpace);

struct OpenFile {
    QString path;      // "SYS:\PUBLIC\REPORT.TXT"
    QString lockType;  // openFileLockText of its flags
};
// The files one connection holds open, in the order the server lists them.
// `keepGoing`, when given, is asked before each scan call; false ends the
// scan early (`complete`, when given, then says false).
QList<OpenFile> readOpenFiles(nw::NetWareClient& client, nw::NWCONN_HANDLE connection, quint16 connectionNumber,
                              const std::function<bool()>& keepGoing = {}, bool* complete = nullptr);

// The open files view's listing as a reading thread makes it: its own
// connection (licensed, by bindery name), opened, scanned and closed.
struct OpenFilesRead {
    nw::NWRCODE opened = -1;
    bool complete = false;
    QList<OpenFile> files;
};
OpenFilesRead readOpenFilesOf(core::AppContext& context, const QString& server, quint16 connectionNumber,
                              const std::function<bool()>& keepGoing = {});

// A component of a path below a volume as the browser or the command line
// gives it: a name, never ".", "..", empty, or anything holding a separator,
// a drive or volume colon or a control character.
bool isPlainComponent(const QString& name);

// A file named from the root of a volume: "DATA:Project Plans\Q4 Budget Review.xlsx".
struct VolumeFile {
    QString volume;
    QStringList directories;  // long names, volume root first
    QString file;
};
// Reads VOLUME:PATH; a path that leaves the volume (".." or an absolute
// component) or names no file is refused with `problem` set.
std::optional<VolumeFile> parseVolumeFile(const QString& text, QString* problem);
// The network path the workstation reaches a folder by: \\SERVER\VOLUME\DIR\DIR.
QString networkPathOf(const QString& server, const QString& volume, const QStringList& directories);

// Whether the server knows the file (its DOS name can be read); nothing
// when the server cannot be reached.
std::optional<bool> volumeFileExists(core::AppContext& context, const QString& server, const VolumeFile& file);

// One row of the file opens and locks view.
struct FileUseRow {
    QString user;    // object name, "*" in front for the program's own connection
    QString number;  // four blanks and the connection number
    QString status;  // fileLockStatusText
};

struct FileUseResult {
    bool connected = false;  // the server could be reached
    bool complete = false;   // the scan ran to its end (not stopped by the caller)
    QString ownConnection;   // the program's own connection number (decimal)
    QList<FileUseRow> rows;  // one per connection, first appearance kept
    QStringList problems;    // what the user is told, in the order met
    nw::NWRCODE closed = 0;  // closing the query's connection
};

// Asks the server which connections hold `file` open. The query opens its own
// connection, maps a free drive letter to the volume, allocates a temporary
// directory handle for the folder and scans; whatever happens on the way, the
// three are released before it returns, and only those it obtained itself.
// Failing calls are reported through the message service with their status
// and the query goes on with what it has. `yield` runs after each scan call
// (the view lets pending events run there); returning false ends the scan.
FileUseResult queryFileUse(core::AppContext& context, const QString& server, const VolumeFile& file,
                           const std::function<bool()>& yield = {});
// The same query for a reading thread: it shows nothing. What queryFileUse
// tells is in `problems` and `closed`, for reportFileUseProblems to show on
// the window thread. `keepGoing` runs after each scan call; false ends the scan.
FileUseResult readFileUse(core::AppContext& context, const QString& server, const VolumeFile& file,
                          const std::function<bool()>& keepGoing = {});
// Shows a query's problems, then a failed close ("NWCCCloseConn returned ").
void reportFileUseProblems(core::AppContext& context, const FileUseResult& result);

// The grid rows of a result: its rows, or "File", "not", "open" when no
// connection holds the file.
QList<QStringList> fileUseCells(const FileUseResult& result);
// The status bar text of a result: "No connections" or "Total connections: N".
QString fileUseSummary(const FileUseResult& result);

}  // namespace connections
