// One poll of the utilization monitor over 200 servers that each answer every
// call after 2 ms: how long the poll takes, and the longest stretch in which
// the program processed no event (what the user feels as a frozen window).

#include "app/ViewHost.h"
#include "netware/ClientProvider.h"
#include "settings/FileRegistryStore.h"
#include "views/ServerMonForm.h"
#include "widgets/ReportListView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int Servers = 200;

class QuietMessages : public platform::MessageService {
public:
    platform::Answer show(const platform::Message& message) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
        return message.defaultAnswer;
    }
};
class NoDialogs : public platform::FileDialogService {
public:
    QString getSaveFileName(const platform::SaveDialogRequest&) override { return {}; }
};
class NoClipboard : public platform::ClipboardService {
public:
    bool setText(const QString&) override { return false; }
    QString text() const override { return {}; }
};
class NoProcesses : public platform::ProcessLauncher {
public:
    bool startDetached(const QString&, const QStringList&, const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }
};

// The parts of a main window the monitor uses.
class BenchHost : public app::ViewHost {
public:
    BenchHost(app::AppContext& context, QStringList servers) : m_context(context), m_servers(std::move(servers))
    {
        m_window.setCentralWidget(new QMdiArea);
        m_window.resize(1024, 768);
        m_window.show();
    }
    app::AppContext& context() override { return m_context; }
    QMdiArea* mdiArea() override { return static_cast<QMdiArea*>(m_window.centralWidget()); }
    QStringList selectedServers() const override { return m_servers; }
    int serverCount() const override { return static_cast<int>(m_servers.size()); }
    void subEnableSaveCopy(const QString&) override {}
    void setSaveEnabled(bool) override {}
    void setCopyEnabled(bool) override {}
    QMenu* menu(const QString&) override { return nullptr; }
    QAction* menuAction(const QString&) override { return nullptr; }
    void setMenuVisible(const QString&, bool) override {}
    void popupMenu(const QString&, const QPoint&) override {}
    bool fnActivateOpenForm(const QString&) override { return false; }
    void beginOpening(bool) override {}
    void endOpening() override {}

private:
    app::AppContext& m_context;
    QStringList m_servers;
    QMainWindow m_window;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QByteArray description = R"({
      "format": 1, "latencyMs": 2,
      "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
      "generate": [ { "prefix": "GEN", "count": )" + QByteArray::number(Servers) + R"(, "tree": "T",
                      "nlms": 0, "setParameters": 0, "connections": 0 } ]
    })";
    nw::ClientLoad load = nw::loadSimulatedNetworkFromJson(description, QDir::currentPath(), QStringLiteral("bench"));
    if (!load.client) {
        std::fprintf(stderr, "network did not load: %s\n", qPrintable(load.problem));
        return 1;
    }
    QTemporaryDir dir;
    settings::FileRegistryStore registry(dir.filePath(QStringLiteral("settings.reg")));
    QuietMessages messages;
    NoDialogs dialogs;
    NoClipboard clipboard;
    NoProcesses processes;
    app::AppContext context(*load.client, registry, messages, dialogs, clipboard, processes);
    context.saveWindowState = false;

    QStringList names;
    for (int i = 1; i <= Servers; ++i)
        names.append(QStringLiteral("GEN%1").arg(i, 3, 10, QLatin1Char('0')));
    BenchHost host(context, names);
    views::btnUtilization_Click(host);
    views::ServerMonForm* form = views::serverMonWindow(host);
    if (!form || form->lstvwServerUtilization()->rowCount() != Servers) {
        std::fprintf(stderr, "the monitor did not open with %d servers\n", Servers);
        return 1;
    }
    form->btnRefresh_Click();   // stopped: this poll is the only one
    QCoreApplication::processEvents();

    // A 1 ms timer stands for the user's input: every gap between its
    // timeouts is a stretch in which no event was handled.
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, &heartbeat, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ++ticks;
    });
    heartbeat.start();
    clock.start();
    form->Timer1_Timer();
    const qint64 total = clock.nsecsElapsed();
    longestGap = std::max(longestGap, total - last);
    heartbeat.stop();

    int answered = 0;
    for (int row = 0; row < Servers; ++row)
        answered += form->lstvwServerUtilization()->itemText(row, 1) != QLatin1String("?");

    std::printf("Utilization poll, %d servers, 2 ms per call (open, authenticate, read, close)\n", Servers);
    std::printf("  %-52s %9.2f ms\n", "whole poll", static_cast<double>(total) / 1e6);
    std::printf("  %-52s %9.2f ms\n", "longest stretch without an event", static_cast<double>(longestGap) / 1e6);
    std::printf("  %-52s %9d\n", "events of the 1 ms timer handled during the poll", ticks);
    std::printf("  %-52s %9d\n", "servers answered", answered);
    return 0;
}
