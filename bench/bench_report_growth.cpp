// `veskaro-report nlms` and `veskaro-report sets` run as the program itself
// over 20, 100, 200, 500 and 1,000 servers of one generated network (300
// modules, 400 SET parameters and 2 connections a server): the wall time of
// each run, its cost per server, its growth against 20 servers and the peak
// memory of that one run. Each run is a child of its own, waited for with
// wait4, so its peak memory is its own and not the largest of all runs.

#include "support/Figures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Run {
    bool ok = false;
    qint64 nanoseconds = 0;
    long peakMiB = 0;
    qint64 lines = 0;
};

// Runs the program with its standard output in `outputPath` and waits for it.
Run runChild(const std::vector<std::string>& arguments, const std::string& outputPath)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    Run run;
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv.front(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return run;
    run.nanoseconds = timer.nsecsElapsed();
    run.peakMiB = usage.ru_maxrss / 1024;  // KiB on Linux
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    QFile output(QString::fromStdString(outputPath));
    if (output.open(QIODevice::ReadOnly))
        run.lines = output.readAll().count('\n');
    return run;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    bench::GeneratedNetwork network;
    network.clock = QStringLiteral("2026-12-05T19:04:36");
    bench::ServerGroup& group = network.addGroup(QStringLiteral("GEN"), 1000);
    group.nlms = 300;
    group.setParameters = 400;
    group.connections = 2;
    group.seed = 5;
    const QStringList names = group.names();

    QTemporaryDir dir;
    QFile description(dir.filePath(QStringLiteral("network.json")));
    if (!dir.isValid() || !description.open(QIODevice::WriteOnly) || description.write(network.json()) < 0)
        return 1;
    description.close();
    setenv("VESKARO_NETWORK", qPrintable(description.fileName()), 1);
    setenv("VESKARO_SETTINGS", qPrintable(dir.filePath(QStringLiteral("veskaro.reg"))), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string output = dir.filePath(QStringLiteral("table.csv")).toStdString();

    std::printf("veskaro-report over generated servers (300 modules, 400 parameters, 2 connections each)\n");
    bool allRan = true;
    for (const char* view : {"nlms", "sets"}) {
        std::printf("\n%s\n  %-8s %12s %12s %10s %10s %8s\n", view, "servers", "wall time", "per server", "vs 20",
                    "peak MiB", "lines");
        double at20 = 0;
        for (const int servers : {20, 100, 200, 500, 1000}) {
            std::vector<std::string> arguments{VESKARO_REPORT_PROGRAM, view};
            for (int s = 0; s < servers; ++s)
                arguments.push_back(names.at(s).toStdString());
            const Run run = runChild(arguments, output);
            if (!run.ok) {
                std::printf("  %-8d did not finish with a table\n", servers);
                allRan = false;
                continue;
            }
            const double ms = static_cast<double>(run.nanoseconds) / 1e6;
            if (servers == 20)
                at20 = ms;
            std::printf("  %-8d %9.1f ms %9.3f ms %9.1fx %10ld %8lld\n", servers, ms, ms / servers,
                        at20 > 0 ? ms / at20 : 0.0, run.peakMiB, static_cast<long long>(run.lines));
            std::fflush(stdout);
        }
    }
    return allRan ? 0 : 1;
}
