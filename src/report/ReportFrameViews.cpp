// The report views of volume usage, partitions and abend logs. Volumes and
// partitions are opened once for all named servers, selected together in the
// server list's order, as a user would select them.

#include "report/ReportCommand.h"

#include "platform/Services.h"

#include "app/MainWindow.h"
#include "directory/PartitionsWindow.h"
#include "views/AbendLog.h"
#include "views/AbendLogWindow.h"
#include "viewbase/ViewWindow.h"

#include <QListWidget>

namespace report {

namespace {

// Selects the named servers (all of the start-up selection when none is
// named) and presses the view's button once.
bool openForServersTogether(app::MainWindow& form, app::Command command, const QStringList& servers,
                            const std::function<void(app::MainWindow&)>& press)
{
    if (!form.hasCommand(command)) {
        form.context().messages().inform(QStringLiteral("This view is not available."),
                                         QStringLiteral("veskaro-report"));
        return false;
    }
    QListWidget* list = form.lstServers();
    if (!servers.isEmpty()) {
        list->clearSelection();
        for (const QString& server : servers) {
            const QList<QListWidgetItem*> matches = list->findItems(server, Qt::MatchFixedString);
            if (!matches.isEmpty())
                matches.first()->setSelected(true);
        }
    }
    press(form);
    return true;
}

directory::PartitionsWindow::ReplicaView replicaViewNamed(const QString& name)
{
    using View = directory::PartitionsWindow::ReplicaView;
    if (name == QLatin1String("state"))
        return View::State;
    if (name == QLatin1String("timestamp"))
        return View::TimeStamp;
    if (name == QLatin1String("sync"))
        return View::SyncTime;
    return View::Type;
}

}  // namespace

void addFrameViews(ReportCommand& command)
{
    ReportView volumes;
    volumes.name = reportNameOf(app::Command::ShowVolumeUsage);
    volumes.description = QStringLiteral("volume space usage of the servers, selected together");
    volumes.produce = [](app::MainWindow& form, const ReportRequest& request) -> std::optional<ReportOutput> {
        if (!openForServersTogether(form, app::Command::ShowVolumeUsage, request.servers,
                                    [](app::MainWindow& f) { f.runCommand(app::Command::ShowVolumeUsage); }))
            return std::nullopt;
        return activeViewOutput(form, QStringLiteral("volumes"));
    };
    command.addView(volumes);

    ReportView partitions;
    partitions.name = reportNameOf(app::Command::ShowPartitions);
    partitions.description = QStringLiteral("partitions and replicas of the servers, selected together");
    partitions.viewValues = {QStringLiteral("type"), QStringLiteral("state"), QStringLiteral("timestamp"),
                             QStringLiteral("sync")};
    partitions.produce = [](app::MainWindow& form, const ReportRequest& request) -> std::optional<ReportOutput> {
        if (!openForServersTogether(form, app::Command::ShowPartitions, request.servers,
                                    [](app::MainWindow& f) { f.runCommand(app::Command::ShowPartitions); }))
            return std::nullopt;
        if (directory::PartitionsWindow* window = directory::partitionsWindow(form))
            window->showReplicaView(replicaViewNamed(request.view));
        return activeViewOutput(form, QStringLiteral("partitions"));
    };
    command.addView(partitions);

    ReportView abends;
    abends.name = reportNameOf(app::Command::ShowAbendLog);
    abends.description = QStringLiteral("the halts in a server's abend log; --show N: the report of one");
    abends.oneServer = true;
    abends.showTakesNumber = true;
    abends.produce = [](app::MainWindow& form, const ReportRequest& request) -> std::optional<ReportOutput> {
        if (!openForServersTogether(form, app::Command::ShowAbendLog, request.servers,
                                    [](app::MainWindow& f) { f.runCommand(app::Command::ShowAbendLog); }))
            return std::nullopt;
        const QString server = request.servers.value(0);
        auto* viewer = views::findView<views::AbendLogWindow>(form, [&server](const views::AbendLogWindow& w) {
            return w.server().compare(server, Qt::CaseInsensitive) == 0;
        });
        if (!viewer) {
            form.context().messages().inform(QStringLiteral("The abend log viewer did not open."),
                                             QStringLiteral("veskaro-report"));
            return std::nullopt;
        }
        QListWidget* list = viewer->lstAbendDates();
        ReportOutput output;
        if (request.show.isEmpty()) {
            output.lineKey = QStringLiteral("Abend");
            for (int row = 0; row < list->count(); ++row)
                output.lines.append(list->item(row)->text());
            return output;
        }
        const int number = request.show.toInt();
        if (number > list->count() || list->item(number - 1)->text() == views::kNoAbendLog) {
            form.context().messages().inform(QStringLiteral("There is no halt number %1.").arg(number),
                                             QStringLiteral("veskaro-report"));
            return std::nullopt;
        }
        list->setCurrentRow(number - 1);
        output.lineKey = QStringLiteral("Line");
        output.lines = viewer->selectedReport();
        return output;
    };
    command.addView(abends);
}

}  // namespace report
