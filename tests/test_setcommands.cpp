// The SET parameter comparison window against small simulated networks:
// value texts in the cells, rows shared across servers, the differences
// box, find, header sorting, removing a server, failures on opening and
// window state. The comparison rules themselves are in test_setcomparison.

#include "support/TestMain.h"
#include "views/SetCommandsWindow.h"

#include "settings/ColumnScale.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "widgets/FlexGrid.h"

#include <QMenu>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QtTest>

using views::SetCommandsWindow;

namespace {

QByteArray server(const QByteArray& name, const QByteArray& parameters, const QByteArray& tree = "ACME_TREE")
{
    return R"({ "name": ")" + name + R"(", "tree": ")" + tree + R"(", "setParameters": [ )" + parameters + "] }";
}

// A tree the workstation is logged in to (ACME_TREE) and one it is not
// (OTHER_TREE, FS9). With no servers given: FS1 and FS2 differ in one value,
// FS3 lacks the wait time and has the passwords switch on, DOWN is unreachable.
QByteArray network(const QByteArray& servers = {})
{
    const QByteArray standard = server("FS1", R"(
        { "name": "Maximum Packet Receive Buffers", "category": 0, "type": 0, "value": 500 },
        { "name": "Allow Unencrypted Passwords", "category": 9, "type": 1, "value": false },
        { "name": "Directory Cache Allocation Wait Time", "category": 3, "type": 2, "value": 91 })")
                                + "," + server("FS2", R"(
        { "name": "Maximum Packet Receive Buffers", "category": 0, "type": 0, "value": 1000 },
        { "name": "ALLOW UNENCRYPTED PASSWORDS", "category": 9, "type": 1, "value": false },
        { "name": "Directory Cache Allocation Wait Time", "category": 3, "type": 2, "value": 91 })")
                                + "," + server("FS3", R"(
        { "name": "Maximum Packet Receive Buffers", "category": 0, "type": 0, "value": 500 },
        { "name": "Allow Unencrypted Passwords", "category": 9, "type": 1, "value": true })")
                                + "," + server("FS9", "", "OTHER_TREE")
                                + R"(, { "name": "DOWN", "tree": "ACME_TREE", "reachable": false })";
    return R"({ "format": 1, "clock": "2026-12-05T19:04:36",
      "workstation": { "tree": "ACME_TREE", "context": "ACME", "logins": { "ACME_TREE": "admin.ACME" } },
      "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] },
                 { "name": "OTHER_TREE", "containers": [ { "name": "O", "class": "Organization" } ] } ],
      "servers": [ )"
           + (servers.isEmpty() ? standard : servers) + "] }";
}

const QStringList kNames{"Allow Unencrypted Passwords", "Directory Cache Allocation Wait Time",
                         "Maximum Packet Receive Buffers"};

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Fixture {
    explicit Fixture(const QByteArray& json = network())
        : client(testing::makeNetwork(json))
        , test(*client, registry)
        , host(test.context)
    {
        host.servers = {"FS1", "FS2", "FS3", "FS9", "DOWN"};
    }
    // The views leave before the stand-in main window does, as they do when
    // the program ends: a window deactivated by the main window's teardown
    // would otherwise call into a half-destroyed host.
    ~Fixture()
    {
        host.window()->hide();
        host.closeViews();
    }
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;
    SetCommandsWindow* open(const QStringList& servers)
    {
        host.selection = servers;
        views::openSetCommands(host);
        return views::findView<views::SetCommandsWindow>(host);
    }
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext test;
    testing::FakeViewHost host;
};

widgets::FlexGrid& grid(SetCommandsWindow* form)
{
    return *form->grdSetCommands();
}

QStringList headers(SetCommandsWindow* form)
{
    return grid(form).data().rowTexts(0);
}

// The texts of one column, or of the shown rows only.
QStringList column(SetCommandsWindow* form, int col, bool shownOnly = false)
{
    QStringList texts;
    for (int r = 1; r < grid(form).model().rows(); ++r) {
        if (!shownOnly || grid(form).model().rowHeight(r) > 0)
            texts << grid(form).model().textMatrix(r, col);
    }
    return texts;
}

int rowOf(SetCommandsWindow* form, const QString& name)
{
    return static_cast<int>(column(form, 0).indexOf(name)) + 1;
}

bool activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

