// veskaro-report's history commands: snapshot reads servers into the
// history, changes prints what differs from an earlier state or a baseline,
// history prints a server's utilization samples.

#include "report/ReportCommand.h"

#include "app/MainWindow.h"
#include "export/TableExport.h"
#include "history/Changes.h"
#include "history/ChangesSince.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "netware/NovellCalls.h"
#include "settings/SettingsKeys.h"

#include <QHash>
#include <QListWidget>
#include <QSaveFile>
#include <QTextStream>

#include <array>

namespace report {

namespace {

const QStringList kHistoryCommands = {QStringLiteral("snapshot"), QStringLiteral("changes"), QStringLiteral("history")};
// Options of the history commands that take a value.
const QStringList kHistoryValueOptions = {QStringLiteral("--since"), QStringLiteral("--baseline"),
                                          QStringLiteral("--from"), QStringLiteral("--to")};

struct HistoryArguments {
    QString command;
    QStringList servers;
    ReportFormat format = ReportFormat::Csv;
    QString output;
    std::optional<int> jobs;
    std::optional<QDateTime> since;
    std::optional<QDateTime> from;
    std::optional<QDateTime> to;
    QString baseline;
};

bool takesValue(const QString& option)
{
    if (kHistoryValueOptions.contains(option))
        return true;
    for (const ReportOption& known : reportOptions()) {
        if (option == QLatin1String(known.name))
            return known.valueName != nullptr;
    }
    return false;
}

// The first word that is neither an option nor an option's value.
QString commandWord(const QStringList& arguments)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--help" || argument == u"-h" || argument == u"--version" || argument == u"--list-views")
            return {};
        if (!argument.startsWith(QLatin1Char('-')))
            return argument;
        if (!argument.contains(QLatin1Char('=')) && takesValue(argument))
            ++i;
    }
    return {};
}

QByteArray tableBytes(const QList<QStringList>& rows, ReportFormat format)
{
    switch (format) {
    case ReportFormat::Tsv:
        return tsvText(rows);
    case ReportFormat::Json:
        return jsonText(rows, 1);
    case ReportFormat::Csv:
        break;
    }
    // As File / Save writes a table: ANSI text, CR LF line ends.
    QString text;
    for (const QStringList& row : rows)
        text += exporting::buildLine(row, QStringLiteral(",")) + QStringLiteral("\r\n");
    return nw::toAnsi(text);
}

bool writeOut(const HistoryArguments& parsed, const QList<QStringList>& rows, QIODevice& out, QTextStream& err)
{
    const QByteArray bytes = tableBytes(rows, parsed.format);
    if (parsed.output.isEmpty()) {
        out.write(bytes);
        return true;
    }
    QSaveFile file(parsed.output);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        err << "veskaro-report: cannot write " << parsed.output << ": " << file.errorString() << Qt::endl;
        return false;
    }
    return true;
}

// Opens the views that read what the history keeps, for all the servers at
// once; each view records what it applied.
void readServersIntoHistory(app::MainWindow& form, const QStringList& servers)
{
    for (const app::Command command : {app::Command::ShowServerInformation, app::Command::CompareNlms,
                                       app::Command::CompareSetParameters, app::Command::ShowVolumeUsage})
        openForServersInOrder(form, command, servers);
}

// Servers no view could record; each is told on err.
QStringList unreadServers(history::HistoryRecorder& recorder, const QStringList& servers, QTextStream& err)
{
    const QStringList recorded = recorder.serversRecorded();
    QStringList unread;
    for (const QString& server : servers) {
        if (!recorded.contains(server.trimmed().toUpper())) {
            unread.append(server);
            err << "veskaro-report: " << server << " could not be read" << Qt::endl;
        }
    }
    return unread;
}

void tellHistoryProblems(history::HistoryRecorder& recorder, QTextStream& err)
{
    for (const QString& problem : recorder.takeProblems())
        err << "History: " << problem << Qt::endl;
}

