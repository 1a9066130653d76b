// The loaded-module comparison window on small simulated networks: opening,
// skipped and failing servers, the differences filter, find, sorting, removing
// a server, window state and what Save writes with both columns shown (the
// other Save texts are proven by test_report). The matching rule alone is in
// test_nlmcomparison.

#include "export/CopyDialog.h"
#include "export/WidgetExport.h"
#include "settings/ColumnScale.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "support/SavedText.h"
#include "support/FakeViewHost.h"
#include "support/MemoryRegistry.h"
#include "support/SimNetwork.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "views/NlmWindow.h"
#include "widgets/FlexGrid.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QPushButton>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include <memory>

using views::NlmWindow;

using testing::savedText;

namespace {

// FS1 and FS2 share CLIB (spelled differently, same version and date) and DS
// (same date, other version); MONITOR is only on FS1, CLXNET and TCPIP only
// on FS2. FS3 adds a third server, DOWN cannot be reached and OTHER belongs to
// a tree the workstation is not logged in to.
const QByteArray kNetwork = R"({
  "format": 1,
  "workstation": { "tree": "ACME_TREE", "logins": { "ACME_TREE": "admin.ACME" } },
  "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] },
             { "name": "OTHER_TREE", "containers": [ { "name": "OTHER", "class": "Organization" } ] } ],
  "servers": [
    { "name": "FS1", "tree": "ACME_TREE", "nlms": [
      { "file": "CLIB.NLM", "name": "C Library", "notice": "(C) Acme 1", "version": "5.0.8", "date": "2008-03-14" },
      { "file": "DS.NLM", "name": "Directory", "notice": "(C) Acme", "version": "10.1.0", "date": "2009-01-05" },
      { "file": "MONITOR.NLM", "name": "Monitor", "notice": "(C) Acme", "version": "2.5.26", "date": "2007-11-20" } ] },
    { "name": "FS2", "tree": "ACME_TREE", "nlms": [
      { "file": "clib.nlm", "name": "C Library", "notice": "(C) Acme 2", "version": "5.0.8", "date": "2008-03-14" },
      { "file": "DS.NLM", "name": "Directory", "notice": "(C) Acme", "version": "10.2.0", "date": "2009-01-05" },
      { "file": "TCPIP.NLM", "name": "TCP/IP", "notice": "(C) Acme", "version": "3.1.1", "date": "2006-06-01" },
      { "file": "CLXNET.NLM", "name": "Net", "notice": "(C) Acme", "version": "1.0.0", "date": "2005-02-02" } ] },
    { "name": "FS3", "tree": "ACME_TREE", "nlms": [
      { "file": "CLIB.NLM", "name": "C Library", "notice": "(C) Acme 3", "version": "5.0.9", "date": "2008-04-01" },
      { "file": "DS.NLM", "name": "Directory", "notice": "(C) Acme", "version": "10.2.0", "date": "2009-01-05" } ] },
    { "name": "DOWN", "tree": "ACME_TREE", "reachable": false },
    { "name": "OTHER", "tree": "OTHER_TREE" } ] })";

struct Fixture {
    explicit Fixture(const QByteArray& json = kNetwork)
        : client(testing::makeNetwork(json))
        , test(*client, registry)
        , host(test.context)
    {
        registry.createKey(settings::Hive::CurrentUser, settings::kRootKey);
    }
    NlmWindow* open(const QStringList& servers)
    {
        host.selection = servers;
        views::openNLMs(host);
        return views::findView<views::NlmWindow>(host);
    }
    std::unique_ptr<nw::NetWareClient> client;
    testing::MemoryRegistry registry;
    testing::TestContext test;
    testing::FakeViewHost host;
};

QStringList column(const widgets::FlexGrid& grid, int col, bool shownOnly = false)
{
    QStringList texts;
    for (int r = 2; r < grid.model().rows(); ++r) {
        if (!shownOnly || grid.model().rowHeight(r) > 0)
            texts << grid.model().textMatrix(r, col);
    }
    return texts;
}

