// A second Veskaro process for the settings file tests: it writes to the
// same file as the test, to be killed mid-write or to race another writer.
//
//   settings_writer <file> count [name]   counts Loop\Counter (or Loop\<name>) up for
//                                         ever, printing each number once it is on disk
//   settings_writer <file> fill <tag> <n> writes Race\<tag>-0 .. <tag>-(n-1)

#include "settings/FileRegistryStore.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    settings::FileRegistryStore store(args.at(1));
    const auto hive = settings::Hive::CurrentUser;

    if (args.at(2) == u"count") {
        const QString key = QStringLiteral("Software\\Korvanel\\Veskaro\\Loop");
        const QString name = args.size() > 3 ? args.at(3) : QStringLiteral("Counter");
        if (!store.createKey(hive, key))
            return 1;
        qlonglong n = store.queryValue(hive, key, name).value_or(QStringLiteral("0")).toLongLong();
        for (;;) {
            ++n;
            if (!store.setValue(hive, key, name, QString::number(n)))
                return 1;
            std::printf("%lld\n", n);
            std::fflush(stdout);
        }
    }
    if (args.at(2) == u"fill" && args.size() == 5) {
        const QString key = QStringLiteral("Software\\Korvanel\\Veskaro\\Race");
        if (!store.createKey(hive, key))
            return 1;
        const int count = args.at(4).toInt();
        for (int i = 0; i < count; ++i) {
            const QString name = args.at(3) + u'-' + QString::number(i);
            if (!store.setValue(hive, key, name, QString::number(i)))
                return 1;
        }
        return 0;
    }
    return 2;
}
