#include "history/HistoryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QThread>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <atomic>
#include <limits>

namespace history {

namespace {

// SQLite's result codes that mean the file is no database of any kind or a damaged one.
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

std::atomic<int> g_connections{0};

// Each schema version's statements, applied in order from the file's version up.
const std::vector<QStringList>& migrations()
{
    static const std::vector<QStringList> steps = {
        // 0 -> 1
        {QStringLiteral("CREATE TABLE samples(server TEXT NOT NULL, taken INTEGER NOT NULL, "
                        "utilization INTEGER NOT NULL, high INTEGER NOT NULL)"),
         QStringLiteral("CREATE INDEX samples_by_server ON samples(server, taken)"),
         QStringLiteral("CREATE TABLE samples_minute(server TEXT NOT NULL, taken INTEGER NOT NULL, "
                        "utilization INTEGER NOT NULL, high INTEGER NOT NULL, PRIMARY KEY(server, taken)) "
                        "WITHOUT ROWID"),
         QStringLiteral("CREATE TABLE samples_hour(server TEXT NOT NULL, taken INTEGER NOT NULL, "
                        "utilization INTEGER NOT NULL, high INTEGER NOT NULL, PRIMARY KEY(server, taken)) "
                        "WITHOUT ROWID"),
         QStringLiteral("CREATE TABLE snapshots(id INTEGER PRIMARY KEY, server TEXT NOT NULL, "
                        "kind INTEGER NOT NULL, taken INTEGER NOT NULL, items TEXT NOT NULL)"),
         QStringLiteral("CREATE INDEX snapshots_by_server ON snapshots(server, kind, taken)"),
         QStringLiteral("CREATE TABLE baselines(name TEXT NOT NULL, server TEXT NOT NULL, kind INTEGER NOT NULL, "
                        "saved INTEGER NOT NULL, items TEXT NOT NULL, PRIMARY KEY(name, server, kind))")},
    };
    return steps;
}

// Server names are compared without regard to case, as NetWare does.
QString serverKey(const QString& server)
{
    return server.trimmed().toUpper();
}

int nativeCode(const QSqlError& error)
{
    bool number = false;
    const int code = error.nativeErrorCode().toInt(&number);
    return number ? (code & 0xFF) : -1;
}

bool isDamage(const QSqlError& error)
{
    const int code = nativeCode(error);
    return code == kSqliteCorrupt || code == kSqliteNotADatabase;
}

QString asideName(const QString& path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".broken-") + stamp;
    for (int n = 2; QFile::exists(aside); ++n)
        aside = path + QStringLiteral(".broken-") + stamp + u'-' + QString::number(n);
    return aside;
}

Snapshot snapshotFrom(QSqlQuery& query, const QString& server, SnapshotKind kind)
{
    // Columns: taken, items.
    Snapshot snapshot;
    snapshot.server = server;
    snapshot.kind = kind;
    snapshot.taken = QDateTime::fromMSecsSinceEpoch(query.value(0).toLongLong(), Qt::UTC);
    snapshot.items = itemsFromText(query.value(1).toString()).value_or(std::vector<Item>{});
    return snapshot;
}

}  // namespace

QString defaultHistoryPath()
{
    QString path = qEnvironmentVariable("VESKARO_HISTORY");
    if (path.isEmpty()) {
        path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/history.sqlite");
    }
    return QDir::cleanPath(path);
}

HistoryStore::HistoryStore(QString path)
    : m_path(std::move(path))
    , m_connection(QStringLiteral("veskaro-history-%1").arg(g_connections.fetch_add(1)))
{
}

HistoryStore::~HistoryStore()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QStringList HistoryStore::takeProblems()
{
    return std::exchange(m_problems, {});
}

void HistoryStore::problem(const QString& text)
{
    if (!m_problems.contains(text))
        m_problems.append(text);
}

