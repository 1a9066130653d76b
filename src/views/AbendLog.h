#pragma once
// Rules of the abend log viewer: where a server keeps its log, which lines
// head the report of a halt, what the report of one halt holds, the names of
// the temporary files the reports are written to, and the program that shows
// them.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTime>

#include <memory>
#include <vector>

class QFile;

namespace nw {
class NetWareClient;
}

namespace views {

inline const QString kNoAbendLog = QStringLiteral("No Abend log found.");

// "\\" server "\SYS\SYSTEM\ABEND.LOG".
QString abendLogPath(const QString& server);

// The lines of a text file (CR LF or LF ends, Latin-1); nothing when the file
// cannot be opened.
bool readTextLines(const QString& path, QStringList& lines);
// The lines of a text as readTextLines takes them from its file.
QStringList textLines(const QByteArray& bytes);

// A server's abend log as the viewer lists it: whether the log could be
// read and the dates of its halts. Reads a file only: safe on a reading thread.
struct AbendLogRead {
    bool found = false;
    QStringList dates;
    // Without a log, the status of one connection tried to the server, so
    // that a server without a log is told from one that does not answer.
    qint32 probe = 0;
};
AbendLogRead readAbendLog(nw::NetWareClient& client, const QString& server);

// The date-and-time texts of this server's halts, in file order: the rest of
// every line that starts with "Server " server " halted" (case-sensitive),
// after the blank that follows. Halts of other servers are left out.
QStringList abendDates(const QStringList& lines, const QString& server);

// The report of one halt as handed to the text viewer: a heading line, an
// empty line, the halt's header line and every line up to the next header
// line of the same server or the end of the log. Only the heading and the
// empty line when the halt is not in the log.
QStringList abendReport(const QStringList& lines, const QString& server, const QString& halt);

// The folder for temporary files: the environment variable "Temp" (or TEMP,
// TMP), else the system's temporary folder.
QString temporaryFolder();

// Temporary report files: named by the time of day ("142503.tmp"), with a
// suffix ("142503-2.tmp") when that name is already taken, and all removed
// when the program ends (the text viewer has read them by then). Everyone
// may write to the temporary folder and the names are easy to foresee, so
// the files never lie there directly: each run keeps them in a folder of its
// own ("run-Ab3xYz") inside a folder of the user's own
// ("veskaro-reports-1000"), both open to the user alone, and every file is
// newly created, never opened through a name something already has. The
// folders of runs that were killed are cleared at the next start.
class TemporaryReports {
public:
    TemporaryReports();
    ~TemporaryReports();
    TemporaryReports(const TemporaryReports&) = delete;
    TemporaryReports& operator=(const TemporaryReports&) = delete;

    // Creates the next report file for `now` in this run's folder under
    // `base` (the temporary folder) and opens `file` on it for writing; the
    // file is remembered for removal. Returns what went wrong, or an empty
    // text.
    QString create(const QString& base, const QTime& now, QFile& file);
    const std::vector<QString>& files() const { return m_files; }
    // Removes every file handed out so far and this run's folders.
    void removeAll();

    // Clears the folders under `base` of runs that ended without doing so
    // themselves; those of runs still going are left alone, and so is
    // anything in them the program does not write.
    static void removeLeftovers(const QString& base);

    // The program's one list, emptied when the program ends.
    static TemporaryReports& instance();

private:
    struct RunFolder;
    RunFolder* runFolder(const QString& base, QString& problem);

    std::vector<QString> m_files;
    std::vector<std::unique_ptr<RunFolder>> m_runs;  // one per temporary folder used
};

// The plain-text viewer of this platform and its arguments for one file:
// Notepad on Windows, TextEdit through "open -t" on macOS, the desktop's
// default application for the file through xdg-open elsewhere.
struct ViewerCommand {
    QString program;
    QStringList arguments;
};
ViewerCommand textViewerCommand(const QString& file);

}  // namespace views
