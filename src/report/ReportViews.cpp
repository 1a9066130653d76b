// The views veskaro-report can print, each opened as the user opens it and
// printed as File / "&Save" writes it. This is the one table of views: --help,
// --list-views, the dispatch and the shell completion all follow it. A new view
// is one more entry in standardViews().

#include "report/ReportCommand.h"

#include "platform/Services.h"

#include "app/Commands.h"
#include "app/MainWindow.h"
#include "app/TableExport.h"
#include "connections/ConnectionFormats.h"
#include "connections/FileLocksWindow.h"
#include "connections/FileUse.h"
#include "connections/OpenFilesWindow.h"
#include "connections/UserConnectionsWindow.h"
#include "views/NlmWindow.h"
#include "views/UtilizationWindow.h"
#include "views/SetCommandsWindow.h"

#include <QComboBox>
#include <QListWidget>

namespace report {

namespace {

// What a view does to its window between opening and saving.
using Adjust = std::function<void(app::MainWindow&, const ReportRequest&)>;

// How a view is opened for the named servers.
enum class Opening {
    EachServer,  // once per server, in turn
    Together,    // once, all servers selected in the order given: read side by side
};

// A view opened by its tool-bar command, then adjusted, then printed as Save
// writes it.
ReportView commandView(app::Command command, const char* description, Adjust adjust = {},
                       Opening opening = Opening::Together)
{
    ReportView view;
    view.name = reportNameOf(command);
    view.description = QLatin1String(description);
    view.produce = [command, adjust, opening, viewName = view.name](
                       app::MainWindow& form, const ReportRequest& request) -> std::optional<ReportOutput> {
        const bool opened = opening == Opening::Together ? openForServersInOrder(form, command, request.servers)
                                                         : openForServers(form, command, request.servers);
        if (!opened)
            return std::nullopt;
        if (adjust)
            adjust(form, request);
        return activeViewOutput(form, viewName);
    };
    return view;
}

ReportView serverListView()
{
    ReportView view;
    view.name = QStringLiteral("servers");
    view.description = QStringLiteral("the server list, one server a line");
    view.takesServers = false;
    view.produce = [](app::MainWindow& form, const ReportRequest&) -> std::optional<ReportOutput> {
        ReportOutput output;
        output.lineKey = QStringLiteral("Server");
        for (int row = 0; row < form.lstServers()->count(); ++row)
            output.lines.append(form.lstServers()->item(row)->text());
        return output;
    };
    return view;
}

// The connections windows of the named servers (or of the start-up
// selection), each opened as the user opens it but without the column
// chooser, one table per server. A server that cannot be opened adds no
// table (and says nothing, as the window does not).
std::optional<ReportOutput> connectionTables(app::MainWindow& form, const ReportRequest& request)
{
    connections::OpeningOptions options;
    options.allowChooser = false;
    options.createSettingsKey = false;
    if (!request.typeFilter.isEmpty())
        options.typeFilter = request.typeFilter;
    if (!request.statusFilter.isEmpty())
        options.statusFilter = request.statusFilter;

    const QStringList servers = request.servers.isEmpty() ? form.selectedServers() : request.servers;
    ReportOutput output;
    output.tablePerServer = true;
    for (const QString& server : servers) {
        QListWidget* list = form.lstServers();
        list->clearSelection();
        const QList<QListWidgetItem*> matches = list->findItems(server, Qt::MatchFixedString);
        if (!matches.isEmpty())
            matches.first()->setSelected(true);
        connections::openUserConnections(form, options);
        QWidget* window = connections::findUserConnections(form, server);
        if (!window || !form.tableExport())
            continue;
        output.tables.push_back({server, form.tableExport()->savedRows(form, window)});
    }
    return output;
}

// Selects the one server in lstServers, as the user would before opening a view.
void selectServer(app::MainWindow& form, const QString& server)
{
    QListWidget* list = form.lstServers();
    list->clearSelection();
    const QList<QListWidgetItem*> matches = list->findItems(server, Qt::MatchFixedString);
    if (!matches.isEmpty())
        matches.first()->setSelected(true);
}

std::optional<quint16> targetConnection(const ReportRequest& request)
{
    bool ok = false;
    const uint number = request.target.toUInt(&ok);
    if (!ok || number == 0 || number > 0xFFFF)
        return std::nullopt;
    return static_cast<quint16>(number);
}

// The open files of one connection, as "Show Open Files" lists them.
ReportView openFilesView()
{
    ReportView view;
    view.name = QStringLiteral("openfiles");
    view.description = QStringLiteral("the files one connection of a server holds open, with their lock flags");
    view.targetName = QStringLiteral("CONNECTION");
    view.refuseTarget = [](app::MainWindow&, const ReportRequest& request) {
        return targetConnection(request)
                   ? QString()
                   : QStringLiteral("%1 is not a connection number (1 to 65535)").arg(request.target);
    };
    view.produce = [](app::MainWindow& form, const ReportRequest& request) -> std::optional<ReportOutput> {
        const QString server = request.servers.value(0);
        QWidget* window = connections::openOpenFiles(form, QString(), *targetConnection(request), server);
        if (!window || !form.tableExport())
            return std::nullopt;
        ReportOutput output;
        output.tables.push_back({server, form.tableExport()->savedRows(form, window)});
        return output;
    };
    return view;
}

// Who has a file open, as "&Show File Status" lists them for VOLUME:PATH.
ReportView fileLocksView()
{
    ReportView view;
    view.name = reportNameOf(app::Command::ShowFileLocks);
    view.description = QStringLiteral("the connections holding a file open, for VOLUME:PATH from the volume root");
    view.targetName = QStringLiteral("VOLUME:PATH");
    view.refuseTarget = [](app::MainWindow& form, const ReportRequest& request) {
        QString problem;
        const std::optional<connections::VolumeFile> file = connections::parseVolumeFile(request.target, &problem);
        if (!file)
            return problem;
        // A server that cannot be reached is the view's own failure, told by the view.
        const std::optional<bool> exists =
            connections::volumeFileExists(form.context(), request.servers.value(0), *file);
        if (exists && !*exists)
            return QStringLiteral("%1 does not exist on %2").arg(request.target, request.servers.value(0));
        return QString();
    };
    view.produce = [](app::MainWindow& form, const ReportRequest& request) -> std::optional<ReportOutput> {
        const QString server = request.servers.value(0);
        const std::optional<connections::VolumeFile> file = connections::parseVolumeFile(request.target, nullptr);
        selectServer(form, server);
        connections::openFileLocks(form);
        connections::FileLocksWindow* window = connections::findFileLocks(form, server);
        if (!file || !window || !form.tableExport()) {
            form.context().messages().inform(QStringLiteral("The filelocks view produced no table."),
                                             QStringLiteral("veskaro-report"));
            return std::nullopt;
        }
        window->queryFile(*file);
        ReportOutput output;
        output.tables.push_back({server, form.tableExport()->savedRows(form, window)});
        return output;
    };
    return view;
}

std::vector<ReportView> standardViews()
{
    std::vector<ReportView> table;
    table.push_back(serverListView());

    table.push_back(commandView(app::Command::ShowServerInformation,
                                "server information: up time, version, company, revision, DS version"));

    table.push_back(commandView(app::Command::MonitorUtilization, "server utilization after one poll",
                                [](app::MainWindow& form, const ReportRequest&) {
                                    views::pollOnceForReport(views::findView<views::UtilizationWindow>(form));
                                }));

    ReportView nlms =
        commandView(app::Command::CompareNlms, "loaded NLMs side by side, version and date columns per server",
                    [](app::MainWindow& form, const ReportRequest& request) {
                        if (QWidget* window = views::findView<views::NlmWindow>(form))
                            views::applyNlmReportOptions(window, request.show, request.differencesOnly);
                    });
    nlms.showValues = {QStringLiteral("both"), QStringLiteral("version"), QStringLiteral("date")};
    nlms.takesDifferencesOnly = true;
    nlms.headerRows = 2;
    table.push_back(nlms);

    ReportView sets =
        commandView(app::Command::CompareSetParameters, "SET parameters side by side, one value column per server",
                    [](app::MainWindow& form, const ReportRequest& request) {
                        if (QWidget* window = views::findView<views::SetCommandsWindow>(form))
                            views::applySetReportOptions(window, request.differencesOnly);
                    });
    sets.takesDifferencesOnly = true;
    table.push_back(sets);

    ReportView users;
    users.name = reportNameOf(app::Command::ShowUserConnections);
    users.description = QStringLiteral("user connections of a server; columns and filters from the settings");
    users.typeValues = connections::typeFilterEntries();
    users.statusValues = connections::statusFilterEntries();
    users.produce = connectionTables;
    table.push_back(users);
    table.push_back(openFilesView());
    table.push_back(fileLocksView());
    return table;
}

}  // namespace

void addStandardViews(ReportCommand& command)
{
    for (ReportView& view : standardViews())
        command.addView(std::move(view));
    addFrameViews(command);
}

}  // namespace report