bool HistoryStore::open()
{
    if (m_open)
        return true;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        problem(QStringLiteral("No history is kept: the Qt SQLite driver (package libqt6sql6-sqlite) is not "
                               "installed."));
        return false;
    }
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        problem(QStringLiteral("No history is kept: the folder %1 cannot be made.").arg(info.absolutePath()));
        return false;
    }
    // A file set aside is followed by one attempt at a new one.
    for (int attempt = 0; attempt < 2; ++attempt) {
        switch (openOnce()) {
        case Opening::Opened:
            m_open = true;
            return true;
        case Opening::SetAside:
            continue;
        case Opening::Refused:
        case Opening::Failed:
            return false;
        }
    }
    return false;
}

HistoryStore::Opening HistoryStore::openOnce()
{
    {
        QSqlDatabase db = QSqlDatabase::contains(m_connection)
                              ? QSqlDatabase::database(m_connection, false)
                              : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(m_path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        if (!db.open()) {
            problem(QStringLiteral("No history is kept: %1 cannot be opened (%2).").arg(m_path, db.lastError().text()));
            return Opening::Failed;
        }
    }
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    // The header is read before anything is written: a file of a newer schema
    // or of another program must stay exactly as it is until decided upon.
    // It is read in one read transaction, so that a file another Veskaro is
    // setting up at this moment is seen either empty or complete.
    query.exec(QStringLiteral("BEGIN"));
    if (!query.exec(QStringLiteral("PRAGMA application_id")) || !query.next()) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        if (isDamage(query.lastError())) {
            setAside(QStringLiteral("it is not a readable history database"));
            return Opening::SetAside;
        }
        problem(QStringLiteral("No history is kept: %1 cannot be read (%2).").arg(m_path, query.lastError().text()));
        return Opening::Failed;
    }
    const int applicationId = query.value(0).toInt();
    query.finish();
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        problem(QStringLiteral("No history is kept: %1 cannot be read (%2).").arg(m_path, query.lastError().text()));
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return Opening::Failed;
    }
    const int version = query.value(0).toInt();
    query.finish();
    int tables = 0;
    if (query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) && query.next())
        tables = query.value(0).toInt();
    query.finish();
    query.exec(QStringLiteral("COMMIT"));
    const bool empty = applicationId == 0 && version == 0 && tables == 0;
    if (!empty && applicationId != kApplicationId) {
        setAside(QStringLiteral("it is the database of another program"));
        return Opening::SetAside;
    }
    if (version > kSchemaVersion) {
        problem(QStringLiteral("No history is kept: %1 was written by a newer Veskaro (history version %2, this "
                               "one knows up to %3). The file is left as it is.")
                    .arg(m_path)
                    .arg(version)
                    .arg(kSchemaVersion));
        db.close();
        return Opening::Refused;
    }
    if (!empty) {
        if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next() || query.value(0).toString() != u"ok") {
            query.finish();
            setAside(QStringLiteral("it is damaged"));
            return Opening::SetAside;
        }
        query.finish();
    }
    // WAL lets readers and one writer at a time work side by side; NORMAL
    // syncing in WAL mode never damages the file when a process is killed.
    // Turning a new file to WAL takes it whole for a moment; SQLite answers a
    // second program doing the same at once with "locked" without waiting, so
    // the switch is tried again within the busy timeout.
    QElapsedTimer waited;
    waited.start();
    bool journal = query.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    while (!journal && waited.elapsed() < kBusyTimeoutMs
           && query.lastError().nativeErrorCode() == QLatin1String("5")) {  // SQLITE_BUSY
        query.finish();
        QThread::msleep(10);
        journal = query.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    if (!journal) {
        problem(QStringLiteral("No history is kept: %1 cannot be written (%2).").arg(m_path, query.lastError().text()));
        return Opening::Failed;
    }
    query.finish();
    query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    if (!migrate())
        return Opening::Failed;
    return Opening::Opened;
}