std::optional<int> parseHistoryArguments(const QStringList& arguments, HistoryArguments& parsed, QTextStream& err)
{
    const auto usageError = [&](const QString& problem) -> std::optional<int> {
        err << "veskaro-report: " << problem << Qt::endl;
        err << "Try 'veskaro-report --help'." << Qt::endl;
        return 2;
    };
    QStringList positional;
    for (int i = 0; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (!argument.startsWith(QLatin1String("--"))) {
            positional.append(argument);
            continue;
        }
        std::optional<QString> value;
        if (argument.contains(QLatin1Char('='))) {
            value = argument.mid(argument.indexOf(QLatin1Char('=')) + 1);
            argument = argument.left(argument.indexOf(QLatin1Char('=')));
        }
        if (!takesValue(argument))
            return usageError(QStringLiteral("unknown option %1").arg(argument));
        if (!value) {
            if (i + 1 >= arguments.size())
                return usageError(QStringLiteral("%1 needs a value").arg(argument));
            value = arguments.at(++i);
        }
        const QString command = positional.isEmpty() ? QString() : positional.constFirst();
        const auto date = [&](std::optional<QDateTime>& into) -> std::optional<int> {
            into = history::parseHistoryDate(*value);
            if (!into)
                return usageError(QStringLiteral("%1 takes a date such as 2026-12-07, 2026-12-07T14:30:00 or "
                                                 "2026-12-07T14:30:00+01:00")
                                      .arg(argument));
            return std::nullopt;
        };
        if (argument == u"--format") {
            const std::optional<ReportFormat> format = reportFormatFromName(*value);
            if (!format)
                return usageError(QStringLiteral("--format takes %1").arg(reportFormatNames().join(QLatin1Char('|'))));
            parsed.format = *format;
        } else if (argument == u"--output") {
            if (value->isEmpty())
                return usageError(QStringLiteral("--output needs a file name"));
            parsed.output = *value;
        } else if (argument == u"--jobs") {
            bool number = false;
            const int jobs = value->toInt(&number);
            if (!number || jobs < settings::kMinParallelServers || jobs > settings::kMaxParallelServers)
                return usageError(QStringLiteral("--jobs takes a number from %1 to %2")
                                      .arg(settings::kMinParallelServers)
                                      .arg(settings::kMaxParallelServers));
            parsed.jobs = jobs;
        } else if (argument == u"--since") {
            if (const auto rc = date(parsed.since))
                return rc;
        } else if (argument == u"--from") {
            if (const auto rc = date(parsed.from))
                return rc;
        } else if (argument == u"--to") {
            if (const auto rc = date(parsed.to))
                return rc;
        } else if (argument == u"--baseline") {
            if (value->trimmed().isEmpty())
                return usageError(QStringLiteral("--baseline needs a name"));
            parsed.baseline = value->trimmed();
        } else {
            return usageError(QStringLiteral("the %1 command takes no %2").arg(command, argument));
        }
    }
    parsed.command = positional.takeFirst();
    parsed.servers = positional;
    const QString& command = parsed.command;
    if (parsed.servers.isEmpty())
        return usageError(QStringLiteral("the %1 command needs a server name").arg(command));
    if (command == u"history") {
        if (parsed.servers.size() != 1)
            return usageError(QStringLiteral("the history command takes one server"));
        if (parsed.since || !parsed.baseline.isEmpty() || parsed.jobs)
            return usageError(QStringLiteral("the history command takes --from and --to"));
        return std::nullopt;
    }
    if (parsed.from || parsed.to)
        return usageError(QStringLiteral("the %1 command takes no --from or --to").arg(command));
    if (command == u"snapshot" && (parsed.since || !parsed.output.isEmpty()))
        return usageError(QStringLiteral("the snapshot command takes --baseline and --jobs"));
    if (command == u"changes" && parsed.since && !parsed.baseline.isEmpty())
        return usageError(QStringLiteral("changes takes --since or --baseline, not both"));
    return std::nullopt;
}

int printSamples(const HistoryArguments& parsed, QIODevice& out, QTextStream& err)
{
    history::HistoryStore store(history::defaultHistoryPath());
    const bool opened = store.open();
    for (const QString& problem : store.takeProblems())
        err << "History: " << problem << Qt::endl;
    if (!opened)
        return 1;
    QList<QStringList> rows{
        {QStringLiteral("Server"), QStringLiteral("Time"), QStringLiteral("Utilization"), QStringLiteral("High")}};
    const QString server = parsed.servers.constFirst();
    for (const history::Sample& sample : store.samples(server, parsed.from, parsed.to)) {
        rows.append({server, sample.taken.toString(Qt::ISODate), QString::number(sample.utilization),
                     QString::number(sample.highWater)});
    }
    return writeOut(parsed, rows, out, err) ? 0 : 1;
}

}  // namespace

