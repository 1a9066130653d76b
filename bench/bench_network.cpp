// Loads a generated network of 1,000 servers (300 modules, 400 SET parameters
// and 5,000 connections each), finds every server with a subtree search and
// reads one server's lists in full, then draws every server's lists in turn
// (which must stay within bounded memory); prints the times and the peak memory.

#include "support/Figures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

using namespace nw;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    const bench::GeneratedNetwork network = bench::thousandServerNetwork();
    const QByteArray json = network.json();

    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<NetWareClient> client = bench::loadNetwork(json);
    const double loadMs = bench::lapMs(timer);
    if (!client)
        return 1;
    NetWareClient& c = *client;

    // Server discovery as the main window does it.
    NWDSContextHandle ctx = 0;
    c.NWDSCreateContextHandle(ctx);
    c.NWDSSetContext(ctx, DCK_FLAGS, DCV_TYPELESS_NAMES);
    NWDSBufHandle filter = 0, attrs = 0, reply = 0;
    c.NWDSAllocBuf(DEFAULT_MESSAGE_LEN, filter);
    c.NWDSAllocBuf(DEFAULT_MESSAGE_LEN, attrs);
    c.NWDSAllocBuf(DEFAULT_MESSAGE_LEN, reply);
    c.NWDSInitBuf(ctx, DSV_SEARCH_FILTER, filter);
    c.NWDSInitBuf(ctx, DSV_LIST, attrs);
    NWFilterCursor cursor = 0;
    c.NWDSAllocFilter(cursor);
    const QByteArray attribute("Object Class"), objectClass("NCP Server");
    c.NWDSAddFilterToken(cursor, FTOK_ANAME, &attribute, SYN_CLASS_NAME);
    c.NWDSAddFilterToken(cursor, FTOK_EQ, nullptr, 0);
    c.NWDSAddFilterToken(cursor, FTOK_AVAL, &objectClass, SYN_CLASS_NAME);
    c.NWDSAddFilterToken(cursor, FTOK_END, nullptr, 0);
    c.NWDSPutFilter(ctx, filter, cursor);
    QStringList servers;
    qint32 iteration = -1;
    int replies = 0;
    do {
        qint32 searched = 0;
        if (c.NWDSSearch(ctx, "[Root]", DS_SEARCH_SUBTREE, false, filter, 1, false, attrs, iteration, 0, searched,
                         reply)
            != 0)
            break;
        ++replies;
        quint32 count = 0;
        c.NWDSGetObjectCount(ctx, reply, count);
        for (quint32 i = 0; i < count; ++i) {
            std::array<char, 129> name{};
            quint32 attributes = 0;
            ObjectInfo info;
            c.NWDSGetObjectName(ctx, reply, name, attributes, info);
            servers.append(QString::fromLatin1(name.data()).section(QLatin1Char('.'), 0, 0));
        }
    } while (iteration != -1);
    const double searchMs = bench::lapMs(timer);

    NWCONN_HANDLE conn = 0;
    c.NWCCOpenConnByName(0, "W250", NWCC_NAME_FORMAT_BIND, NWCC_OPEN_LICENSED, NW_TRAN_TYPE_WILD, conn);
    int modules = 0;
    quint32 start = 0;
    NLMLoadedList list;
    while (c.NWGetNLMLoadedList(conn, start, list) == 0) {
        for (quint32 i = 0; i < list.numbersInList; ++i) {
            std::array<char, 100> file{};
            NLMInfo info;
            c.NWGetNLMInfo(conn, list.numbers[i], file, {}, {}, info);
            ++modules;
        }
        start = list.numbers[list.numbersInList - 1] + 1;
    }
    const double nlmMs = bench::lapMs(timer);

    int parameters = 0;
    quint32 sequence = 0;
    SetCommandRecord record;
    do {
        if (c.NWGetServerSetCommandsInfo(conn, sequence, record) != 0)
            break;
        ++parameters;
        sequence = record.nextSequence;
    } while (sequence != 0);
    const double setMs = bench::lapMs(timer);

    int connections = 0;
    for (quint32 type = 2; type <= 11; ++type) {
        for (quint32 block = 1; block <= 8193; block += 4096) {
            ActiveConnList active;
            if (c.NWGetActiveConnListByType(conn, block, type, active) != 0)
                break;
            for (quint32 k = 0; k < 512; ++k)
                for (quint32 bit = 0; bit < 8; ++bit)
                    if (active.bits[k] & (1U << bit)) {
                        ServerConnInfo info;
                        if (c.NWGetServerConnInfo(conn, 175, block + 8 * k + bit, info) == 0)
                            ++connections;
                    }
        }
    }
    const double connMs = bench::lapMs(timer);
    c.NWCCCloseConn(conn);

    // Every server's lists drawn once: released again as the walk goes on.
    int walked = 0;
    bench::forEachServer(c, servers, [&](const QString&, NWCONN_HANDLE each) {
        ServerConnInfo info;
        NLMLoadedList loaded;
        if (c.NWGetServerConnInfo(each, 175, 4999, info) == 0 && c.NWGetNLMLoadedList(each, 0, loaded) == 0)
            ++walked;
    });
    const double walkMs = bench::lapMs(timer);

    out << "load 1,000 generated servers:      " << loadMs << " ms\n"
        << "subtree search (" << servers.size() << " servers, " << replies << " replies): " << searchMs << " ms\n"
        << "one server's NLMs (" << modules << "):          " << nlmMs << " ms (includes drawing its lists)\n"
        << "one server's SET parameters (" << parameters << "): " << setMs << " ms\n"
        << "one server's connections (" << connections << "):  " << connMs << " ms\n"
        << "every server's lists drawn (" << walked << "):  " << walkMs << " ms\n"
        << "peak memory: " << bench::peakMemoryMiB() << " MB\n";
    return servers.size() == 1000 && modules == 300 && parameters == 400 && connections == 5001 && walked == 1000 ? 0
                                                                                                                  : 1;
}
