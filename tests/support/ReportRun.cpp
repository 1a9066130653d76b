#include "ReportRun.h"

#include "app/StartupSettings.h"
#include "report/ReportCommand.h"
#include "settings/RegistryStore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace testing {

ReportRun::ReportRun(const QByteArray& network, const QString& tree)
{
    QFile file(path(QStringLiteral("network.json")));
    if (file.open(QIODevice::WriteOnly))
        file.write(network);
    file.close();
    qputenv("VESKARO_NETWORK", file.fileName().toLocal8Bit());
    qputenv("VESKARO_SETTINGS", path(QStringLiteral("settings.reg")).toLocal8Bit());
    m_history = qgetenv("VESKARO_HISTORY");
    qputenv("VESKARO_HISTORY", path(QStringLiteral("history.sqlite")).toLocal8Bit());
    seed(app::kRootKey, QStringLiteral("StartingServerContext"), tree + QStringLiteral("\\[Root]"));
}

ReportRun::~ReportRun()
{
    qunsetenv("VESKARO_NETWORK");
    qunsetenv("VESKARO_SETTINGS");
    // The test's own history comes back for what runs after.
    if (m_history.isEmpty())
        qunsetenv("VESKARO_HISTORY");
    else
        qputenv("VESKARO_HISTORY", m_history);
}

ReportOutcome ReportRun::run(const QStringList& arguments, const std::function<void(app::MainWindow&)>& pictured)
{
    ReportOutcome outcome;
    QTextStream out(&outcome.out);
    QTextStream err(&outcome.err);
    report::ReportCommand command;
    command.setPictureObserver(pictured);
    outcome.exitCode = command.execute(arguments, out, err);
    out.flush();
    err.flush();
    return outcome;
}

ReportOutcome ReportRun::runBytes(const QStringList& arguments)
{
    ReportOutcome outcome;
    QBuffer buffer(&outcome.bytes);
    buffer.open(QIODevice::WriteOnly);
    QTextStream err(&outcome.err);
    outcome.exitCode = report::ReportCommand().execute(arguments, buffer, err);
    err.flush();
    return outcome;
}

bool ReportRun::writeFile(const QString& name, const QByteArray& bytes)
{
    const QString file = path(name);
    if (!QDir().mkpath(QFileInfo(file).path()))
        return false;
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

void ReportRun::seed(const QString& key, const QString& name, const QString& value)
{
    auto store = settings::openDefaultRegistryStore();
    store->createKey(settings::Hive::CurrentUser, key);
    store->setValue(settings::Hive::CurrentUser, key, name, value);
}

}  // namespace testing
