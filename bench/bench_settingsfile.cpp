// Reading and saving the settings file where it is large: 40,000 values in one
// key, and a key path 512 levels deep (the registry's own limit). Both must
// grow linearly: the figures for twice the size should be about twice as high.

#include "support/Figures.h"

#include "settings/FileRegistryStore.h"
#include "settings/RegFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <ctime>

using namespace settings;

namespace {

// Processor time as well as wall time: on a busy machine the wall time says
// more about the other programs than about this one.
void reportCpu(const char* what, std::clock_t since)
{
    bench::report(what, static_cast<qint64>(double(std::clock() - since) * 1e9 / CLOCKS_PER_SEC));
}

QByteArray manyValues(int count)
{
    QByteArray file = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Korvanel\\Veskaro\\Big]\r\n";
    for (int i = count; i > 0; --i)  // in reverse, the worst order for a sorted insert
        file += "\"Value" + QByteArray::number(i) + "\"=\"" + QByteArray::number(i * 7) + "\"\r\n";
    return file;
}

QByteArray deepKey(int levels)
{
    QByteArray path = "HKEY_CURRENT_USER";
    for (int i = 0; i < levels; ++i)
        path += "\\Level" + QByteArray::number(i);
    return "REGEDIT4\r\n\r\n[" + path + "]\r\n\"A\"=\"1\"\r\n";
}

void measureFile(const char* parseLabel, const char* saveLabel, const QByteArray& bytes)
{
    QElapsedTimer timer;
    timer.start();
    std::clock_t cpu = std::clock();
    const auto parsed = regfile::parse(bytes);
    bench::report(parseLabel, timer.nsecsElapsed());
    reportCpu("  processor time", cpu);
    if (!parsed.ok)
        return;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("veskaro.reg"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0)
        return;
    file.close();
    FileRegistryStore store(path);
    timer.start();
    cpu = std::clock();
    store.createKey(Hive::CurrentUser, QStringLiteral("Software\\Korvanel\\Veskaro\\Other"));
    bench::report(saveLabel, timer.nsecsElapsed());
    reportCpu("  processor time", cpu);
    bench::reportCount("  file bytes before", bytes.size());
    bench::reportCount("  file bytes after the save", QFileInfo(path).size());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    measureFile("parse 20,000 values in one key", "save with 20,000 values", manyValues(20000));
    measureFile("parse 40,000 values in one key", "save with 40,000 values", manyValues(40000));
    measureFile("parse a 256-level key path", "save with a 256-level key path", deepKey(256));
    measureFile("parse a 512-level key path", "save with a 512-level key path", deepKey(512));
    QElapsedTimer timer;
    timer.start();
    const bool refused = !regfile::parse(deepKey(1000)).ok;
    bench::report(refused ? "refuse a 1,000-level key path" : "1,000-level key path NOT refused", timer.nsecsElapsed());
    return refused ? 0 : 1;
}
