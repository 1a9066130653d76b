#pragma once
// What the history keeps of a server: utilization samples and snapshots of
// its loaded modules, SET parameters, facts and volumes, each snapshot a list
// of items keyed by name. Plain values, filled by the views that read them.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace history {

enum class SnapshotKind {
    Modules = 1,     // item: module file name; values: version, date
    Parameters = 2,  // item: SET parameter name; values: category, value
    Facts = 3,       // items "Version", "Revision", "Company", "DS Version"; value: the fact
    Volumes = 4,     // item: volume name; values: size and free space in bytes
};

// One item of a snapshot: its name and its values in the order of its kind.
struct Item {
    QString name;
    QStringList values;
    friend bool operator==(const Item&, const Item&) = default;
};

struct Snapshot {
    QString server;
    SnapshotKind kind = SnapshotKind::Modules;
    QDateTime taken;  // UTC
    std::vector<Item> items;
};

struct Sample {
    QString server;
    QDateTime taken;  // UTC
    int utilization = 0;
    int highWater = 0;
};

// Items as a snapshot keeps them: sorted by name without regard to case, a
// name met again within one reading told apart by " #2", " #3"... so that no
// item hides another.
std::vector<Item> normalizedItems(std::vector<Item> items);

// The stored text of a snapshot's items (JSON) and back. A text that is no
// such list gives nothing.
QString itemsText(const std::vector<Item>& items);
std::optional<std::vector<Item>> itemsFromText(const QString& text);

QString kindName(SnapshotKind kind);

// "2026-12-07" (midnight UTC), "2026-12-07T14:30:00" (UTC),
// "2026-12-07T14:30:00+01:00" or "...Z", seconds optional and with up to
// three decimals. Nothing for any other text.
std::optional<QDateTime> parseHistoryDate(const QString& text);

}  // namespace history