bool HistoryStore::migrate()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        problem(QStringLiteral("No history is kept: %1 cannot be written (%2).").arg(m_path, query.lastError().text()));
        return false;
    }
    // Another process may have brought the file up to date meanwhile.
    int version = 0;
    if (query.exec(QStringLiteral("PRAGMA user_version")) && query.next())
        version = query.value(0).toInt();
    query.finish();
    const auto fail = [&](const QSqlError& error) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        problem(QStringLiteral("No history is kept: %1 cannot be brought up to date (%2).").arg(m_path, error.text()));
        return false;
    };
    if (version > kSchemaVersion) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        problem(QStringLiteral("No history is kept: %1 was written by a newer Veskaro. The file is left as it is.")
                    .arg(m_path));
        return false;
    }
    for (int step = version; step < kSchemaVersion; ++step) {
        for (const QString& statement : migrations().at(static_cast<size_t>(step))) {
            if (!query.exec(statement))
                return fail(query.lastError());
        }
    }
    if (version < kSchemaVersion) {
        if (!query.exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion))
            || !query.exec(QStringLiteral("PRAGMA application_id=%1").arg(kApplicationId)))
            return fail(query.lastError());
    }
    if (!query.exec(QStringLiteral("COMMIT")))
        return fail(query.lastError());
    return true;
}

void HistoryStore::setAside(const QString& why)
{
    QSqlDatabase::database(m_connection, false).close();
    const QString aside = asideName(m_path);
    if (!QFile::rename(m_path, aside)) {
        problem(QStringLiteral("The history file %1 cannot be used (%2) and cannot be moved aside.").arg(m_path, why));
        return;
    }
    // A log and index beside the damaged file belong to it, not to the new one.
    for (const char* suffix : {"-wal", "-shm"}) {
        if (QFile::exists(m_path + QLatin1String(suffix)))
            QFile::rename(m_path + QLatin1String(suffix), aside + QLatin1String(suffix));
    }
    problem(QStringLiteral("The history file %1 could not be used (%2). It was kept as %3 and a new history "
                           "started.")
                .arg(m_path, why, aside));
}

bool HistoryStore::beginWrite()
{
    if (!m_open)
        return false;
    // IMMEDIATE takes the write lock at once (waiting up to the busy timeout),
    // so a transaction that reads first never fails to upgrade later.
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        problem(QStringLiteral("The history could not be written to %1: %2").arg(m_path, query.lastError().text()));
        return false;
    }
    return true;
}

bool HistoryStore::commitWrite()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("COMMIT"))) {
        rollbackWrite(QStringLiteral("written"), query.lastError().text());
        return false;
    }
    return true;
}

void HistoryStore::rollbackWrite(const QString& what, const QString& error)
{
    QSqlQuery(QSqlDatabase::database(m_connection, false)).exec(QStringLiteral("ROLLBACK"));
    problem(QStringLiteral("The history could not be %1 in %2: %3").arg(what, m_path, error));
}

bool HistoryStore::recordSamples(const std::vector<Sample>& samples)
{
    if (samples.empty())
        return m_open;
    if (!beginWrite())
        return false;
    QSqlQuery insert(QSqlDatabase::database(m_connection, false));
    insert.prepare(QStringLiteral("INSERT INTO samples(server, taken, utilization, high) VALUES(?, ?, ?, ?)"));
    for (const Sample& sample : samples) {
        insert.bindValue(0, serverKey(sample.server));
        insert.bindValue(1, sample.taken.toMSecsSinceEpoch());
        insert.bindValue(2, sample.utilization);
        insert.bindValue(3, sample.highWater);
        if (!insert.exec()) {
            rollbackWrite(QStringLiteral("written"), insert.lastError().text());
            return false;
        }
    }
    return commitWrite();
}

