// `veskaro-report info` over every server of a generated network of 1,000
// servers with 5,000 connections each (300 modules, 400 SET parameters), run as
// the program itself: prints the wall time and the program's peak memory.
// Walking all servers must stay within bounded memory: a server's generated
// lists are released once others are needed.

#include "support/Figures.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    const bench::GeneratedNetwork network = bench::thousandServerNetwork();
    QStringList servers;
    for (const bench::ServerGroup& group : network.groups)
        servers += group.names();

    QTemporaryDir dir;
    QFile description(dir.filePath(QStringLiteral("network.json")));
    if (!dir.isValid() || !description.open(QIODevice::WriteOnly) || description.write(network.json()) < 0)
        return 1;
    description.close();

    QProcess report;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("VESKARO_NETWORK"), description.fileName());
    environment.insert(QStringLiteral("VESKARO_SETTINGS"), dir.filePath(QStringLiteral("veskaro.reg")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    report.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    report.start(QStringLiteral(VESKARO_REPORT_PROGRAM), QStringList{QStringLiteral("info")} + servers);
    if (!report.waitForFinished(600000))
        return 1;
    const qint64 elapsed = timer.nsecsElapsed();
    const QByteArray table = report.readAllStandardOutput();
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);

    bench::report("info over 1,000 generated servers", elapsed);
    bench::reportCount("rows printed", table.count('\n'));
    bench::reportCount("peak memory of veskaro-report (MB)", usage.ru_maxrss / 1024);
    if (report.exitCode() != 0) {
        out << report.readAllStandardError();
        return 1;
    }
    return 0;
}
