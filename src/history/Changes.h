#pragma once
// What changed on a server between two of its snapshots of one kind: modules
// loaded, unloaded or of another version or date, SET values changed, the
// server's version, revision or directory services version changed, volumes
// added or removed. Plain functions, the same for the report and the views.

#include "history/HistoryTypes.h"

#include <QString>

#include <vector>

namespace history {

struct Change {
    QString server;
    QString kind;    // see the k...Change names
    QString item;    // module, parameter, fact or volume
    QString before;  // empty when there was none
    QString after;   // empty when there is none
    friend bool operator==(const Change&, const Change&) = default;
};

inline const QString kModuleLoaded = QStringLiteral("module loaded");
inline const QString kModuleUnloaded = QStringLiteral("module unloaded");
inline const QString kModuleVersion = QStringLiteral("module version");
inline const QString kModuleDate = QStringLiteral("module date");
inline const QString kSetValue = QStringLiteral("set value");
inline const QString kSetAdded = QStringLiteral("set parameter added");
inline const QString kSetRemoved = QStringLiteral("set parameter removed");
inline const QString kServerVersion = QStringLiteral("server version");
inline const QString kServerRevision = QStringLiteral("server revision");
inline const QString kDsVersion = QStringLiteral("ds version");
inline const QString kVolumeAdded = QStringLiteral("volume added");
inline const QString kVolumeRemoved = QStringLiteral("volume removed");

// Names of the server facts a Facts snapshot holds.
inline const QString kFactVersion = QStringLiteral("Version");
inline const QString kFactRevision = QStringLiteral("Revision");
inline const QString kFactCompany = QStringLiteral("Company");
inline const QString kFactDsVersion = QStringLiteral("DS Version");

// The changes from `before` to `after` (both of `kind`, items as
// normalizedItems leaves them), in item order. Module and parameter names are
// compared without regard to case, as the server treats them.
std::vector<Change> compareItems(const QString& server, SnapshotKind kind, const std::vector<Item>& before,
                                 const std::vector<Item>& after);

// The column headings of a change record, in the order of its fields.
QStringList changeHeadings();
QStringList changeFields(const Change& change);

}  // namespace history