std::optional<int> HistoryStore::recordSnapshots(const std::vector<Snapshot>& snapshots)
{
    if (!beginWrite())
        return std::nullopt;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery last(db);
    last.prepare(QStringLiteral(
        "SELECT items FROM snapshots WHERE server = ? AND kind = ? ORDER BY taken DESC, id DESC LIMIT 1"));
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO snapshots(server, kind, taken, items) VALUES(?, ?, ?, ?)"));
    int stored = 0;
    for (const Snapshot& snapshot : snapshots) {
        const QString server = serverKey(snapshot.server);
        const QString text = itemsText(normalizedItems(snapshot.items));
        last.bindValue(0, server);
        last.bindValue(1, static_cast<int>(snapshot.kind));
        if (!last.exec()) {
            rollbackWrite(QStringLiteral("read"), last.lastError().text());
            return std::nullopt;
        }
        const bool same = last.next() && last.value(0).toString() == text;
        last.finish();
        if (same)
            continue;
        insert.bindValue(0, server);
        insert.bindValue(1, static_cast<int>(snapshot.kind));
        insert.bindValue(2, snapshot.taken.toMSecsSinceEpoch());
        insert.bindValue(3, text);
        if (!insert.exec()) {
            rollbackWrite(QStringLiteral("written"), insert.lastError().text());
            return std::nullopt;
        }
        ++stored;
    }
    if (!commitWrite())
        return std::nullopt;
    return stored;
}

bool HistoryStore::saveBaseline(const QString& name, const std::vector<Snapshot>& snapshots)
{
    if (!beginWrite())
        return false;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery drop(db);
    drop.prepare(QStringLiteral("DELETE FROM baselines WHERE name = ?"));
    drop.bindValue(0, name);
    if (!drop.exec()) {
        rollbackWrite(QStringLiteral("written"), drop.lastError().text());
        return false;
    }
    QSqlQuery insert(db);
    insert.prepare(
        QStringLiteral("INSERT OR REPLACE INTO baselines(name, server, kind, saved, items) VALUES(?, ?, ?, ?, ?)"));
    for (const Snapshot& snapshot : snapshots) {
        insert.bindValue(0, name);
        insert.bindValue(1, serverKey(snapshot.server));
        insert.bindValue(2, static_cast<int>(snapshot.kind));
        insert.bindValue(3, snapshot.taken.toMSecsSinceEpoch());
        insert.bindValue(4, itemsText(normalizedItems(snapshot.items)));
        if (!insert.exec()) {
            rollbackWrite(QStringLiteral("written"), insert.lastError().text());
            return false;
        }
    }
    return commitWrite();
}

bool HistoryStore::clear()
{
    if (!beginWrite())
        return false;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    for (const char* table : {"samples", "samples_minute", "samples_hour", "snapshots"}) {
        if (!query.exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)))) {
            rollbackWrite(QStringLiteral("cleared"), query.lastError().text());
            return false;
        }
    }
    return commitWrite();
}

