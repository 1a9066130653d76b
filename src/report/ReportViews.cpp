// The views veskaro-report can print, each opened as the user opens it and
// printed as File / "&Save" writes it.

#include "report/ReportCommand.h"

#include "app/Commands.h"
#include "app/MainForm.h"
#include "app/TableExport.h"
#include "connections/ConnectionFormats.h"
#include "connections/UserConnectionsForm.h"
#include "views/NLMForm.h"
#include "views/ServerMonForm.h"
#include "views/SetCommandsForm.h"

#include <QListWidget>

namespace report {

namespace {

// The connections windows of the named servers (or of the start-up
// selection), each opened as the user opens it but without the column
// chooser, printed one after another. A server that cannot be opened adds
// no table (and says nothing, as the window does not).
std::optional<QString> connectionTables(app::MainForm& form, const ReportRequest& request)
{
    connections::OpeningOptions options;
    options.allowChooser = false;
    options.createSettingsKey = false;
    if (!request.typeFilter.isEmpty())
        options.typeFilter = request.typeFilter;
    if (!request.statusFilter.isEmpty())
        options.statusFilter = request.statusFilter;

    const QStringList servers = request.servers.isEmpty() ? form.selectedServers() : request.servers;
    QString text;
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
        text += form.tableExport()->savedText(form, window);
    }
    return text;
}

}  // namespace

void addStandardViews(ReportCommand& command)
{
    ReportView info;
    info.name = QStringLiteral("info");
    info.description = QStringLiteral("server information: up time, version, company, revision, DS version");
    info.produce = [](app::MainForm& form, const ReportRequest& request) -> std::optional<QString> {
        if (!openForServers(form, app::Command::ServerInfo, request.servers))
            return std::nullopt;
        return savedTextOfActiveView(form, QStringLiteral("info"));
    };
    command.addView(info);

    ReportView utilization;
    utilization.name = QStringLiteral("utilization");
    utilization.description = QStringLiteral("server utilization after one poll");
    utilization.produce = [](app::MainForm& form, const ReportRequest& request) -> std::optional<QString> {
        if (!openForServers(form, app::Command::Utilization, request.servers))
            return std::nullopt;
        views::pollOnceForReport(views::serverMonWindow(form));
        return savedTextOfActiveView(form, QStringLiteral("utilization"));
    };
    command.addView(utilization);

    ReportView nlms;
    nlms.name = QStringLiteral("nlms");
    nlms.description = QStringLiteral("loaded NLMs side by side, version and date columns per server");
    nlms.showValues = {QStringLiteral("both"), QStringLiteral("version"), QStringLiteral("date")};
    nlms.takesDifferencesOnly = true;
    nlms.produce = [](app::MainForm& form, const ReportRequest& request) -> std::optional<QString> {
        if (!openForServers(form, app::Command::NLMs, request.servers))
            return std::nullopt;
        if (QWidget* window = views::fcnFindNlmForm(form))
            views::applyNlmReportOptions(window, request.show, request.differencesOnly);
        return savedTextOfActiveView(form, QStringLiteral("nlms"));
    };
    command.addView(nlms);

    ReportView sets;
    sets.name = QStringLiteral("sets");
    sets.description = QStringLiteral("SET parameters side by side, one value column per server");
    sets.takesDifferencesOnly = true;
    sets.produce = [](app::MainForm& form, const ReportRequest& request) -> std::optional<QString> {
        if (!openForServers(form, app::Command::SetParameters, request.servers))
            return std::nullopt;
        if (QWidget* window = views::findSetCommandsForm(form))
            views::applySetReportOptions(window, request.differencesOnly);
        return savedTextOfActiveView(form, QStringLiteral("sets"));
    };
    command.addView(sets);

    ReportView users;
    users.name = QStringLiteral("connections");
    users.description = QStringLiteral("user connections of a server; columns and filters from the settings");
    users.typeValues = connections::typeFilterEntries();
    users.statusValues = connections::statusFilterEntries();
    users.produce = connectionTables;
    command.addView(users);
}

}  // namespace report
