// Walking a server's loaded-module list and SET parameters in batches.

#include "views/ServerReaders.h"
#include "support/StubClient.h"
#include "support/TestMain.h"

#include <QTest>

#include <cstring>

using namespace nw;

namespace {

class ModuleServer : public testing::StubClient {
public:
    QList<quint32> loaded;  // module numbers, ascending
    quint32 batch = 32;
    int listRequests = 0;

    NWRCODE NWGetNLMLoadedList(NWCONN_HANDLE, quint32 start, NLMLoadedList& list) override
    {
        ++listRequests;
        list = NLMLoadedList{};
        list.numberLoaded = static_cast<quint32>(loaded.size());
        for (quint32 number : std::as_const(loaded)) {
            if (number >= start && list.numbersInList < batch)
                list.numbers[list.numbersInList++] = number;
        }
        return list.numbersInList ? 0 : 0x8801;
    }
    NWRCODE NWGetNLMInfo(NWCONN_HANDLE, quint32 number, std::span<char> fileName, std::span<char> name, std::span<char>,
                         NLMInfo& info) override
    {
        const QByteArray file = " MOD" + QByteArray::number(number) + ".NLM ";
        std::memcpy(fileName.data(), file.constData(), static_cast<std::size_t>(file.size()));
        std::memcpy(name.data(), "Module", 6);
        info.majorVersion = number;
        return 0;
    }

    struct Parameter {
        quint32 next;
        QByteArray name;
    };
    QList<Parameter> parameters;  // by sequence index
    NWRCODE NWGetServerSetCommandsInfo(NWCONN_HANDLE, quint32 sequence, SetCommandRecord& record) override
    {
        if (sequence >= static_cast<quint32>(parameters.size()))
            return 0x8801;
        record = SetCommandRecord{};
        record.nextSequence = parameters.at(sequence).next;
        const QByteArray& name = parameters.at(sequence).name;
        std::memcpy(record.nameAndValue.data(), name.constData(), static_cast<std::size_t>(name.size()));
        return 0;
    }
};

QList<quint32> readAll(ModuleServer& server, QStringList* names = nullptr)
{
    QList<quint32> numbers;
    views::readLoadedModules(server, 1, [&](const std::vector<views::LoadedModule>& modules) {
        for (const auto& module : modules) {
            numbers.append(module.number);
            if (names)
                names->append(module.fileName);
        }
    });
    return numbers;
}

}  // namespace

class TestServerReaders : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyModuleOnceAcrossFullReplies_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("batch");
        QTest::newRow("one reply") << 10 << 32;
        QTest::newRow("exact multiple") << 64 << 32;
        QTest::newRow("ragged") << 70 << 32;
        QTest::newRow("one per reply") << 5 << 1;
    }
    void everyModuleOnceAcrossFullReplies()
    {
        QFETCH(int, count);
        QFETCH(int, batch);
        ModuleServer server;
        for (int i = 1; i <= count; ++i)
            server.loaded.append(static_cast<quint32>(i));
        server.batch = static_cast<quint32>(batch);
        QCOMPARE(readAll(server), server.loaded);
    }

    void gapsInModuleNumbers()
    {
        ModuleServer server;
        server.loaded = {1, 2, 5, 9, 10, 11, 40};
        server.batch = 2;
        QCOMPARE(readAll(server), server.loaded);
    }

    void fileNamesTrimmed()
    {
        ModuleServer server;
        server.loaded = {3};
        QStringList names;
        readAll(server, &names);
        QCOMPARE(names, QStringList{QStringLiteral("MOD3.NLM")});
    }

    void setParametersFollowSequence()
    {
        ModuleServer server;
        server.parameters = {{1, "A"}, {2, "B"}, {0, "C"}};
        QStringList seen;
        views::readSetParameters(server, 1, [&](const views::SetParameter& p) { seen.append(p.name); });
        QCOMPARE(seen, (QStringList{"A", "B", "C"}));
    }

    void setParametersStopOnFailureAndLoops()
    {
        ModuleServer server;
        server.parameters = {{1, "A"}, {5, "B"}};  // 5 does not exist: the request fails
        QStringList seen;
        views::readSetParameters(server, 1, [&](const views::SetParameter& p) { seen.append(p.name); });
        QCOMPARE(seen, (QStringList{"A", "B"}));

        server.parameters = {{1, "A"}, {1, "B"}};  // a server that points back
        seen.clear();
        views::readSetParameters(server, 1, [&](const views::SetParameter& p) { seen.append(p.name); });
        QCOMPARE(seen, (QStringList{"A", "B"}));
    }
};

VESKARO_TEST_GUILESS_MAIN(TestServerReaders)
#include "test_serverreaders.moc"