bool HistoryStore::prune(const QDateTime& now, int historyDays)
{
    if (!beginWrite())
        return false;
    const qint64 nowMs = now.toMSecsSinceEpoch();
    const qint64 fullCut = nowMs - kFullSampleHours * 3600 * 1000;
    const qint64 minuteCut = nowMs - kMinuteDays * 24 * 3600 * 1000;
    const qint64 keepCut = nowMs - qint64(std::max(historyDays, 1)) * 24 * 3600 * 1000;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // Each coarser row keeps the highest utilization and high-water mark of what it replaces.
    const auto fold = [&](const QString& from, const QString& into, qint64 cut, qint64 step) {
        query.prepare(QStringLiteral("INSERT INTO %2(server, taken, utilization, high) "
                                     "SELECT server, (taken / %3) * %3, max(utilization), max(high) FROM %1 "
                                     "WHERE taken < ? GROUP BY 1, 2 "
                                     "ON CONFLICT(server, taken) DO UPDATE SET "
                                     "utilization = max(utilization, excluded.utilization), "
                                     "high = max(high, excluded.high)")
                          .arg(from, into)
                          .arg(step));
        query.bindValue(0, cut);
        if (!query.exec())
            return false;
        query.prepare(QStringLiteral("DELETE FROM %1 WHERE taken < ?").arg(from));
        query.bindValue(0, cut);
        return query.exec();
    };
    bool written = fold(QStringLiteral("samples"), QStringLiteral("samples_minute"), fullCut, 60 * 1000)
                   && fold(QStringLiteral("samples_minute"), QStringLiteral("samples_hour"), minuteCut, 3600 * 1000);
    if (written) {
        query.prepare(QStringLiteral("DELETE FROM samples_hour WHERE taken < ?"));
        query.bindValue(0, keepCut);
        written = query.exec();
    }
    if (written) {
        query.prepare(QStringLiteral("DELETE FROM snapshots WHERE taken < ? AND id NOT IN "
                                     "(SELECT max(id) FROM snapshots WHERE taken < ? GROUP BY server, kind)"));
        query.bindValue(0, keepCut);
        query.bindValue(1, keepCut);
        written = query.exec();
    }
    if (!written) {
        rollbackWrite(QStringLiteral("pruned"), query.lastError().text());
        return false;
    }
    return commitWrite();
}

std::optional<Snapshot> HistoryStore::lastSnapshot(const QString& server, SnapshotKind kind,
                                                   const std::optional<QDateTime>& atOrBefore)
{
    if (!m_open)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT taken, items FROM snapshots WHERE server = ? AND kind = ? AND taken <= ? "
                                 "ORDER BY taken DESC, id DESC LIMIT 1"));
    query.bindValue(0, serverKey(server));
    query.bindValue(1, static_cast<int>(kind));
    query.bindValue(2, atOrBefore ? atOrBefore->toMSecsSinceEpoch() : std::numeric_limits<qint64>::max());
    if (!query.exec() || !query.next())
        return std::nullopt;
    return snapshotFrom(query, server, kind);
}

qint64 HistoryStore::lastSnapshotId(const QString& server, SnapshotKind kind)
{
    if (!m_open)
        return 0;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(
        QStringLiteral("SELECT id FROM snapshots WHERE server = ? AND kind = ? ORDER BY taken DESC, id DESC LIMIT 1"));
    query.bindValue(0, serverKey(server));
    query.bindValue(1, static_cast<int>(kind));
    if (!query.exec() || !query.next())
        return 0;
    return query.value(0).toLongLong();
}

std::optional<Snapshot> HistoryStore::snapshotById(qint64 id)
{
    if (!m_open)
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT taken, items, server, kind FROM snapshots WHERE id = ?"));
    query.bindValue(0, id);
    if (!query.exec() || !query.next())
        return std::nullopt;
    return snapshotFrom(query, query.value(2).toString(), static_cast<SnapshotKind>(query.value(3).toInt()));
}

std::vector<Snapshot> HistoryStore::snapshots(const QString& server, SnapshotKind kind)
{
    std::vector<Snapshot> found;
    if (!m_open)
        return found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(
        QStringLiteral("SELECT taken, items FROM snapshots WHERE server = ? AND kind = ? ORDER BY taken, id"));
    query.bindValue(0, serverKey(server));
    query.bindValue(1, static_cast<int>(kind));
    if (query.exec()) {
        while (query.next())
            found.push_back(snapshotFrom(query, server, kind));
    }
    return found;
}

std::vector<Snapshot> HistoryStore::baseline(const QString& name, const QString& server)
{
    std::vector<Snapshot> found;
    if (!m_open)
        return found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(
        QStringLiteral("SELECT saved, items, kind FROM baselines WHERE name = ? AND server = ? ORDER BY kind"));
    query.bindValue(0, name);
    query.bindValue(1, serverKey(server));
    if (query.exec()) {
        while (query.next())
            found.push_back(snapshotFrom(query, server, static_cast<SnapshotKind>(query.value(2).toInt())));
    }
    return found;
}