QStringList historyCommandNames()
{
    return kHistoryCommands;
}

QString historyUsage()
{
    return QStringLiteral("\n"
                          "History (kept by every reading of the views):\n"
                          "  snapshot [--baseline NAME] SERVER...\n"
                          "                       read the servers and keep what changed; --baseline\n"
                          "                       also keeps their modules and SET parameters as NAME\n"
                          "  changes [--since DATE|--baseline NAME] SERVER...\n"
                          "                       read the servers and print what differs from their\n"
                          "                       state at DATE (default: before this reading) or from\n"
                          "                       the baseline; exit status 1 when anything differs\n"
                          "  history SERVER [--from DATE] [--to DATE]\n"
                          "                       print the server's utilization samples\n"
                          "  DATE: 2026-12-07, 2026-12-07T14:30:00 (UTC) or 2026-12-07T14:30:00+01:00\n");
}

std::optional<int> executeHistoryCommand(const QStringList& arguments, QIODevice& out, QTextStream& err,
                                         ReportFormat& format)
{
    if (!kHistoryCommands.contains(commandWord(arguments)))
        return std::nullopt;
    HistoryArguments parsed;
    if (const std::optional<int> rc = parseHistoryArguments(arguments, parsed, err))
        return rc;
    format = parsed.format;
    if (parsed.command == u"history")
        return printSamples(parsed, out, err);

    ReportSession session(err);
    if (const std::optional<int> rc = session.start()) {
        err.flush();
        return rc;
    }
    app::MainWindow& form = session.form();
    for (const QString& server : std::as_const(parsed.servers)) {
        if (form.lstServers()->findItems(server, Qt::MatchFixedString).isEmpty()) {
            err << "veskaro-report: " << server << " is not in the server list" << Qt::endl;
            return 2;
        }
    }
    history::HistoryRecorder* recorder = form.context().history;
    if (!recorder) {
        err << "veskaro-report: this run keeps no history" << Qt::endl;
        return 1;
    }
    if (parsed.jobs)
        form.context().values.parallelServers = *parsed.jobs;
    const QString baseline = parsed.baseline;
    const QStringList servers = parsed.servers;
    const bool comparingBaseline = parsed.command == u"changes" && !baseline.isEmpty();
    if (comparingBaseline) {
        const bool known = recorder->ask<bool>(
            [&baseline](history::HistoryStore& store) { return store.baselineNames().contains(baseline); });
        if (!known) {
            tellHistoryProblems(*recorder, err);
            err << "veskaro-report: there is no baseline named " << baseline << Qt::endl;
            return 2;
        }
    }
    // The state before this reading: the last snapshot of each server's kinds.
    const std::optional<QDateTime> since = parsed.since;
    history::StateMarks before = recorder->ask<history::StateMarks>(
        [&servers](history::HistoryStore& store) { return history::lastSnapshotIds(store, servers); });

    readServersIntoHistory(form, servers);
    const QStringList unread = unreadServers(*recorder, servers, err);

    if (parsed.command == u"snapshot") {
        bool saved = true;
        if (!baseline.isEmpty()) {
            saved = recorder->ask<bool>([&](history::HistoryStore& store) {
                QStringList read = servers;
                for (const QString& server : unread)
                    read.removeAll(server);
                return store.saveBaseline(baseline, history::latestBaselineSnapshots(store, read));
            });
        }
        tellHistoryProblems(*recorder, err);
        err.flush();
        return unread.isEmpty() && saved ? 0 : 1;
    }

    history::ChangeOrigin origin;
    if (comparingBaseline) {
        origin.from = history::ChangeOrigin::From::Baseline;
        origin.baseline = baseline;
    } else if (since) {
        origin.from = history::ChangeOrigin::From::Date;
        origin.date = *since;
    } else {
        origin.marks = std::move(before);
    }
    const std::vector<history::DatedChange> changes = recorder->ask<std::vector<history::DatedChange>>(
        [&](history::HistoryStore& store) { return history::changesSince(store, servers, origin, unread); });
    tellHistoryProblems(*recorder, err);

    QList<QStringList> rows{history::changeHeadings()};
    for (const history::DatedChange& dated : changes)
        rows.append(history::changeFields(dated.change));
    if (!writeOut(parsed, rows, out, err))
        return 1;
    err.flush();
    if (!unread.isEmpty())
        return 1;
    return changes.empty() ? 0 : 1;
}

}  // namespace report
