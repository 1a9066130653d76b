#pragma once
// Rules of the abend log viewer: where a server keeps its log, which lines
// head the report of a halt, what the report of one halt holds, the names of
// the temporary files the reports are written to, and the program that shows
// them.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTime>

#include <vector>

namespace views {

inline const QString kNoAbendLog = QStringLiteral("No Abend log found.");

// "\\" server "\SYS\SYSTEM\ABEND.LOG".
QString abendLogPath(const QString& server);

// The lines of a text file (CR LF or LF ends, Latin-1); nothing when the file
// cannot be opened.
bool readTextLines(const QString& path, QStringList& lines);
// The lines of a text as readTextLines takes them from its file.
QStringList textLines(const QByteArray& bytes);

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
// when the program ends (the text viewer has read them by then).
class TemporaryReports {
public:
    TemporaryReports() = default;
    ~TemporaryReports();
    TemporaryReports(const TemporaryReports&) = delete;
    TemporaryReports& operator=(const TemporaryReports&) = delete;

    // A new file name in `folder` not used by an existing file nor an earlier
    // call; remembered for removal.
    QString reserve(const QString& folder, const QTime& now);
    const std::vector<QString>& files() const { return m_files; }
    // Removes every file handed out so far.
    void removeAll();

    // The program's one list, emptied when the program ends.
    static TemporaryReports& instance();

private:
    std::vector<QString> m_files;
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