QStringList HistoryStore::baselineNames()
{
    QStringList names;
    if (!m_open)
        return names;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (query.exec(QStringLiteral("SELECT DISTINCT name FROM baselines ORDER BY name"))) {
        while (query.next())
            names.append(query.value(0).toString());
    }
    return names;
}

std::vector<Sample> HistoryStore::samples(const QString& server, const std::optional<QDateTime>& from,
                                          const std::optional<QDateTime>& to)
{
    std::vector<Sample> found;
    if (!m_open)
        return found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // The three tables never overlap: rows move to the coarser one as they age.
    query.prepare(QStringLiteral(
        "SELECT taken, utilization, high FROM ("
        " SELECT taken, utilization, high FROM samples_hour WHERE server = ? AND taken BETWEEN ? AND ?"
        " UNION ALL SELECT taken, utilization, high FROM samples_minute WHERE server = ? AND taken BETWEEN ? AND ?"
        " UNION ALL SELECT taken, utilization, high FROM samples WHERE server = ? AND taken BETWEEN ? AND ?"
        ") ORDER BY taken"));
    const qint64 first = from ? from->toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    const qint64 last = to ? to->toMSecsSinceEpoch() : std::numeric_limits<qint64>::max();
    for (int table = 0; table < 3; ++table) {
        query.bindValue(table * 3, serverKey(server));
        query.bindValue(table * 3 + 1, first);
        query.bindValue(table * 3 + 2, last);
    }
    if (query.exec()) {
        while (query.next()) {
            found.push_back({server, QDateTime::fromMSecsSinceEpoch(query.value(0).toLongLong(), Qt::UTC),
                             query.value(1).toInt(), query.value(2).toInt()});
        }
    }
    return found;
}

std::vector<Sample> HistoryStore::sampleMaxima(const QString& server, const QDateTime& from, const QDateTime& to,
                                               qint64 intervalMs)
{
    if (intervalMs <= 1)
        return samples(server, from, to);
    std::vector<Sample> found;
    if (!m_open)
        return found;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // SQLite gives the other columns of an aggregate's MAX() from the row
    // that holds the maximum: each interval's highest reading at its own time.
    query.prepare(QStringLiteral(
        "SELECT taken, MAX(utilization), high FROM ("
        " SELECT taken, utilization, high FROM samples_hour WHERE server = ? AND taken BETWEEN ? AND ?"
        " UNION ALL SELECT taken, utilization, high FROM samples_minute WHERE server = ? AND taken BETWEEN ? AND ?"
        " UNION ALL SELECT taken, utilization, high FROM samples WHERE server = ? AND taken BETWEEN ? AND ?"
        ") GROUP BY taken / ? ORDER BY taken"));
    for (int table = 0; table < 3; ++table) {
        query.bindValue(table * 3, serverKey(server));
        query.bindValue(table * 3 + 1, from.toMSecsSinceEpoch());
        query.bindValue(table * 3 + 2, to.toMSecsSinceEpoch());
    }
    query.bindValue(9, intervalMs);
    if (query.exec()) {
        while (query.next()) {
            found.push_back({server, QDateTime::fromMSecsSinceEpoch(query.value(0).toLongLong(), Qt::UTC),
                             query.value(1).toInt(), query.value(2).toInt()});
        }
    }
    return found;
}

qint64 HistoryStore::snapshotCount()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!m_open || !query.exec(QStringLiteral("SELECT count(*) FROM snapshots")) || !query.next())
        return 0;
    return query.value(0).toLongLong();
}

qint64 HistoryStore::sampleCount()
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!m_open
        || !query.exec(QStringLiteral("SELECT (SELECT count(*) FROM samples) + (SELECT count(*) FROM samples_minute)"
                                      " + (SELECT count(*) FROM samples_hour)"))
        || !query.next())
        return 0;
    return query.value(0).toLongLong();
}

}  // namespace history
