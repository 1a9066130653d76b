// A second process for the history tests: writes batches of samples and
// snapshots into the history file named on its command line until killed,
// printing a line after each committed batch.

#include "history/HistoryStore.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3)
        return 2;
    const QString server = arguments.at(2);
    history::HistoryStore store(arguments.at(1));
    if (!store.open())
        return 1;
    for (int batch = 0;; ++batch) {
        std::vector<history::Sample> samples;
        for (int i = 0; i < 50; ++i)
            samples.push_back({server, QDateTime::currentDateTimeUtc(), (batch + i) % 101, 100});
        history::Snapshot snapshot{server,
                                   history::SnapshotKind::Modules,
                                   QDateTime::currentDateTimeUtc(),
                                   {{QStringLiteral("BATCH.NLM"), {QString::number(batch), QString()}}}};
        if (!store.recordSamples(samples) || !store.recordSnapshots({snapshot}))
            return 1;
        std::printf("%d\n", batch);
        std::fflush(stdout);
    }
}