void click(SetCommandsWindow* form, int row, int col, Qt::MouseButton button = Qt::LeftButton)
{
    form->clickGrid(button, row, col, {});
}

// The right button on a column's header, then the grid taking the focus back
// as it does when the pop-up menu closes.
void rightClickHeaderAndRefocus(SetCommandsWindow* form, int col)
{
    QTableView* view = grid(form).tableView();
    QHeaderView* header = view->horizontalHeader();
    const int x = header->sectionViewportPosition(col) + header->sectionSize(col) / 2;
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, QPoint(x, header->height() / 2));
    form->txtFind()->setFocus();
    view->setFocus();
    QCoreApplication::processEvents();
}

}  // namespace

class TestSetCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valueTexts_data()
    {
        QTest::addColumn<QByteArray>("parameter");
        QTest::addColumn<QString>("text");

        QTest::newRow("number 256") << QByteArray(R"("type": 0, "raw": "00 01 00 00")") << "256";
        // The value is as long as the record says: zeros inside it are digits,
        // not its end.
        QTest::newRow("number 65536") << QByteArray(R"("type": 0, "raw": "00 00 01 00")") << "65536";
        QTest::newRow("number 0") << QByteArray(R"("type": 0, "value": 0)") << "0";
        QTest::newRow("number, no bytes") << QByteArray(R"("type": 0, "raw": "")") << "0";
        QTest::newRow("ticks 91") << QByteArray(R"("type": 2, "value": 91)") << "5.0 seconds";
        QTest::newRow("ticks 1093") << QByteArray(R"("type": 2, "value": 1093)") << "1 minutes 0.0 seconds";
        QTest::newRow("ticks 1192") << QByteArray(R"("type": 2, "value": 1192)") << "1 minutes 5.5 seconds";
        QTest::newRow("on") << QByteArray(R"("type": 1, "value": true)") << "On";
        QTest::newRow("off") << QByteArray(R"("type": 1, "value": false)") << "Off";
        QTest::newRow("on/off, other byte") << QByteArray(R"("type": 1, "raw": "02")") << "";
        QTest::newRow("text") << QByteArray(R"("type": 5, "value": "SYS:ETC\\CONSOLE")") << "SYS:ETC\\CONSOLE";
        QTest::newRow("trigger") << QByteArray(R"("type": 6)") << "";
        QTest::newRow("unknown type, 1") << QByteArray(R"("type": 9, "raw": "01")") << "On";
        QTest::newRow("unknown type, no bytes") << QByteArray(R"("type": 9, "raw": "")") << "Off";
        QTest::newRow("unknown type, other") << QByteArray(R"("type": 9, "raw": "07")") << "Unknown";
    }

    void valueTexts()
    {
        QFETCH(QByteArray, parameter);
        QFETCH(QString, text);
        Fixture f(network(server("FS1", R"({ "name": "Before", "type": 0, "value": 1 },
            { "name": "Parameter", "category": 10, )"
                                            + parameter + R"( },
            { "name": "Zeta After", "type": 0, "value": 2 })")));
        QVERIFY(f.client);
        SetCommandsWindow* form = f.open({"FS1"});
        QVERIFY(form);
        const int row = rowOf(form, QStringLiteral("Parameter"));
        QCOMPARE(grid(form).model().textMatrix(row, 2), text);
        QVERIFY(grid(form).model().cellAlignment(row, 2) & Qt::AlignRight);
        // The neighbours are read on: a value never runs into the next parameter.
        QCOMPARE(column(form, 2).last(), QStringLiteral("2"));
    }

    void categoryTexts()
    {
        Fixture f(network(server("FS1", R"(
            { "name": "A", "category": 0, "type": 0 }, { "name": "B", "category": 1, "type": 0 },
            { "name": "C", "category": 7, "type": 0 }, { "name": "D", "category": 12, "type": 0 },
            { "name": "E", "category": 15, "type": 0 }, { "name": "F", "category": 16, "type": 0 },
            { "name": "G", "category": 4294967295, "type": 0 })")));
        QVERIFY(f.client);
        QCOMPARE(column(f.open({"FS1"}), 1),
                 (QStringList{"Comm", "Memory", "Disk", "Dir Svcs", "License Svcs", "N/A", "N/A"}));
    }

    void oneRowPerNameAcrossServers()
    {
        Fixture f;
        QVERIFY(f.client);
        SetCommandsWindow* form = f.open({"FS1", "FS2", "FS3"});
        QVERIFY(form);
        QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value", "FS2 - Value", "FS3 - Value"}));
        QCOMPARE(form->windowTitle(), QStringLiteral("Set Commands"));
        // Sorted by name; the first server's spelling names the row.
        QCOMPARE(column(form, 0), kNames);
        QCOMPARE(column(form, 1), (QStringList{"NCP", "Dir Cache", "Comm"}));
        QCOMPARE(column(form, 3), (QStringList{"Off", "5.0 seconds", "1000"}));
        QCOMPARE(column(form, 4), (QStringList{"On", "", "500"}));
        QVERIFY(grid(form).model().colWidth(4) > 0);  // fitted to its texts on a first opening
    }

    void serverAlreadyShownIsSkipped()
    {
        Fixture f;
        SetCommandsWindow* form = f.open({"FS1"});
        // Sorted by category first: adding servers goes back to name order.
        click(form, 0, 1);
        click(form, 0, 1);
        QCOMPARE(column(form, 1), (QStringList{"NCP", "Dir Cache", "Comm"}));
        QCOMPARE(f.open({"FS2", "FS1"}), form);
        QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value", "FS2 - Value"}));
        QCOMPARE(column(form, 0), kNames);
        QCOMPARE(f.host.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(f.host.openings, 0);
        QCOMPARE(f.host.openingsStarted, 2);
    }

    // A later opening fits the column it adds, as the first opening fitted
    // its own, and leaves the columns the user has sized alone.
    void laterOpeningFitsTheColumnsItAdds()
    {
        Fixture f;
        SetCommandsWindow* form = f.open({"FS1"});
        grid(form).model().setColWidth(0, 3000);
        Q_EMIT grid(form).columnSizedByHand(0);
        QCOMPARE(f.open({"FS2"}), form);
        QCOMPARE(grid(form).model().colWidth(0), 3000);
        // Narrower than designed, yet wide enough for its longest value.
        QFont bold = grid(form).font();
        bold.setBold(true);
        const double dpi = settings::columnDotsPerInch(&grid(form));
        const int width = grid(form).model().colWidth(3);
        QVERIFY(width < views::kSetServerColWidth);
        QVERIFY(texts::twipsToPixels(width, dpi) > QFontMetrics(bold).horizontalAdvance(QStringLiteral("5.0 seconds")));
    }

    // Fitted columns share the view's width and read whole; they follow the
    // window's width until the user sizes one, and Fit Columns brings that back.
    void columnsUseTheRoomAndFollowTheWindow()
    {
        Fixture f;
        f.host.window()->resize(900, 700);
        f.host.window()->show();  // a hidden frame takes its size only when shown
        SetCommandsWindow* form = f.open({"FS1", "FS2"});
        QVERIFY(form->columnsFollowWidth());
        QTableView* table = grid(form).tableView();
        const double dpi = settings::columnDotsPerInch(&grid(form));
        const auto shownWidth = [&] {
            int pixels = 0;
            for (int c = 0; c < grid(form).model().cols(); ++c)
                pixels += texts::twipsToPixels(grid(form).model().colWidth(c), dpi);
            return pixels;
        };
        const int room = grid(form).width() - 2 * table->frameWidth()
                         - table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table);
        QTRY_VERIFY2(std::abs(shownWidth() - room) <= grid(form).model().cols(),
                     qPrintable(QStringLiteral("%1 of %2").arg(shownWidth()).arg(room)));
        QFont bold = grid(form).font();
        bold.setBold(true);
        for (int c = 2; c < grid(form).model().cols(); ++c) {  // the values; a long name may be cut
            for (int r = 0; r < grid(form).model().rows(); ++r)
                QVERIFY(QFontMetrics(bold).horizontalAdvance(grid(form).model().textMatrix(r, c))
                        < texts::twipsToPixels(grid(form).model().colWidth(c), dpi));
        }

        QMdiSubWindow* frame = form->frame();
        const int before = shownWidth();
        frame->resize(frame->width() + 200, frame->height());
        QTRY_VERIFY(shownWidth() >= before + 190);

        Q_EMIT grid(form).columnSizedByHand(2);
        QVERIFY(!form->columnsFollowWidth());
        const int sized = shownWidth();
        frame->resize(frame->width() + 200, frame->height());
        QTest::qWait(400);
        QCOMPARE(shownWidth(), sized);

        form->refitColumns();
        QVERIFY(form->columnsFollowWidth());
        QVERIFY(shownWidth() >= sized + 190);
    }

    void differencesBox_data()
    {
        QTest::addColumn<QStringList>("servers");
        QTest::addColumn<bool>("boxEnabled");
        QTest::addColumn<QStringList>("shownWhenTicked");
        QTest::newRow("one server") << QStringList{"FS1"} << false << kNames;
        QTest::newRow("two servers") << QStringList{"FS1", "FS2"} << true << QStringList{kNames.last()};
    }

    void differencesBox()
    {
        QFETCH(QStringList, servers);
        QFETCH(bool, boxEnabled);
        QFETCH(QStringList, shownWhenTicked);
        Fixture f;
        SetCommandsWindow* form = f.open(servers);
        QCheckBox* box = form->chkDifferences();
        QCOMPARE(box->isEnabled(), boxEnabled);
        QVERIFY(!box->isChecked());

        views::applySetReportOptions(form->parentWidget(), true);
        QCOMPARE(box->isChecked(), boxEnabled);
        QCOMPARE(column(form, 0, true), shownWhenTicked);
        views::applySetReportOptions(form, false);
        QVERIFY(!box->isChecked());
        for (int r = 1; r < grid(form).model().rows(); ++r)
            QCOMPARE(grid(form).model().rowHeight(r), grid(form).model().rowHeight(0));
    }

    void findSelectsAndScrollsToTheMatch()
    {
        QByteArray many;
        for (int i = 0; i < 60; ++i)
            many += QStringLiteral(R"({ "name": "Parameter %1", "type": 0, "value": %1 },)").arg(i).toLatin1();
        Fixture f(network(server("FS1", many + R"({ "name": "Zulu Time", "type": 0, "value": 1 })")));
        QVERIFY(f.client);
        SetCommandsWindow* form = f.open({"FS1"});
        f.host.window()->show();
        widgets::FlexGrid& g = grid(form);

        QVERIFY(QTest::qWaitForWindowExposed(f.host.window()));
        // A row out of sight comes to the top of the grid, as in the NLM comparison.
        const int middle = rowOf(form, QStringLiteral("Parameter 40"));
        QVERIFY(!g.isRowVisible(middle));
        form->txtFind()->setText(QStringLiteral("parameter 40"));
        QCOMPARE(g.model().row(), middle);
        QCOMPARE(g.topRow(), middle);

        form->txtFind()->setText(QStringLiteral("zULU"));
        const int zulu = rowOf(form, QStringLiteral("Zulu Time"));
        QCOMPARE(g.model().row(), zulu);
        QCOMPARE(g.model().rowSel(), zulu);
        QCOMPARE(g.model().col(), 0);
        QCOMPARE(g.model().colSel(), 2);
        QVERIFY(g.isRowVisible(zulu));
        // No match: the selection stays where it was.
        form->txtFind()->setText(QStringLiteral("zULUx"));
        QCOMPARE(g.model().row(), zulu);
    }

    void sidewaysScrollingMovesWholeColumns()
    {
        // Four servers and more do not fit beside the frozen "Command" and
        // "Category": at every step of the scroll bar each server column is
        // either wholly beside them or wholly scrolled away, never half under them.
        QByteArray servers;
        for (int i = 1; i <= 6; ++i) {
            servers += (i > 1 ? "," : "")
                       + server("FS" + QByteArray::number(i), R"({ "name": "Time", "type": 0, "value": 1 })");
        }
        Fixture f(network(servers));
        QVERIFY(f.client);
        SetCommandsWindow* form = f.open({"FS1", "FS2", "FS3", "FS4", "FS5", "FS6"});
        f.host.window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.host.window()));
        QTableView* view = grid(form).tableView();
        auto* fixed = grid(form).findChild<QTableView*>(QStringLiteral("fixedColumnsView"));
        QVERIFY(fixed && fixed->isVisible());
        QScrollBar* bar = view->horizontalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QWidget* g = &grid(form);
        // Where the fixed columns end, in the grid's own coordinates.
        const int edge = fixed->viewport()->mapTo(g, QPoint(fixed->viewport()->width(), 0)).x();
        const auto cellLeft = [&](int col) {
            return view->viewport()->mapTo(g, QPoint(view->columnViewportPosition(col), 0)).x();
        };
        const auto headerLeft = [&](int col) {
            QWidget* header = view->horizontalHeader()->viewport();
            return header->mapTo(g, QPoint(view->horizontalHeader()->sectionViewportPosition(col), 0)).x();
        };
        for (int value = bar->minimum(); value <= bar->maximum(); ++value) {
            bar->setValue(value);
            QCoreApplication::processEvents();
            int firstShown = -1;
            for (int col = 2; col < grid(form).model().cols(); ++col) {
                const int left = cellLeft(col);
                const int right = left + view->columnWidth(col);
                QVERIFY2(left >= edge || right <= edge,
                         qPrintable(QStringLiteral("step %1, column %2 at %3..%4, fixed columns end at %5")
                                        .arg(value)
                                        .arg(col)
                                        .arg(left)
                                        .arg(right)
                                        .arg(edge)));
                if (firstShown < 0 && left >= edge)
                    firstShown = col;
            }
            // The first server column shown starts right at their edge, its header with it.
            QCOMPARE(firstShown, 2 + value - bar->minimum());
            QCOMPARE(cellLeft(firstShown), edge);
            QCOMPARE(headerLeft(firstShown), edge);
        }
        // The fixed columns themselves are never part of the scrolling.
        QVERIFY(view->isColumnHidden(0) && view->isColumnHidden(1));
        QCOMPARE(fixed->horizontalHeader()->sectionViewportPosition(0), 0);
    }

    void headerSortsAscendingThenDescending()
    {
        Fixture f;
        SetCommandsWindow* form = f.open({"FS1", "FS2"});
        widgets::FlexGrid& g = grid(form);
        QAction* remove = f.host.removeColumnAction();
        remove->setEnabled(true);

        click(form, 0, 1);
        QCOMPARE(column(form, 1), (QStringList{"Comm", "Dir Cache", "NCP"}));
        QCOMPARE(g.model().row(), 1);
        QCOMPARE(g.model().colSel(), 3);
        QVERIFY(!remove->isEnabled());
        click(form, 0, 1);
        QCOMPARE(column(form, 1), (QStringList{"NCP", "Dir Cache", "Comm"}));
        // One direction for both columns: the next click, on "Command", ascends.
        click(form, 0, 0);
        QCOMPARE(column(form, 0), kNames);
        click(form, 0, 0);
        QCOMPARE(column(form, 0).first(), kNames.last());

        // A data row's name selects that row across and sorts nothing; the right
        // button on the name columns does nothing.
        click(form, 2, 0);
        click(form, 0, 0, Qt::RightButton);
        QCOMPARE(g.model().row(), 2);
        QCOMPARE(g.model().rowSel(), 2);
        QCOMPARE(column(form, 0).first(), kNames.last());
        QVERIFY(f.host.popups.isEmpty());
    }

    void removingServerColumns()
    {
        Fixture f;
        SetCommandsWindow* form = f.open({"FS1", "FS2", "FS3"});
        QAction* remove = f.host.removeColumnAction();
        QCheckBox* box = form->chkDifferences();
        box->click();
        QCOMPARE(column(form, 0, true).size(), 3);

        // The right button on a server's header selects its column and offers removal.
        click(form, 0, 3, Qt::RightButton);
        QVERIFY(remove->isEnabled());
        QCOMPARE(f.host.popups, QStringList{"PopMenu_Set_Commands"});
        const models::CellRange range = grid(form).model().selectedRange();
        QCOMPARE(range.left, 3);
        QCOMPARE(range.right, 3);
        QCOMPARE(range.top, 1);
        QCOMPARE(range.bottom, grid(form).model().rows() - 1);

        views::removeSetCommandsColumn(f.host);
        QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value", "FS3 - Value"}));
        QVERIFY(remove->isEnabled());
        QVERIFY(box->isEnabled());
        QVERIFY(box->isChecked());
        // FS1 and FS3 differ only in the passwords switch and the wait time FS3 lacks.
        QCOMPARE(column(form, 0, true), kNames.mid(0, 2));

        views::removeSetCommandsColumn(f.host);
        QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value"}));
        QVERIFY(!remove->isEnabled());
        QVERIFY(!box->isEnabled());
        QVERIFY(!box->isChecked());
        QCOMPARE(column(form, 0, true).size(), 3);

        // The name columns are never removed, whatever the current cell.
        click(form, 0, 0);
        views::removeSetCommandsColumn(f.host);
        QCOMPARE(headers(form).size(), 3);

        // A server added afterwards joins the existing rows again.
        f.open({"FS2"});
        QCOMPARE(grid(form).model().rows(), 4);
        QVERIFY(box->isEnabled());
    }

    void removesTheClickedServer_data()
    {
        QTest::addColumn<bool>("differencesOnly");
        QTest::addColumn<QString>("clicked");
        QTest::newRow("all rows, FS2") << false << "FS2";
        QTest::newRow("differences only, FS2") << true << "FS2";
        QTest::newRow("differences only, FS3") << true << "FS3";
    }

    void removesTheClickedServer()
    {
        // "Agreed" sorts first and is the same everywhere: with differences
        // only, the first data row is hidden when a server's header is pressed.
        QFETCH(bool, differencesOnly);
        QFETCH(QString, clicked);
        QByteArray servers;
        for (int i = 1; i <= 3; ++i) {
            servers += (i > 1 ? "," : "")
                       + server("FS" + QByteArray::number(i), R"({ "name": "Agreed", "type": 0, "value": 1 },
                    { "name": "Differs", "type": 0, "value": )" + QByteArray::number(i)
                                                                  + " }");
        }
        Fixture f(network(servers));
        QVERIFY(f.client);
        SetCommandsWindow* form = f.open({"FS1", "FS2", "FS3"});
        QVERIFY(activate(f.host.window()));
        if (differencesOnly)
            form->chkDifferences()->click();
        QCOMPARE(column(form, 0, true), differencesOnly ? QStringList{"Differs"} : (QStringList{"Agreed", "Differs"}));

        const QString header = clicked + QStringLiteral(" - Value");
        rightClickHeaderAndRefocus(form, static_cast<int>(headers(form).indexOf(header)));
        QCOMPARE(f.host.popups, QStringList{"PopMenu_Set_Commands"});
        QCOMPARE(grid(form).model().textMatrix(0, grid(form).model().col()), header);
        views::removeSetCommandsColumn(f.host);
        QStringList expected{"Command", "Category", "FS1 - Value", "FS2 - Value", "FS3 - Value"};
        expected.removeOne(header);
        QCOMPARE(headers(form), expected);
    }

    void failedOpenings()
    {
        Fixture f;
        f.host.window()->show();
        // An unreachable server is reported and passed over.
        QPointer<SetCommandsWindow> form = f.open({"DOWN", "FS1"});
        QVERIFY(form);
        QCOMPARE(f.test.messages.titles(), QStringList{"Connect to server"});
        QCOMPARE(f.test.messages.texts(), QStringList{"Unable to connect to server. Error 34817"});
        QCOMPARE(f.test.messages.shown.first().icon, platform::Icon::Critical);
        QCOMPARE(headers(form), (QStringList{"Command", "Category", "FS1 - Value"}));
        QVERIFY(f.host.setCommandsMenu()->menuAction()->isVisible());

        // A tree the workstation is not authenticated to closes the whole view.
        f.test.messages.shown.clear();
        f.open({"FS9", "FS2"});
        QCOMPARE(f.test.messages.titles(), QStringList{"Not Authenticated"});
        QCOMPARE(f.test.messages.texts(),
                 QStringList{"You are not authenticated to selected tree.  Please authenticate and try again."});
        QCOMPARE(f.host.openings, 0);
        QVERIFY(!f.host.setCommandsMenu()->menuAction()->isVisible());
        flushDeletes();
        QVERIFY(!form);
        // The next opening starts afresh.
        QCOMPARE(headers(f.open({"FS2"})), (QStringList{"Command", "Category", "FS2 - Value"}));
    }

    void menuFollowsActivation()
    {
        Fixture f;
        QVERIFY(activate(f.host.window()));
        SetCommandsWindow* form = f.open({"FS1"});
        QAction* menu = f.host.setCommandsMenu()->menuAction();
        QVERIFY(menu->isVisible());
        QVERIFY(f.host.copyEnabled);

        // Another top-level window takes the focus, as another program would,
        // and gives it back: the view stays the active one, its menu shown.
        QWidget elsewhere;
        elsewhere.resize(200, 100);
        QVERIFY(activate(&elsewhere));
        QTRY_VERIFY(!f.host.window()->isActiveWindow());
        QCoreApplication::processEvents();
        QVERIFY(form->isActiveView());
        QVERIFY(menu->isVisible());
        QVERIFY(activate(f.host.window()));
        QCoreApplication::processEvents();
        QVERIFY(form->isActiveView());
        QVERIFY(menu->isVisible());

        // Another view of the program does take it away, until it comes back.
        auto* other = f.host.mdiArea()->addSubWindow(new QWidget);
        other->show();
        f.host.mdiArea()->setActiveSubWindow(other);
        QVERIFY(!menu->isVisible());
        f.host.saveEnabled = false;
        f.host.mdiArea()->setActiveSubWindow(form->frame());
        QVERIFY(menu->isVisible());
        QVERIFY(f.host.saveEnabled);
        form->parentWidget()->close();
        QVERIFY(!menu->isVisible());
    }

    void openedWindowEndsActiveDespiteAMessageBox()
    {
        Fixture f;
        QVERIFY(activate(f.host.window()));
        // Another view is active, the focus in one of its boxes.
        auto* edit = new QLineEdit;
        QMdiSubWindow* old = f.host.mdiArea()->addSubWindow(edit);
        old->show();
        f.host.mdiArea()->setActiveSubWindow(old);
        edit->setFocus();
        QCOMPARE(QApplication::focusWidget(), edit);

        // The unreachable server's message takes the activation away while it
        // is shown, as a modal box does; meanwhile the main window's focus is
        // left in the other view (disabling the server list hands it on), and
        // the window system gives the activation back only after the opening.
        f.test.messages.whileShown = [edit](const platform::Message&) {
            QWidget box;
            box.resize(200, 80);
            QVERIFY(activate(&box));
            edit->setFocus();
            box.close();
        };
        const auto activationComesBack = [&f] {
            QVERIFY(activate(f.host.window()));
            QCoreApplication::processEvents();
        };
        SetCommandsWindow* form = f.open({"DOWN", "FS1"});
        QCOMPARE(f.test.messages.titles(), QStringList{QStringLiteral("Connect to server")});
        activationComesBack();
        QCOMPARE(f.host.mdiArea()->activeSubWindow(), form->frame());
        QVERIFY(form->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(f.host.mdiArea()->subWindowList(QMdiArea::StackingOrder).last(), form->frame());

        // Reused: opening again while the other view is active brings it forward too.
        f.host.mdiArea()->setActiveSubWindow(old);
        edit->setFocus();
        QCOMPARE(f.host.mdiArea()->activeSubWindow(), old);
        f.open({"FS2", "DOWN"});
        activationComesBack();
        QCOMPARE(f.host.mdiArea()->activeSubWindow(), form->frame());
        QVERIFY(form->isAncestorOf(QApplication::focusWidget()));
    }

    void windowStateDefaultsAndSaving()
    {
        Fixture f;
        const QString key = settings::rootKeyPath(QStringLiteral("SetCommandsForm"));
        auto value = [&](const QString& name) { return settings::readSetting(f.registry, key, name); };
        auto close = [&] { f.host.closeViews(); };
        f.registry.createKey(settings::Hive::CurrentUser, settings::kRootKey);
        SetCommandsWindow* form = f.open({"FS1"});
        // A first opening fits the columns to their texts.
        QVERIFY(grid(form).model().colWidth(0) > 0);
        QVERIFY(grid(form).model().colWidth(1) > 0);
        grid(form).model().setColWidth(0, 3000);
        grid(form).model().setColWidth(1, 1200);
        close();
        QCOMPARE(value(QStringLiteral("ColWidth0")), QStringLiteral("3000"));
        QCOMPARE(value(QStringLiteral("ColWidth1")), QStringLiteral("1200"));
        QVERIFY(!value(QStringLiteral("Width")).isEmpty());

        // Stored widths come back; a width missing from the key keeps the designed one.
        f.registry.deleteValue(settings::Hive::CurrentUser, key, QStringLiteral("ColWidth1"));
        form = f.open({"FS1"});
        QCOMPARE(grid(form).model().colWidth(0), 3000);
        QCOMPARE(grid(form).model().colWidth(1), 1200);
        close();

        // Hand-edited nonsense neither hides a column nor stops the window.
        settings::saveSetting(f.registry, key, QStringLiteral("ColWidth0"), QStringLiteral("wide"));
        QVERIFY(grid(f.open({"FS1"})).model().colWidth(0) > 0);
    }
};

VESKARO_TEST_MAIN(TestSetCommands)
#include "test_setcommands.moc"
