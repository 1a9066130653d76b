#include "report/ReportCommand.h"

#include "app/MainForm.h"
#include "app/Program.h"
#include "platform/StderrMessageService.h"
#include "settings/RegistryStore.h"

#include <QApplication>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPixmap>
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
    std::optional<QString> delimiter;
    QString screenshot;
    QString view;
    ReportRequest request;
};

// A view whose table is what Save writes right after opening it.
ReportView commandView(const char* name, const char* description, app::Command command)
{
    const QString viewName = QLatin1String(name);
    ReportView view;
    view.name = viewName;
    view.description = QLatin1String(description);
    view.produce = [command, viewName](app::MainForm& form, const ReportRequest& request) -> std::optional<QString> {
        if (!openForServers(form, command, request.servers))
            return std::nullopt;
        return savedTextOfActiveView(form, viewName);
    };
    return view;
}

}  // namespace

bool openForServers(app::MainForm& form, app::Command command, const QStringList& servers)
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

std::optional<QString> savedTextOfActiveView(app::MainForm& form, const QString& viewName)
{
    QMdiSubWindow* active = form.activeChild();
    if (!active || !form.tableExport()) {
        form.context().messages().inform(QStringLiteral("The %1 view produced no table.").arg(viewName),
                                         QStringLiteral("veskaro-report"));
        return std::nullopt;
    }
    return form.tableExport()->savedText(form, active->widget());
}

ReportCommand::ReportCommand()
{
    ReportView servers;
    servers.name = QStringLiteral("servers");
    servers.description = QStringLiteral("the server list, one server a line");
    servers.produce = [](app::MainForm& form, const ReportRequest&) -> std::optional<QString> {
        QString text;
        for (int row = 0; row < form.lstServers()->count(); ++row)
            text += form.lstServers()->item(row)->text() + QLatin1Char('\n');
        return text;
    };
    servers.takesServers = false;
    addView(servers);
    addView(commandView("volumes", "volume space usage", app::Command::Volume));
    addView(commandView("connections", "user connections of a server", app::Command::GetConnInfo));
    addView(commandView("partitions", "partitions and replicas", app::Command::Partitions));
    addView(commandView("abendlog", "abend log of a server", app::Command::AbendLog));
    addView(commandView("filelocks", "file opens and locks", app::Command::FileLocks));
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

QString ReportCommand::usage() const
{
    QString text = QStringLiteral(
        "Usage: veskaro-report [OPTIONS] VIEW [SERVER...]\n"
        "\n"
        "Starts as Veskaro does, opens VIEW for the named servers (or for the\n"
        "servers selected at start-up when none is named), one server at a time\n"
        "in the order given, and prints what\n"
        "File / Save would write.\n"
        "\n"
        "Options:\n"
        "  --delimiter C        field delimiter of the table (one character)\n"
        "  --show WHAT          nlms: the columns shown, both, version or date\n"
        "  --differences-only   nlms, sets: only the rows in which the servers differ\n"
        "  --screenshot FILE    also render the main window to a PNG file\n"
        "  --help               show this text\n"
        "\n"
        "Views:\n");
    for (const ReportView& view : m_views)
        text += QStringLiteral("  %1%2\n").arg(view.name, -21).arg(view.description);
    return text;
}

int ReportCommand::execute(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    ParsedArguments parsed;
    QStringList positional;
    const auto usageError = [&](const QString& problem) {
        err << "veskaro-report: " << problem << Qt::endl;
        err << "Try 'veskaro-report --help'." << Qt::endl;
        return 2;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parsed.help = true;
        } else if (argument == QLatin1String("--differences-only")) {
            parsed.request.differencesOnly = true;
        } else if (argument == QLatin1String("--delimiter") || argument == QLatin1String("--screenshot")
                   || argument == QLatin1String("--show")) {
            if (i + 1 >= arguments.size())
                return usageError(QStringLiteral("%1 needs a value").arg(argument));
            const QString value = arguments.at(++i);
            if (argument == QLatin1String("--delimiter")) {
                if (value.size() != 1)
                    return usageError(QStringLiteral("the delimiter must be one character"));
                parsed.delimiter = value;
            } else if (argument == QLatin1String("--show")) {
                parsed.request.show = value;
            } else {
                if (value.isEmpty())
                    return usageError(QStringLiteral("--screenshot needs a file name"));
                parsed.screenshot = value;
            }
        } else if (argument.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("unknown option %1").arg(argument));
        } else {
            positional.append(argument);
        }
    }
    if (parsed.help) {
        out << usage();
        out.flush();
        return 0;
    }
    if (positional.isEmpty())
        return usageError(QStringLiteral("no view named"));
    parsed.view = positional.takeFirst();
    parsed.request.servers = positional;

    const auto found = std::find_if(m_views.begin(), m_views.end(),
                                    [&](const ReportView& view) { return view.name == parsed.view; });
    if (found == m_views.end())
        return usageError(QStringLiteral("unknown view %1").arg(parsed.view));
    if (!found->takesServers && !parsed.request.servers.isEmpty())
        return usageError(QStringLiteral("the %1 view takes no server names").arg(parsed.view));
    if (!parsed.request.show.isEmpty() && !found->showValues.contains(parsed.request.show))
        return usageError(found->showValues.isEmpty()
                              ? QStringLiteral("the %1 view takes no --show").arg(parsed.view)
                              : QStringLiteral("--show takes %1").arg(found->showValues.join(QLatin1Char('|'))));
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
    app::MainForm& form = *program.mainForm();
    if (parsed.delimiter)
        form.context().values.saveFileDelimiter = *parsed.delimiter;

    for (const QString& server : std::as_const(parsed.request.servers)) {
        if (form.lstServers()->findItems(server, Qt::MatchFixedString).isEmpty())
            return usageError(QStringLiteral("%1 is not in the server list").arg(server));
    }

    const std::optional<QString> table = found->produce(form, parsed.request);
    if (!table) {
        err.flush();
        return 1;
    }
    out << *table;
    out.flush();

    if (!parsed.screenshot.isEmpty()) {
        form.setAttribute(Qt::WA_DontShowOnScreen);
        form.show();
        QCoreApplication::processEvents();
        if (!form.grab().save(parsed.screenshot, "PNG")) {
            err << "veskaro-report: cannot write " << parsed.screenshot << Qt::endl;
            return 1;
        }
    }
    err.flush();
    return 0;
}

}  // namespace report
