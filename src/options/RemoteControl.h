#pragma once
// The two user options and the remote console: which delimiter option a
// stored delimiter selects, which remote console program a stored path
// names, the program files a folder offers, and starting the console once per
// selected server.

#include <QString>
#include <QStringList>

namespace core {
class AppContext;
}

namespace options {

enum class DelimiterChoice { Comma, SemiColon, Other };
DelimiterChoice delimiterChoiceOf(const QString& delimiter);

// The program file names of the two remote consoles.
inline const QString kRconjFile = QStringLiteral("rconj.exe");
inline const QString kRconsoleFile = QStringLiteral("rconsole.exe");

// True when the stored path names Rconsole (its last 12 characters, in any case).
bool isRconsolePath(const QString& path);
// The folder of a stored program path: up to its last "\" or "/" (the root
// folder stays "/" or "C:\"); empty when the path has none.
QString programFolderOf(const QString& path);
// folder, a separator unless the folder already ends with one, and the file.
QString joinProgramPath(const QString& folder, const QString& file);
// The files of `folder` whose names equal `pattern` without regard to case.
QStringList matchingFiles(const QString& folder, const QString& pattern);

// The folder itself when it exists, else its nearest existing parent; when
// nothing of it is left (a drive that is gone, an empty path) the user's home
// folder. Always a folder the lists can show, in native separators.
QString nearestExistingFolder(const QString& folder);
// The folder a path typed into the path box names: "~" at its start stands for
// the home folder, a relative path is taken from `current`, and a file stands
// for the folder it lies in. Empty when no such folder exists.
QString typedFolder(const QString& typed, const QString& current);

// The drives of this machine (file-system roots where there are no drive letters).
QStringList driveRoots();
// The drive of a path as the drive list shows it: its first two characters
// and a backslash where drives have letters, else the file-system root it
// lies under.
QString driveOf(const QString& path);

// Starts the remote console program once per server, with the server's name
// as its only argument, in the program's folder, without waiting. Tells the
// user when no program has been chosen or its folder cannot be reached.
void startRemoteConsoles(core::AppContext& context, const QStringList& servers);

}  // namespace options
