#include "history/Changes.h"

#include <QHash>

namespace history {

namespace {

QString valueAt(const Item& item, int index)
{
    return index < item.values.size() ? item.values.at(index) : QString();
}

// A module's version and date, or a parameter's value, as one text for the
// record of an item that came or went.
QString summary(SnapshotKind kind, const Item& item)
{
    switch (kind) {
    case SnapshotKind::Modules:
        return (valueAt(item, 0) + QLatin1Char(' ') + valueAt(item, 1)).trimmed();
    case SnapshotKind::Parameters:
        return valueAt(item, 1);
    default:
        return valueAt(item, 0);
    }
}

void compareMatched(std::vector<Change>& changes, const QString& server, SnapshotKind kind, const Item& before,
                    const Item& after)
{
    const auto add = [&](const QString& what, int index) {
        if (valueAt(before, index) != valueAt(after, index))
            changes.push_back({server, what, after.name, valueAt(before, index), valueAt(after, index)});
    };
    switch (kind) {
    case SnapshotKind::Modules:
        add(kModuleVersion, 0);
        add(kModuleDate, 1);
        break;
    case SnapshotKind::Parameters:
        add(kSetValue, 1);
        break;
    case SnapshotKind::Facts:
        if (after.name == kFactVersion)
            add(kServerVersion, 0);
        else if (after.name == kFactRevision)
            add(kServerRevision, 0);
        else if (after.name == kFactDsVersion)
            add(kDsVersion, 0);
        break;
    case SnapshotKind::Volumes:
        // Space in use changes all the time; only volumes coming and going are changes.
        break;
    }
}

QString cameName(SnapshotKind kind)
{
    switch (kind) {
    case SnapshotKind::Modules:
        return kModuleLoaded;
    case SnapshotKind::Parameters:
        return kSetAdded;
    case SnapshotKind::Volumes:
        return kVolumeAdded;
    case SnapshotKind::Facts:
        break;
    }
    return {};
}

QString wentName(SnapshotKind kind)
{
    switch (kind) {
    case SnapshotKind::Modules:
        return kModuleUnloaded;
    case SnapshotKind::Parameters:
        return kSetRemoved;
    case SnapshotKind::Volumes:
        return kVolumeRemoved;
    case SnapshotKind::Facts:
        break;
    }
    return {};
}

}  // namespace

std::vector<Change> compareItems(const QString& server, SnapshotKind kind, const std::vector<Item>& before,
                                 const std::vector<Item>& after)
{
    std::vector<Change> changes;
    QHash<QString, const Item*> earlier;
    for (const Item& item : before)
        earlier.insert(item.name.toUpper(), &item);
    QHash<QString, bool> present;
    for (const Item& item : after) {
        const QString key = item.name.toUpper();
        present.insert(key, true);
        const auto found = earlier.constFind(key);
        if (found != earlier.constEnd()) {
            compareMatched(changes, server, kind, **found, item);
            continue;
        }
        // A fact that was not read before is no change of the server.
        if (kind == SnapshotKind::Facts)
            continue;
        changes.push_back({server, cameName(kind), item.name, QString(), summary(kind, item)});
    }
    if (kind != SnapshotKind::Facts) {
        for (const Item& item : before) {
            if (!present.contains(item.name.toUpper()))
                changes.push_back({server, wentName(kind), item.name, summary(kind, item), QString()});
        }
    }
    return changes;
}

QStringList changeHeadings()
{
    return {QStringLiteral("Server"), QStringLiteral("Kind"), QStringLiteral("Item"), QStringLiteral("Before"),
            QStringLiteral("After")};
}

QStringList changeFields(const Change& change)
{
    return {change.server, change.kind, change.item, change.before, change.after};
}

}  // namespace history
