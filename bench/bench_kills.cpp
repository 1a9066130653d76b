// The settings file under kill -9: a writer process counts a value up as fast
// as it can and is killed at a random moment, many times over. After every
// kill the file must read, hold the last number the writer reported (or the
// one after it, written before it could be reported) and keep every other
// value. Prints the seed (give it back as the second argument to repeat a run),
// files checked, values lost (must be 0), unreadable files (must be 0) and the
// temporary files kills left behind (removed by the next save).
//
//   bench_kills [kills=1000] [seed]

#include "settings/FileRegistryStore.h"
#include "settings/RegFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>

using settings::FileRegistryStore;
using settings::Hive;

namespace {

const QString kLoop = QStringLiteral("Software\\Korvanel\\Veskaro\\Loop");
const QString kFiller = QStringLiteral("Software\\Korvanel\\Veskaro\\Filler");
constexpr int kFillerValues = 400;

// The writer side: counts Loop\Counter up for ever, printing each number once it is on disk.
int write(const QString& path)
{
    FileRegistryStore store(path);
    if (!store.createKey(Hive::CurrentUser, kLoop))
        return 1;
    qlonglong n = store.queryValue(Hive::CurrentUser, kLoop, QStringLiteral("Counter"))
                      .value_or(QStringLiteral("0"))
                      .toLongLong();
    for (;;) {
        ++n;
        if (!store.setValue(Hive::CurrentUser, kLoop, QStringLiteral("Counter"), QString::number(n)))
            return 1;
        std::printf("%lld\n", n);
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == u"--write")
        return write(args.at(2));

    QTextStream out(stdout);
    const int kills = args.size() > 1 ? args.at(1).toInt() : 1000;
    const quint32 seed = args.size() > 2 ? args.at(2).toUInt() : QRandomGenerator::system()->generate();
    out << "seed " << seed << ", " << kills << " kills\n";
    out.flush();
    QRandomGenerator random(seed);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("veskaro.reg"));
    {
        // Enough data that a save takes a while and a kill can land inside it.
        settings::regfile::Tree tree;
        auto& key = tree.ensure(settings::hivePath(Hive::CurrentUser, kFiller));
        for (int i = 0; i < kFillerValues; ++i)
            settings::regfile::Tree::putValue(key, {QStringLiteral("Value%1").arg(i),
                                                    settings::regfile::kTypeString,
                                                    true,
                                                    QString(60, QChar(u'a' + i % 26)),
                                                    {}});
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(settings::regfile::serialize(tree)) < 0)
            return 1;
    }

    int checked = 0, lost = 0, unreadable = 0, leftovers = 0, refused = 0;
    qlonglong lastSeen = 0;
    for (int round = 0; round < kills; ++round) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--write"), path});
        if (!writer.waitForStarted() || !writer.waitForReadyRead(10000)) {
            ++refused;
            continue;
        }
        QThread::msleep(random.bounded(1, 40));
        writer.kill();
        writer.waitForFinished(10000);
        if (writer.exitStatus() == QProcess::NormalExit)
            ++refused;  // the writer stopped by itself: a save was refused

        const QByteArray printed = writer.readAllStandardOutput().trimmed();
        const qlonglong reported = printed.mid(printed.lastIndexOf('\n') + 1).toLongLong();
        QFile file(path);
        const auto parsed = settings::regfile::parse(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        ++checked;
        if (!parsed.ok) {
            ++unreadable;
            continue;
        }
        const auto* filler = parsed.tree.find(settings::hivePath(Hive::CurrentUser, kFiller));
        lost += filler ? kFillerValues - static_cast<int>(filler->values.size()) : kFillerValues;
        const auto* loop = parsed.tree.find(settings::hivePath(Hive::CurrentUser, kLoop));
        const auto* counter = loop ? settings::regfile::Tree::findValue(*loop, QStringLiteral("Counter")) : nullptr;
        const qlonglong onDisk = counter ? counter->text.toLongLong() : 0;
        if (onDisk != reported && onDisk != reported + 1)
            ++lost;
        if (onDisk < lastSeen)
            ++lost;
        lastSeen = onDisk;
        leftovers += static_cast<int>(
            QDir(dir.path()).entryList({QStringLiteral("veskaro.reg.??????")}, QDir::Files | QDir::Hidden).size());
        if ((round + 1) % 100 == 0) {
            out << "  " << round + 1 << " kills, counter at " << onDisk << "\n";
            out.flush();
        }
    }
    out << "files checked:        " << checked << "\n"
        << "values lost:          " << lost << "\n"
        << "unreadable files:     " << unreadable << "\n"
        << "writers that stopped: " << refused << "\n"
        << "temporary files left: " << leftovers << " (over all kills; each is removed by the next save)\n";
    return lost == 0 && unreadable == 0 && refused == 0 ? 0 : 1;
}
