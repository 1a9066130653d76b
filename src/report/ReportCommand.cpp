#include "report/ReportCommand.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/ViewDescriptors.h"
#include "export/SaveCopy.h"
#include "platform/StderrMessageService.h"
#include "report/ReportFormats.h"
#include "settings/RegistryStore.h"
#include "settings/SettingsKeys.h"
#include "viewbase/ViewWindow.h"
#include "widgets/RefreshFrame.h"

#include "VeskaroVersion.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QImage>
#include <QPixmap>
#include <QSaveFile>
#include <QTextStream>

namespace report {

namespace {

// Nothing is asked and nothing is started in a run without a user.
class NoFileDialogs : public platform::FileDialogService {
public:
    QString getSaveFileName(const platform::SaveDialogRequest&) override { return {}; }
};

class PrivateClipboard : public platform::ClipboardService {
public:
    bool setText(const QString& text) override
    {
        m_text = text;
        return true;
    }
    QString text() const override { return m_text; }

private:
    QString m_text;
};

class NoProcesses : public platform::ProcessLauncher {
public:
    bool startDetached(const QString&, const QStringList&, const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }
};

struct ParsedArguments {
    bool help = false;
    bool version = false;
    bool listViews = false;
    std::optional<QString> delimiter;
    ReportFormat format = ReportFormat::Csv;
    QString output;
    QString screenshot;
    QString view;
    std::optional<int> jobs;
    ReportRequest request;
};

// Writes the whole file or leaves what was there before.
bool writeFile(const QString& path, const QByteArray& bytes, QString* problem)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *problem = file.errorString();
        return false;
    }
    return true;
}

}  // namespace

struct ReportSession::Parts {
    explicit Parts(QTextStream& err) : messages(err), program(messages, fileDialogs, clipboard, processes) {}
    platform::StderrMessageService messages;
    NoFileDialogs fileDialogs;
    PrivateClipboard clipboard;
    NoProcesses processes;
    app::Program program;
};

ReportSession::ReportSession(QTextStream& err) : m_parts(std::make_unique<Parts>(err))
{
}

ReportSession::~ReportSession() = default;

std::optional<int> ReportSession::start()
{
    app::StartOptions options;
    options.programDir = QCoreApplication::applicationDirPath();
    options.saveWindowState = false;
    options.showSplash = false;
    return m_parts->program.start(nw::loadNetWareClient(), settings::openDefaultRegistryStore(), options);
}

app::MainWindow& ReportSession::form()
{
    return *m_parts->program.mainWindow();
}

bool openForServers(app::MainWindow& form, app::Command command, const QStringList& servers)
{
    if (!form.hasCommand(command)) {
        form.context().messages().inform(QStringLiteral("This view is not available."),
                                         QStringLiteral("veskaro-report"));
        return false;
    }
    if (servers.isEmpty()) {
        form.runCommand(command);
        return true;
    }
    QListWidget* list = form.lstServers();
    for (const QString& server : servers) {
        list->clearSelection();
        const QList<QListWidgetItem*> matches = list->findItems(server, Qt::MatchFixedString);
        if (!matches.isEmpty())
            matches.first()->setSelected(true);
        form.runCommand(command);
    }
    return true;
}

bool openForServersInOrder(app::MainWindow& form, app::Command command, const QStringList& servers)
{
    if (!form.hasCommand(command)) {
        form.context().messages().inform(QStringLiteral("This view is not available."),
                                         QStringLiteral("veskaro-report"));
        return false;
    }
    if (!servers.isEmpty())
        form.selectServers(servers);
    form.runCommand(command);
    return true;
}

std::optional<QList<QStringList>> savedRowsOfActiveView(app::MainWindow& form, const QString& viewName)
{
    QMdiSubWindow* active = form.activeChild();
    if (!active || !form.tableExport()) {
        form.context().messages().inform(QStringLiteral("The %1 view produced no table.").arg(viewName),
                                         QStringLiteral("veskaro-report"));
        return std::nullopt;
    }
    return form.tableExport()->savedRows(form, active->widget());
}

std::optional<ReportOutput> activeViewOutput(app::MainWindow& form, const QString& viewName)
{
    std::optional<QList<QStringList>> rows = savedRowsOfActiveView(form, viewName);
    if (!rows)
        return std::nullopt;
    ReportOutput output;
    output.tables.push_back({QString(), std::move(*rows)});
    return output;
}

QString reportNameOf(app::Command command)
{
    const app::ViewDescriptor* view = app::viewDescriptor(command);
    return view && view->reportName ? QLatin1String(view->reportName) : QString();
}

