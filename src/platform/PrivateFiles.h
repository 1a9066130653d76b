#pragma once
// Files and folders of the current user alone in places every user can write
// to, such as the temporary folder. There another user may have put a file,
// a folder or a link at a name Veskaro is known to use: a folder is only used
// when it is a real folder of this user that nobody else may enter, and a
// new file is only ever created, never opened through a name something
// already has.

#include <QString>

#include <optional>

class QFile;

namespace platform {

// The numeric id of the user the program runs as; nothing on platforms
// without one.
std::optional<uint> currentUserId();

// "Veskaro-" and the user's id (or name where there are no ids): one
// folder name per user in a folder all users share.
QString userFolderName(const QString& stem);

// Why `path` cannot hold this user's private files, or an empty text when
// it can: a folder, not a link, owned by the current user, that gives group
// and others no access at all.
QString privateFolderProblem(const QString& path);

// Makes `path` (its parent must exist) with access for the user alone when
// nothing has that name yet, then checks it as privateFolderProblem() does.
// A folder already there is never changed: one that fails the check is
// refused, not repaired.
QString makePrivateFolder(const QString& path);

// Creates `path` as a new file that only the user may read and write, and
// opens `file` on it for writing. Fails when anything at all has the name
// already, a link leading nowhere included, so nothing is ever written
// through a name someone else prepared.
bool createNewFile(QFile& file, const QString& path);

}  // namespace platform
