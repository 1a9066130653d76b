// Closing the NLM and SET parameter comparisons while they open: at every
// turn of the event loop the opening lets run, the window is closed (and in
// a second round destroyed at once, as a deferred delete that has already
// run). Nothing may touch the gone window, the host must be left as after any
// opening, and a new opening must bring the whole comparison.

#include "settings/Registry.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/NlmWindow.h"
#include "views/SetCommandsWindow.h"
#include "widgets/FlexGrid.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Six servers of 20 modules and 20 parameters, and one that cannot be reached.
const QByteArray kNetwork = R"({
  "format": 1,
  "clock": "2026-12-05T19:04:36",
  "workstation": { "tree": "ACME_TREE", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] } ],
  "servers": [ { "name": "DOWN", "tree": "ACME_TREE", "reachable": false } ],
  "generate": [ { "prefix": "GEN", "count": 6, "tree": "ACME_TREE", "nlms": 20, "setParameters": 20,
                  "connections": 1, "differences": 0.2, "seed": 4 } ] })";

const QStringList kServers{"GEN001", "GEN002", "DOWN", "GEN003", "GEN004", "GEN005", "GEN006"};

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Fixture {
    Fixture() : client(testing::makeNetwork(kNetwork)), test(*client, registry), host(test.context)
    {
        registry.createKey(settings::Hive::CurrentUser, settings::kRootKey);
        host.selection = kServers;
        host.window()->resize(900, 700);
        host.window()->show();
    }
    ~Fixture()
    {
        host.window()->hide();
        host.closeViews();
    }
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext test;
    testing::FakeViewHost host;
};

// Closes every view at the given turn of the event loop (the first turn is 1).
class Closer : public QObject {
public:
    Closer(testing::FakeViewHost& host, int atTurn, bool destroy) : m_host(host), m_atTurn(atTurn), m_destroy(destroy)
    {
        m_timer.setInterval(0);
        connect(&m_timer, &QTimer::timeout, this, [this] { turn(); });
        m_timer.start();
    }
    bool closed() const { return m_closed; }

private:
    void turn()
    {
        if (++m_turns < m_atTurn || m_closed)
            return;
        m_closed = true;
        m_timer.stop();
        const QList<QMdiSubWindow*> frames = m_host.mdiArea()->subWindowList();
        for (QMdiSubWindow* frame : frames) {
            QPointer<QMdiSubWindow> alive(frame);
            frame->close();
            if (m_destroy && alive)
                delete alive.data();
        }
    }

    testing::FakeViewHost& m_host;
    QTimer m_timer;
    int m_atTurn;
    bool m_destroy;
    int m_turns = 0;
    bool m_closed = false;
};

using Open = std::function<void(views::ViewHost&)>;
using DataRows = std::function<int(views::ViewHost&)>;  // -1: no view

int nlmRows(views::ViewHost& host)
{
    views::NlmWindow* form = views::findView<views::NlmWindow>(host);
    return form ? form->grdNLMs()->model().rows() - form->grdNLMs()->model().fixedRows() : -1;
}

int setRows(views::ViewHost& host)
{
    views::SetCommandsWindow* form = views::findView<views::SetCommandsWindow>(host);
    return form ? form->grdSetCommands()->model().rows() - form->grdSetCommands()->model().fixedRows() : -1;
}

}  // namespace

class TestOpening : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void closedAtEveryTurn_data()
    {
        QTest::addColumn<Open>("open");
        QTest::addColumn<DataRows>("dataRows");
        QTest::addColumn<bool>("destroy");
        QTest::newRow("NLMs, closed") << Open(&views::openNLMs) << DataRows(&nlmRows) << false;
        QTest::newRow("NLMs, destroyed") << Open(&views::openNLMs) << DataRows(&nlmRows) << true;
        QTest::newRow("SET, closed") << Open(&views::openSetCommands) << DataRows(&setRows) << false;
        QTest::newRow("SET, destroyed") << Open(&views::openSetCommands) << DataRows(&setRows) << true;
    }

    void closedAtEveryTurn()
    {
        QFETCH(Open, open);
        QFETCH(DataRows, dataRows);
        QFETCH(bool, destroy);

        // The whole comparison, opened undisturbed.
        int wholeRows = 0;
        {
            Fixture f;
            open(f.host);
            wholeRows = dataRows(f.host);
            QVERIFY(wholeRows >= 20);
        }

        // A closing at turn 1, 2, ... until the opening ends before the closer's turn.
        bool closedSomewhere = false;
        for (int turn = 1; turn < 200; ++turn) {
            Fixture f;
            Closer closer(f.host, turn, destroy);
            open(f.host);
            const bool closed = closer.closed();
            flushDeletes();
            QCOMPARE(f.host.openings, 0);
            QVERIFY(!f.host.toolBarDisabled);
            if (!closed) {
                QCOMPARE(dataRows(f.host), wholeRows);
                QVERIFY2(closedSomewhere, "the opening let no events run");
                return;
            }
            closedSomewhere = true;
            QCOMPARE(dataRows(f.host), -1);
            // Only the unreachable server speaks, and only if it was reached.
            for (const QString& title : f.test.messages.titles())
                QCOMPARE(title, QStringLiteral("Connect to server"));
            // The host is usable: the next opening brings the whole comparison.
            f.test.messages.clear();
            open(f.host);
            QCOMPARE(dataRows(f.host), wholeRows);
            QCOMPARE(f.host.openings, 0);
        }
        QFAIL("the opening never ended before the closer's turn");
    }
};

VESKARO_TEST_MAIN(TestOpening)
#include "test_opening.moc"