ReportCommand::ReportCommand()
{
    addStandardViews(*this);
}

void ReportCommand::addView(ReportView view)
{
    for (ReportView& existing : m_views) {
        if (existing.name == view.name) {
            existing = std::move(view);
            return;
        }
    }
    m_views.push_back(std::move(view));
}

const std::vector<ReportOption>& reportOptions()
{
    static const std::vector<ReportOption> options = {
        {"--format", "FORMAT", "csv (the default: exactly what File / Save writes), tsv or json"},
        {"--output", "FILE", "write the table to FILE instead of standard output"},
        {"--delimiter", "C", "csv: field delimiter of the table (one character)"},
        {"--show", "WHAT", "nlms: the columns shown, both, version or date; abends: the report of the N-th halt"},
        {"--view", "WHAT", "partitions: type, state, timestamp or sync"},
        {"--type", "NAME", "connections: the connection type filter (All, IPX, ...)"},
        {"--status", "NAME", "connections: the connection status filter (All, Normal, ...)"},
        {"--differences-only", nullptr, "nlms, sets: only the rows in which the servers differ"},
        {"--jobs", "N", "servers read at once, 1 to 256 (default: ParallelServers of the settings, else 32)"},
        {"--screenshot", "FILE", "also render the main window to a PNG file"},
        {"--list-views", nullptr, "list the view names, one a line"},
        {"--version", nullptr, "show the version number"},
        {"--help", nullptr, "show this text"},
    };
    return options;
}

QString ReportCommand::usage() const
{
    QString text = QStringLiteral("Usage: veskaro-report [OPTIONS] VIEW [SERVER...]\n"
                                  "\n"
                                  "Starts as Veskaro does, opens VIEW for the named servers (or for the\n"
                                  "servers selected at start-up when none is named) in the order given,\n"
                                  "and prints what File / Save would write. Servers are read side by side,\n"
                                  "--jobs at a time; the table is the same whatever the number.\n"
                                  "\n"
                                  "Options:\n");
    for (const ReportOption& option : reportOptions()) {
        QString name = QLatin1String(option.name);
        if (option.valueName)
            name += QLatin1Char(' ') + QLatin1String(option.valueName);
        text += QStringLiteral("  %1%2\n").arg(name, -21).arg(QLatin1String(option.help));
    }
    text += QStringLiteral("\nViews:\n");
    for (const ReportView& view : m_views) {
        const QString name =
            view.targetName.isEmpty() ? view.name : view.name + QStringLiteral(" SERVER ") + view.targetName;
        text += name.size() < 21
                    ? QStringLiteral("  %1%2\n").arg(name, -21).arg(view.description)
                    : QStringLiteral("  %1\n  %2%3\n").arg(name, QString(21, QLatin1Char(' ')), view.description);
    }
    text += historyUsage();
    text += QStringLiteral("\n"
                           "Exit status: 0 table printed, 1 the NetWare client is missing, the network\n"
                           "description cannot be read, the view cannot be produced or a file cannot be\n"
                           "written, 2 wrong usage.\n");
    return text;
}

QString ReportCommand::versionText() const
{
    return QStringLiteral("veskaro-report %1\n").arg(QLatin1String(VESKARO_VERSION));
}

int ReportCommand::execute(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const int exitCode = execute(arguments, buffer, err);
    const bool utf8 = m_format != ReportFormat::Csv;
    out << (utf8 ? QString::fromUtf8(buffer.data()) : QString::fromLatin1(buffer.data()));
    out.flush();
    return exitCode;
}

