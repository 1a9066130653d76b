// The views veskaro-report can print, each opened as the user opens it and
// printed as File / "&Save" writes it.

#include "report/ReportCommand.h"

#include "app/Commands.h"
#include "app/MainForm.h"
#include "views/NLMForm.h"
#include "views/ServerMonForm.h"
#include "views/SetCommandsForm.h"

namespace report {

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
        views::pollOnceForReport(views::findView<views::ServerMonForm>(form));
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
        if (QWidget* window = views::findView<views::NLMForm>(form))
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
        if (QWidget* window = views::findView<views::SetCommandsForm>(form))
            views::applySetReportOptions(window, request.differencesOnly);
        return savedTextOfActiveView(form, QStringLiteral("sets"));
    };
    command.addView(sets);
}

}  // namespace report