int rowOf(const widgets::FlexGrid& grid, const QString& name)
{
    return static_cast<int>(column(grid, 0).indexOf(name)) + 2;
}

// The servers share AGREED.NLM, which sorts first, and differ in the date of
// DIFFERS.NLM.
QByteArray agreedFirstNetwork(const QStringList& names)
{
    QByteArray servers;
    for (int i = 0; i < names.size(); ++i) {
        servers += QByteArray(i > 0 ? "," : "") + R"({ "name": ")" + names[i].toLatin1()
                   + R"(", "tree": "ACME_TREE", "nlms": [
            { "file": "AGREED.NLM", "version": "1.0.0", "date": "2008-01-01" },
            { "file": "DIFFERS.NLM", "version": "1.0.0", "date": "2008-01-1)"
                   + QByteArray::number(i) + R"(" } ] })";
    }
    return R"({ "format": 1, "workstation": { "tree": "ACME_TREE", "logins": { "ACME_TREE": "admin.ACME" } },
        "trees": [ { "name": "ACME_TREE", "containers": [ { "name": "ACME", "class": "Organization" } ] } ],
        "servers": [ )"
           + servers + "] }";
}

}  // namespace

class TestNlms : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void opensOneRowPerModuleWithVersionTexts()
    {
        Fixture f;
        QVERIFY(f.client);
        NlmWindow* form = f.open({"FS1", "FS2"});
        QVERIFY(form);
        const widgets::FlexGrid& grid = *form->grdNLMs();
        QCOMPARE(form->windowTitle(), QStringLiteral("NLMs"));
        QCOMPARE(grid.data().rowTexts(0), (QStringList{"Name", "FS1", "FS1", "FS2", "FS2"}));
        QCOMPARE(grid.data().rowTexts(1), (QStringList{"", "Version", "Date", "Version", "Date"}));
        // CLIB.NLM and clib.nlm share a row that keeps the first spelling.
        QCOMPARE(column(grid, 0), (QStringList{"CLIB.NLM", "CLXNET.NLM", "DS.NLM", "MONITOR.NLM", "TCPIP.NLM"}));
        const int clib = rowOf(grid, "CLIB.NLM");
        QCOMPARE(grid.model().textMatrix(clib, 1), QStringLiteral("          5.00h"));
        QCOMPARE(grid.model().textMatrix(clib, 3), QStringLiteral("          5.00h"));
        QCOMPARE(grid.model().textMatrix(clib, 2), QStringLiteral("3/14/2008"));
        // Revision 26 is the last letter, revision 0 has none.
        QCOMPARE(grid.model().textMatrix(rowOf(grid, "MONITOR.NLM"), 1), QStringLiteral("         2.05z"));
        QCOMPARE(grid.model().textMatrix(rowOf(grid, "DS.NLM"), 3), QStringLiteral("         10.02"));
        QVERIFY(grid.model().textMatrix(rowOf(grid, "MONITOR.NLM"), 3).isEmpty());
        QVERIFY(grid.model().colWidth(4) > 0);  // fitted to its texts on a first opening
        QCOMPARE(grid.model().cellAlignment(0, 3) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(grid.model().cellAlignment(clib, 3) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        // The opening ran under the host's opening state and ended it.
        QCOMPARE(f.host.openingsStarted, 1);
        QCOMPARE(f.host.openings, 0);
        QVERIFY(f.test.messages.shown.isEmpty());
    }

    void descriptionsFollowEachServersSpelling()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1", "FS2"});
        const widgets::FlexGrid& descriptions = *form->grdNLMDescription();
        QVERIFY(!descriptions.isVisibleTo(form));
        QCOMPARE(descriptions.data().rowTexts(0), (QStringList{"", "FS1", "FS2"}));

        const int clib = rowOf(*form->grdNLMs(), "CLIB.NLM");
        const int monitor = rowOf(*form->grdNLMs(), "MONITOR.NLM");
        std::unique_ptr<views::NLMDescriptionDialog> first(form->openDescription(clib, 2));
        QVERIFY(first);
        QCOMPARE(first->windowTitle(), QStringLiteral("NLM Information"));
        QCOMPARE(first->lblServerAndNLM()->text(), QStringLiteral("FS1 - CLIB.NLM"));
        QCOMPARE(first->lblDescription()->text(), QStringLiteral("C Library\n(C) Acme 1"));
        // FS2 reported clib.nlm: its own notice, not an empty one.
        std::unique_ptr<views::NLMDescriptionDialog> second(form->openDescription(clib, 3));
        QVERIFY(second);
        QCOMPARE(second->lblDescription()->text(), QStringLiteral("C Library\n(C) Acme 2"));
        // Empty cells and headers open nothing.
        QVERIFY(!form->openDescription(monitor, 3));
        QVERIFY(!form->openDescription(0, 1));

        form->hoverGrid(clib, 1);
        QCOMPARE(form->statusBar()->currentMessage(), QStringLiteral("Double click for Information"));
        form->hoverGrid(monitor, 3);
        QVERIFY(form->statusBar()->currentMessage().isEmpty());
    }

    void everyModuleIsListedPastOneReply()
    {
        QByteArray nlms;
        for (int i = 10; i <= 19; ++i)
            nlms += QStringLiteral(R"(%1{ "file": "M%2.NLM", "version": "1.0.1", "date": "2010-01-01" })")
                        .arg(i == 10 ? "" : ",")
                        .arg(i)
                        .toUtf8();
        Fixture f(R"({ "format": 1, "nlmListBatch": 4,
                       "trees": [ { "name": "T", "containers": [ { "name": "O", "class": "Organization" } ] } ],
                       "servers": [ { "name": "BIG", "tree": "T", "nlms": [)"
                  + nlms + "] } ] }");
        QVERIFY(f.client);
        NlmWindow* form = f.open({"BIG"});
        QVERIFY(form);
        QCOMPARE(column(*form->grdNLMs(), 0).size(), 10);
        QCOMPARE(column(*form->grdNLMs(), 0).last(), QStringLiteral("M19.NLM"));
    }

    void differencesOnlyWithTwoServers()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1", "FS2"});
        QVERIFY(form->chkNLMDifferencesOnly()->isEnabled());
        views::applyNlmReportOptions(form, "both", true);
        QVERIFY(form->chkNLMDifferencesOnly()->isChecked());
        // CLIB.NLM agrees across its two spellings; DS.NLM differs in version.
        QCOMPARE(column(*form->grdNLMs(), 0, true), (QStringList{"CLXNET.NLM", "DS.NLM", "MONITOR.NLM", "TCPIP.NLM"}));
        form->chkNLMDifferencesOnly()->setChecked(false);
        QCOMPARE(column(*form->grdNLMs(), 0, true), column(*form->grdNLMs(), 0));
    }

    void differencesBoxNeedsTwoServers()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1"});
        QCheckBox* box = form->chkNLMDifferencesOnly();
        QVERIFY(!box->isEnabled());
        // The box cannot be ticked by a user; set behind its back every row agrees.
        box->setChecked(true);
        QVERIFY(column(*form->grdNLMs(), 0, true).isEmpty());
        box->setChecked(false);
        // The same server again adds nothing, in one opening or the next.
        QCOMPARE(f.open({"FS1", "FS1"}), form);
        QCOMPARE(form->grdNLMs()->model().cols(), 3);
        QVERIFY(!box->isEnabled());
        QCOMPARE(f.open({"FS2", "FS1"}), form);
        QCOMPARE(form->grdNLMs()->model().cols(), 5);
        QVERIFY(box->isEnabled());
        QCOMPARE(f.host.mdiArea()->subWindowList().size(), 1);
    }

    void findSkipsHiddenRows()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1", "FS2"});
        widgets::FlexGrid& grid = *form->grdNLMs();
        auto found = [&](const QString& text) {
            form->txtFind()->setText(text);
            return grid.model().textMatrix(grid.model().row(), 0);
        };
        QCOMPARE(found("cl"), QStringLiteral("CLIB.NLM"));
        QCOMPARE(grid.model().col(), 1);
        QCOMPARE(grid.model().colSel(), 4);
        form->txtFind()->clear();
        form->chkNLMDifferencesOnly()->setChecked(true);
        QCOMPARE(found("cl"), QStringLiteral("CLXNET.NLM"));
        // No match leaves the selection where it was.
        QCOMPARE(found("clz"), QStringLiteral("CLXNET.NLM"));
        QCOMPARE(found("t"), QStringLiteral("TCPIP.NLM"));
    }

    void headerClicksSortAlternately()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1", "FS2"});
        widgets::FlexGrid& grid = *form->grdNLMs();
        form->clickGrid(Qt::LeftButton, 0, 0, {});
        QCOMPARE(column(grid, 0), (QStringList{"TCPIP.NLM", "MONITOR.NLM", "DS.NLM", "CLXNET.NLM", "CLIB.NLM"}));
        // One flag for all columns: the next click sorts ascending; column 1 by number.
        form->clickGrid(Qt::LeftButton, 1, 1, {});
        // Rows without an FS1 version count as 0 and keep their order.
        QCOMPARE(column(grid, 0), (QStringList{"TCPIP.NLM", "CLXNET.NLM", "MONITOR.NLM", "CLIB.NLM", "DS.NLM"}));
        form->clickGrid(Qt::LeftButton, 0, 1, {});
        QCOMPARE(column(grid, 0).mid(0, 3), (QStringList{"DS.NLM", "CLIB.NLM", "MONITOR.NLM"}));
        // Right clicks do not sort.
        form->clickGrid(Qt::RightButton, 0, 0, {});
        QCOMPARE(column(grid, 0).first(), QStringLiteral("DS.NLM"));
    }

    void mouseSelections()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1", "FS2"});
        widgets::FlexGrid& grid = *form->grdNLMs();
        QAction* remove = f.host.removeServerAction();

        // A server's header selects both its columns down to the last row.
        form->clickGrid(Qt::RightButton, 1, 4, {});
        QCOMPARE(grid.model().selectedRange().top, 2);
        QCOMPARE(grid.model().selectedRange().bottom, grid.model().rows() - 1);
        QCOMPARE(grid.model().col(), 4);
        QCOMPARE(grid.model().colSel(), 3);
        QVERIFY(remove->isEnabled());
        QCOMPARE(f.host.popups, QStringList{"PopMenu_NLM_Comands"});

        form->clickGrid(Qt::LeftButton, 3, 2, {});
        QCOMPARE(grid.model().row(), 3);
        QCOMPARE(grid.model().rowSel(), 3);
        QCOMPARE(grid.model().colSel(), 2);
        QVERIFY(!grid.model().highlight());
        QVERIFY(!remove->isEnabled());

        form->clickGrid(Qt::RightButton, 1, 0, {});
        QCOMPARE(grid.model().row(), 2);
        QCOMPARE(grid.model().colSel(), 4);
        QVERIFY(grid.model().highlight());
        QCOMPARE(f.host.popups.size(), 1);
    }

    void removingServers()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1", "FS2", "FS3"});
        widgets::FlexGrid& grid = *form->grdNLMs();
        QCheckBox* box = form->chkNLMDifferencesOnly();
        box->setChecked(true);
        form->clickGrid(Qt::RightButton, 0, 3, {});
        views::removeSelectedNlmServer(f.host);
        QCOMPARE(grid.data().rowTexts(0), (QStringList{"Name", "FS1", "FS1", "FS3", "FS3"}));
        QCOMPARE(form->grdNLMDescription()->data().rowTexts(0), (QStringList{"", "FS1", "FS3"}));
        // Modules only FS2 had go with it; the filter is applied again.
        QCOMPARE(column(grid, 0), (QStringList{"CLIB.NLM", "DS.NLM", "MONITOR.NLM"}));
        QVERIFY(box->isChecked());
        QCOMPARE(column(grid, 0, true), column(grid, 0));

        // In Date mode only the date column carries the name.
        form->optShowDate()->setChecked(true);
        form->clickGrid(Qt::RightButton, 0, 4, {});
        views::removeSelectedNlmServer(f.host);
        QCOMPARE(grid.data().rowTexts(0), (QStringList{"Name", "", "FS1"}));
        QVERIFY(!box->isChecked());
        QVERIFY(!box->isEnabled());
        QCOMPARE(column(grid, 0, true), (QStringList{"CLIB.NLM", "DS.NLM", "MONITOR.NLM"}));
    }

    void removesTheClickedServer_data()
    {
        QTest::addColumn<bool>("differencesOnly");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<int>("line");  // the header line pressed: server name or Version/Date
        QTest::newRow("all rows, HQ-FS1") << false << "HQ-FS1" << 0;
        QTest::newRow("differences only, HQ-FS1") << true << "HQ-FS1" << 0;
        QTest::newRow("differences only, HQ-FS1 date") << true << "HQ-FS1" << 1;
        QTest::newRow("differences only, WEST-FS1") << true << "WEST-FS1" << 0;
    }

    void removesTheClickedServer()
    {
        // With differences only, the first data row (AGREED.NLM) is hidden
        // when a server's header is pressed.
        QFETCH(bool, differencesOnly);
        QFETCH(QString, clicked);
        QFETCH(int, line);
        const QStringList names{"ENG-FS1", "HQ-FS1", "WEST-FS1"};
        Fixture f(agreedFirstNetwork(names));
        QVERIFY(f.client);
        NlmWindow* form = f.open(names);
        widgets::FlexGrid& grid = *form->grdNLMs();
        QCOMPARE(grid.data().rowTexts(0).mid(1, 4), (QStringList{"ENG-FS1", "ENG-FS1", "HQ-FS1", "HQ-FS1"}));
        form->window()->show();
        form->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form->window()));
        if (differencesOnly)
            form->chkNLMDifferencesOnly()->click();
        QCOMPARE(column(grid, 0, true),
                 differencesOnly ? QStringList{"DIFFERS.NLM"} : (QStringList{"AGREED.NLM", "DIFFERS.NLM"}));

        // The right button on the server's header, then the grid taking the
        // focus back as it does when the pop-up menu closes.
        const int col = static_cast<int>(grid.data().rowTexts(0).indexOf(clicked)) + line;
        QTableView* view = grid.tableView();
        QHeaderView* header = view->horizontalHeader();
        const int x = header->sectionViewportPosition(col) + header->sectionSize(col) / 2;
        QTest::mouseClick(header->viewport(), Qt::RightButton, {}, QPoint(x, header->height() * (1 + 2 * line) / 4));
        QCOMPARE(f.host.popups, QStringList{"PopMenu_NLM_Comands"});
        form->txtFind()->setFocus();
        view->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(views::nlmServerName(grid.data(), grid.model().col()), clicked);

        views::removeSelectedNlmServer(f.host);
        QStringList left = names;
        left.removeOne(clicked);
        QCOMPARE(grid.data().rowTexts(0), (QStringList{"Name", left[0], left[0], left[1], left[1]}));
        QCOMPARE(form->grdNLMDescription()->data().rowTexts(0), (QStringList{"", left[0], left[1]}));
    }

    void keyboardAsksForTheServerColumnMenu()
    {
        const QStringList names{"ENG-FS1", "HQ-FS1", "WEST-FS1"};
        Fixture f(agreedFirstNetwork(names));
        QVERIFY(f.client);
        NlmWindow* form = f.open(names);
        widgets::FlexGrid& grid = *form->grdNLMs();
        QTableView* view = grid.tableView();
        const int hq = static_cast<int>(grid.data().rowTexts(0).indexOf(QStringLiteral("HQ-FS1")));
        grid.model().select(grid.model().fixedRows(), hq, grid.model().fixedRows(), hq);
        // The menu key on a cell does what a right click on the cell does: no menu.
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        QApplication::sendEvent(view, &menuKey);
        QVERIFY(f.host.popups.isEmpty());
        // With Ctrl it asks at the heading of the current column: the server's menu.
        QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(f.host.popups, QStringList{"PopMenu_NLM_Comands"});
        QCOMPARE(views::nlmServerName(grid.data(), grid.model().col()), QStringLiteral("HQ-FS1"));
        QContextMenuEvent ctrlMenuKey(QContextMenuEvent::Keyboard, QPoint(), QPoint(), Qt::ControlModifier);
        QApplication::sendEvent(view, &ctrlMenuKey);
        QCOMPARE(f.host.popups.size(), 2);
    }

    void columnOptions()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1", "FS2"});
        const widgets::FlexGrid& grid = *form->grdNLMs();
        form->optShowVersion()->setChecked(true);
        QCOMPARE(grid.data().rowTexts(0), (QStringList{"Name", "FS1", "", "FS2", ""}));
        QCOMPARE(grid.data().rowTexts(1), (QStringList{"", "Version", "", "Version", ""}));
        QCOMPARE(grid.model().colWidth(2), 0);
        form->optShowDate()->setChecked(true);
        QCOMPARE(grid.data().rowTexts(0), (QStringList{"Name", "", "FS1", "", "FS2"}));
        QCOMPARE(grid.model().colWidth(1), 0);
        QCOMPARE(grid.model().colWidth(2), 1125);
        // A server added now gets Date-mode headers.
        f.open({"FS3"});
        QCOMPARE(grid.data().rowTexts(0).mid(5), (QStringList{"", "FS3"}));
        form->optShowBoth()->setChecked(true);
        QCOMPARE(grid.data().rowTexts(0), (QStringList{"Name", "FS1", "FS1", "FS2", "FS2", "FS3", "FS3"}));
        QCOMPARE(grid.model().colWidth(1), 1125);
    }

    void failedOpenings()
    {
        Fixture f;
        // Nothing selected: nothing opens.
        f.open({});
        QCOMPARE(f.host.openingsStarted, 0);
        QVERIFY(f.host.mdiArea()->subWindowList().isEmpty());

        // An unreachable server is reported and passed over.
        QPointer<NlmWindow> form = f.open({"DOWN", "FS1"});
        QVERIFY(form);
        QCOMPARE(f.test.messages.titles(), QStringList{"Connect to server"});
        QCOMPARE(f.test.messages.texts(), QStringList{"Unable to connect to server. Error 34817"});
        QCOMPARE(f.test.messages.shown.first().icon, platform::Icon::Critical);
        QCOMPARE(form->grdNLMs()->data().rowTexts(0), (QStringList{"Name", "FS1", "FS1"}));

        // A tree the workstation is not authenticated to closes the whole view.
        f.test.messages.clear();
        QVERIFY(!f.open({"OTHER", "FS2"}));
        QCOMPARE(f.test.messages.titles(), QStringList{"Not Authenticated"});
        QCOMPARE(f.test.messages.texts(),
                 QStringList{"You are not authenticated to selected tree.  Please authenticate and try again."});
        QCOMPARE(f.host.openings, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!form);
        // The window was unloaded: its state went to the settings.
        QCOMPARE(f.registry.queryValue(settings::Hive::CurrentUser, settings::rootKeyPath("NLMForm"), "ShowCols"),
                 std::optional<QString>(QStringLiteral("Both")));
        // A new opening starts from nothing.
        QCOMPARE(f.open({"FS2"})->grdNLMs()->model().cols(), 3);
    }

    void savesBothColumnsOfEveryRow()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1", "FS2"});
        QMdiSubWindow* window = f.host.mdiArea()->subWindowList().first();
        QCOMPARE(exporting::exportableTables(window), QList<QWidget*>{form->grdNLMs()});
        QCOMPARE(savedText(window), QStringLiteral("Name,FS1,FS1,FS2,FS2\r\n"
                                                   ",Version,Date,Version,Date\r\n"
                                                   "CLIB.NLM,5.00h,3/14/2008,5.00h,3/14/2008\r\n"
                                                   "CLXNET.NLM,,,1.00,2/2/2005\r\n"
                                                   "DS.NLM,10.01,1/5/2009,10.02,1/5/2009\r\n"
                                                   "MONITOR.NLM,2.05z,11/20/2007,,\r\n"
                                                   "TCPIP.NLM,,,3.01a,6/1/2006\r\n"));
    }

    void copiesTheShownColumnsUnderTheirHeadings()
    {
        Fixture f;
        f.test.context.values.saveFileDelimiter = QStringLiteral(",");
        NlmWindow* form = f.open({"FS1", "FS2"});
        form->optShowVersion()->setChecked(true);
        QMdiSubWindow* window = f.host.mdiArea()->subWindowList().first();
        // Rows 2 and 3 (CLIB, CLXNET): the heading line comes first and names
        // the version columns alone, as the rows below it hold them; the
        // descriptions grid is never what Copy takes.
        widgets::FlexGrid* grid = form->grdNLMs();
        grid->model().setRow(2);
        grid->model().setRowSel(3);
        exporting::CopyDialog dialog(f.test.context, window);
        dialog.optSelected()->setChecked(true);
        QTest::mouseClick(dialog.btnCopy(), Qt::LeftButton);
        QCOMPARE(f.test.clipboard.text(), QStringLiteral("Name,FS1,FS2\r\n"
                                                         "CLIB.NLM,5.00h,5.00h\r\n"
                                                         "CLXNET.NLM,,1.00\r\n"));
    }

    void windowState()
    {
        Fixture f;
        const QString key = settings::rootKeyPath(QStringLiteral("NLMForm"));
        auto stored = [&](const char* name) { return f.registry.queryValue(settings::Hive::CurrentUser, key, name); };
        auto window = [&] { return f.host.mdiArea()->subWindowList().first(); };
        auto close = [&] {
            window()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        // No key yet: the designed size, both columns and the name column fitted to the names.
        NlmWindow* form = f.open({"FS1", "FS2"});
        QVERIFY(form->optShowBoth()->isChecked());
        QVERIFY(form->grdNLMs()->model().colWidth(0) > 0);
        QCOMPARE(window()->width(), texts::twipsToPixels(8040, window()->logicalDpiX()));
        QCOMPARE(window()->height(), texts::twipsToPixels(7000, window()->logicalDpiY()));

        form->optShowDate()->setChecked(true);
        form->grdNLMs()->model().setColWidth(0, 2222);
        close();
        QCOMPARE(stored("ShowCols"), std::optional<QString>(QStringLiteral("Date")));
        QCOMPARE(stored("ColWidth0"), std::optional<QString>(QStringLiteral("2222")));
        QVERIFY(stored("Width").has_value());
        form = f.open({"FS1", "FS2"});
        QVERIFY(form->optShowDate()->isChecked());
        QCOMPARE(form->grdNLMs()->model().colWidth(0), 2222);
        // The server columns, whose widths are not stored, are fitted all the
        // same: a date marked in bold, with its icon, is not cut short.
        QFont bold = form->grdNLMs()->font();
        bold.setBold(true);
        const int dateWidth = QFontMetrics(bold).horizontalAdvance(form->grdNLMs()->model().textMatrix(2, 2).trimmed());
        QVERIFY(form->grdNLMs()->model().colWidth(2) != views::kNlmShownColWidth);  // fitted, not designed
        QVERIFY(texts::twipsToPixels(form->grdNLMs()->model().colWidth(2), settings::columnDotsPerInch(form->grdNLMs()))
                > dateWidth + 16);
        close();

        // Hand-edited values fall back to the designed ones.
        f.registry.setValue(settings::Hive::CurrentUser, key, "ShowCols", QStringLiteral("date"));
        f.registry.setValue(settings::Hive::CurrentUser, key, "ColWidth0", QStringLiteral("wide"));
        form = f.open({"FS1", "FS2"});
        QVERIFY(form->optShowBoth()->isChecked());
        QCOMPARE(form->grdNLMs()->model().colWidth(0), 1500);
    }

    void activatingEnablesSaveOnly()
    {
        Fixture f;
        NlmWindow* form = f.open({"FS1"});
        f.host.saveEnabled = false;
        f.host.copyEnabled = false;
        form->activate();
        QVERIFY(f.host.saveEnabled);
        QVERIFY(!f.host.copyEnabled);
    }
};

VESKARO_TEST_MAIN(TestNlms)
#include "test_nlms.moc"