int ReportCommand::execute(const QStringList& arguments, QIODevice& out, QTextStream& err)
{
    m_format = ReportFormat::Csv;
    if (const std::optional<int> exitCode = executeHistoryCommand(arguments, out, err, m_format))
        return *exitCode;
    ParsedArguments parsed;
    const auto usageError = [&](const QString& problem) {
        err << "veskaro-report: " << problem << Qt::endl;
        err << "Try 'veskaro-report --help'." << Qt::endl;
        return 2;
    };
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(QStringLiteral("h")));
    for (const ReportOption& option : reportOptions()) {
        const QString name = QLatin1String(option.name).mid(2);
        parser.addOption(option.valueName ? QCommandLineOption(name, QString(), QLatin1String(option.valueName))
                                          : QCommandLineOption(name));
    }
    if (!parser.parse(QStringList{QStringLiteral("veskaro-report")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString dashes = unknown.constFirst().size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usageError(QStringLiteral("unknown option %1%2").arg(dashes, unknown.constFirst()));
        }
        return usageError(parser.errorText());
    }
    const auto given = [&](const char* name) { return parser.isSet(QLatin1String(name)); };
    const auto valueOf = [&](const char* name) { return parser.value(QLatin1String(name)); };
    parsed.help = given("help") || given("h");
    parsed.version = given("version");
    parsed.listViews = given("list-views");
    parsed.request.differencesOnly = given("differences-only");
    parsed.request.show = valueOf("show");
    parsed.request.view = valueOf("view");
    parsed.request.typeFilter = valueOf("type");
    parsed.request.statusFilter = valueOf("status");
    if (given("delimiter")) {
        if (valueOf("delimiter").size() != 1)
            return usageError(QStringLiteral("the delimiter must be one character"));
        parsed.delimiter = valueOf("delimiter");
    }
    if (given("jobs")) {
        bool number = false;
        const int jobs = valueOf("jobs").toInt(&number);
        if (!number || jobs < settings::kMinParallelServers || jobs > settings::kMaxParallelServers)
            return usageError(QStringLiteral("--jobs takes a number from %1 to %2")
                                  .arg(settings::kMinParallelServers)
                                  .arg(settings::kMaxParallelServers));
        parsed.jobs = jobs;
    }
    const bool formatGiven = given("format");
    if (formatGiven) {
        const std::optional<ReportFormat> format = reportFormatFromName(valueOf("format"));
        if (!format)
            return usageError(QStringLiteral("--format takes %1").arg(reportFormatNames().join(QLatin1Char('|'))));
        parsed.format = *format;
        m_format = *format;
    }
    for (const char* file : {"output", "screenshot"}) {
        if (given(file) && valueOf(file).isEmpty())
            return usageError(QStringLiteral("--%1 needs a file name").arg(QLatin1String(file)));
    }
    parsed.output = valueOf("output");
    parsed.screenshot = valueOf("screenshot");
    QStringList positional = parser.positionalArguments();
    if (parsed.help) {
        out.write(usage().toUtf8());
        return 0;
    }
    if (parsed.version) {
        out.write(versionText().toUtf8());
        return 0;
    }
    if (parsed.listViews) {
        for (const ReportView& view : m_views)
            out.write(view.name.toUtf8() + '\n');
        return 0;
    }
    if (positional.isEmpty())
        return usageError(QStringLiteral("no view named"));
    parsed.view = positional.takeFirst();
    parsed.request.servers = positional;
    const auto named =
        std::find_if(m_views.begin(), m_views.end(), [&](const ReportView& view) { return view.name == parsed.view; });
    if (named != m_views.end() && !named->targetName.isEmpty()) {
        if (positional.size() != 2)
            return usageError(QStringLiteral("the %1 view takes SERVER %2").arg(parsed.view, named->targetName));
        parsed.request.target = positional.takeLast();
        parsed.request.servers = positional;
    }
    if (parsed.delimiter && formatGiven && parsed.format != ReportFormat::Csv)
        return usageError(QStringLiteral("--delimiter applies to csv only"));

    const auto found =
        std::find_if(m_views.begin(), m_views.end(), [&](const ReportView& view) { return view.name == parsed.view; });
    if (found == m_views.end())
        return usageError(QStringLiteral("unknown view %1").arg(parsed.view));
    if (!found->takesServers && !parsed.request.servers.isEmpty())
        return usageError(QStringLiteral("the %1 view takes no server names").arg(parsed.view));
    if (found->oneServer && parsed.request.servers.size() != 1)
        return usageError(QStringLiteral("the %1 view takes one server").arg(parsed.view));
    if (!parsed.request.view.isEmpty() && !found->viewValues.contains(parsed.request.view))
        return usageError(found->viewValues.isEmpty()
                              ? QStringLiteral("the %1 view takes no --view").arg(parsed.view)
                              : QStringLiteral("--view takes %1").arg(found->viewValues.join(QLatin1Char('|'))));
    if (found->showTakesNumber && !parsed.request.show.isEmpty()) {
        bool number = false;
        if (parsed.request.show.toInt(&number) < 1 || !number)
            return usageError(QStringLiteral("--show takes a number from 1"));
    } else if (!parsed.request.show.isEmpty() && !found->showValues.contains(parsed.request.show))
        return usageError(found->showValues.isEmpty()
                              ? QStringLiteral("the %1 view takes no --show").arg(parsed.view)
                              : QStringLiteral("--show takes %1").arg(found->showValues.join(QLatin1Char('|'))));
    const auto checkFilter = [&](const QString& option, const QString& value, const QStringList& accepted) {
        if (value.isEmpty() || accepted.contains(value))
            return 0;
        return usageError(accepted.isEmpty()
                              ? QStringLiteral("the %1 view takes no %2").arg(parsed.view, option)
                              : QStringLiteral("%1 takes %2").arg(option, accepted.join(QLatin1Char('|'))));
    };
    if (const int rc = checkFilter(QStringLiteral("--type"), parsed.request.typeFilter, found->typeValues))
        return rc;
    if (const int rc = checkFilter(QStringLiteral("--status"), parsed.request.statusFilter, found->statusValues))
        return rc;
    if (parsed.request.differencesOnly && !found->takesDifferencesOnly)
        return usageError(QStringLiteral("the %1 view takes no --differences-only").arg(parsed.view));

    platform::StderrMessageService messages(err);
    NoFileDialogs fileDialogs;
    PrivateClipboard clipboard;
    NoProcesses processes;
    app::Program program(messages, fileDialogs, clipboard, processes);
    app::StartOptions options;
    options.programDir = QCoreApplication::applicationDirPath();
    options.saveWindowState = false;
    options.showSplash = false;
    if (const auto exitCode = program.start(nw::loadNetWareClient(), settings::openDefaultRegistryStore(), options)) {
        err.flush();
        return *exitCode;
    }
    app::MainWindow& form = *program.mainWindow();
    if (parsed.jobs)
        form.context().values.parallelServers = *parsed.jobs;

    for (const QString& server : std::as_const(parsed.request.servers)) {
        if (form.lstServers()->findItems(server, Qt::MatchFixedString).isEmpty())
            return usageError(QStringLiteral("%1 is not in the server list").arg(server));
    }

    if (found->refuseTarget) {
        if (const QString problem = found->refuseTarget(form, parsed.request); !problem.isEmpty()) {
            err << "veskaro-report: " << problem << Qt::endl;
            return 2;
        }
    }

    std::optional<ReportOutput> table = found->produce(form, parsed.request);
    if (!table) {
        err.flush();
        return 1;
    }
    table->headerRows = found->headerRows;
    const QString delimiter = parsed.delimiter.value_or(exporting::saveDelimiter(form.context()));
    const QByteArray bytes = formattedOutput(*table, parsed.format, delimiter);
    if (parsed.output.isEmpty()) {
        out.write(bytes);
    } else if (QString problem; !writeFile(parsed.output, bytes, &problem)) {
        err << "veskaro-report: cannot write " << parsed.output << ": " << problem << Qt::endl;
        return 1;
    }

    if (!parsed.screenshot.isEmpty()) {
        // The raster engine draws at most 32767 pixels a side; a larger window
        // comes from a size stored in the settings, and is not even shown.
        constexpr int kLargestSide = 32767;
        const bool drawable = form.width() <= kLargestSide && form.height() <= kLargestSide;
        QPixmap picture;
        if (drawable) {
            // The picture shows the pass the table was read from: while the
            // window is laid out and drawn, no refreshing view may start
            // another one.
            for (widgets::RefreshFrame* refresh : form.findChildren<widgets::RefreshFrame*>())
                refresh->holdTimer();
            form.setAttribute(Qt::WA_DontShowOnScreen);
            form.show();
            QCoreApplication::processEvents();
            // Shown, the windows have their final sizes: fitted columns
            // follow them now rather than after the pause a user's drag gets.
            for (views::ViewWindow* view : form.findChildren<views::ViewWindow*>()) {
                if (view->columnsFollowWidth())
                    view->refitColumns();
            }
            QCoreApplication::processEvents();
            picture = form.grab();
            if (m_pictureObserver)
                m_pictureObserver(form);
        }
        if (picture.isNull()) {
            err << "veskaro-report: cannot render the main window at " << form.width() << " x " << form.height()
                << " pixels (the window size stored in the settings may be too large); " << parsed.screenshot
                << " was not written" << Qt::endl;
            return 1;
        }
        // A palette of 256 colours loses nothing a window shows and keeps the
        // picture a fraction of the size.
        const QImage palette =
            picture.toImage().convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
        if (!palette.save(parsed.screenshot, "PNG", 0)) {
            err << "veskaro-report: cannot write " << parsed.screenshot << Qt::endl;
            return 1;
        }
    }
    err.flush();
    return 0;
}

}  // namespace report
