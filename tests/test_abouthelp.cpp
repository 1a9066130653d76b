// The Help menu: the user guide in its own window, the maker's pages in the
// default browser, and the About box with its way to the system information.

#include "app/AboutDialog.h"
#include "app/HelpWindow.h"
#include "app/MainWindow.h"
#include "support/MemoryRegistry.h"
#include "support/StubClient.h"
#include "support/TestContext.h"
#include "support/TestMain.h"
#include "widgets/OwnedWindow.h"

#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QAction>
#include <QTest>
#include <QTextBrowser>

using settings::Hive;

namespace {

const QString kMsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");

struct Fixture {
    Fixture() : test(client, registry) {}
    testing::StubClient client;
    testing::MemoryRegistry registry;
    testing::TestContext test;
};

QStringList guidePages()
{
    QStringList pages;
    QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.html")});
    while (it.hasNext())
        pages.append(it.next());
    pages.sort();
    return pages;
}

}  // namespace

class TestAboutHelp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void systemInfoTool_data()
    {
        QTest::addColumn<bool>("recordedExists");
        QTest::addColumn<QString>("onPath");    // what the platform search finds
        QTest::addColumn<QString>("expected");  // "recorded", "platform" or "" (none)
        QTest::newRow("recorded program") << true << "/usr/bin/kinfocenter"
                                          << "recorded";
        QTest::newRow("nothing anywhere") << false << ""
                                          << "";
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
        QTest::newRow("recorded file missing, desktop tool") << false << "/usr/bin/kinfocenter"
                                                             << "platform";
#endif
    }
    void systemInfoTool()
    {
        QFETCH(bool, recordedExists);
        QFETCH(QString, onPath);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString recorded = dir.filePath(QStringLiteral("MSINFO32.EXE"));
        if (recordedExists) {
            QFile file(recorded);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        testing::MemoryRegistry registry;
        registry.createKey(Hive::LocalMachine, kMsInfoKey);
        registry.setValue(Hive::LocalMachine, kMsInfoKey, QStringLiteral("PATH"), recorded);
        const auto tool = app::findSystemInfoTool(
            registry, [&](const QString& name) { return name == QLatin1String("kinfocenter") ? onPath : QString(); });
        if (expected.isEmpty())
            QVERIFY(!tool);
        else
            QCOMPARE(tool->program, expected == QLatin1String("recorded") ? recorded : onPath);
    }

    void aboutBoxWithoutSystemInfo()
    {
        Fixture f;
        QTemporaryDir emptyPath;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", emptyPath.path().toLocal8Bit());
        app::AboutDialog about(f.test.context);
        QCOMPARE(about.windowTitle(), QStringLiteral("About Veskaro"));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Veskaro"));
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 3.0"));
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
        qputenv("PATH", path);
        QCOMPARE(f.test.messages.texts(), QStringList{"System Information Is Unavailable At This Time"});
        QVERIFY(f.test.launcher.started.isEmpty());
    }

    void helpMenuOpensTheGuideAndTheMakersPages()
    {
        Fixture f;
        app::MainWindow form(f.test.context);
        form.findChild<QAction*>(QStringLiteral("Menu_Help_File"))->trigger();
        auto* help = form.findChild<app::HelpWindow*>();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->browser()->source(), app::HelpWindow::contentsPage());
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("Veskaro User Guide"));

        // A page followed, then Help Contents again: the same window, back on the contents.
        Q_EMIT help->browser()->anchorClicked(QUrl(QStringLiteral("serverviews.html")));
        QCOMPARE(help->browser()->source(), QUrl(QStringLiteral("qrc:/help/serverviews.html")));
        form.findChild<QAction*>(QStringLiteral("Menu_Help_File"))->trigger();
        QCOMPARE(form.findChildren<app::HelpWindow*>().size(), 1);
        QCOMPARE(help->browser()->source(), app::HelpWindow::contentsPage());
        // Links to other sites go to the default browser.
        Q_EMIT help->browser()->anchorClicked(QUrl(QStringLiteral("https://example.org/page")));
        QCOMPARE(help->browser()->source(), app::HelpWindow::contentsPage());

        form.findChild<QAction*>(QStringLiteral("Menu_FAQs"))->trigger();
        form.findChild<QAction*>(QStringLiteral("Menu_Korvanel_Products"))->trigger();
        QCOMPARE(f.test.launcher.urls.size(), 3);
        QCOMPARE(f.test.launcher.urls.at(0), QStringLiteral("https://example.org/page"));
        for (const QString& url : f.test.launcher.urls.mid(1))
            QVERIFY2(url.startsWith(QLatin1String("https://www.korvanel.com/")), qPrintable(url));
        QVERIFY(f.test.launcher.urls.at(1) != f.test.launcher.urls.at(2));
        QVERIFY(f.test.messages.shown.isEmpty());
    }

    void ownedWindowsAreCentredOverTheirOwner_data()
    {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("expected");
        const QRect screen(0, 0, 1280, 1024);
        QTest::newRow("centred") << QRect(100, 100, 800, 600) << QSize(400, 300) << screen << QRect(300, 250, 400, 300);
        QTest::newRow("owner at the right edge")
            << QRect(1000, 100, 800, 600) << QSize(640, 560) << screen << QRect(640, 120, 640, 560);
        QTest::newRow("owner above the screen")
            << QRect(100, -500, 800, 600) << QSize(400, 300) << screen << QRect(300, 0, 400, 300);
        QTest::newRow("larger than the screen")
            << QRect(0, 0, 800, 600) << QSize(2000, 1100) << screen << QRect(0, 0, 2000, 1100);
        QTest::newRow("second screen to the left") << QRect(-1500, 200, 800, 600) << QSize(400, 300)
                                                   << QRect(-1920, 0, 1920, 1080) << QRect(-1300, 350, 400, 300);
        QTest::newRow("no screen known") << QRect(-2000, 0, 800, 600) << QSize(400, 300) << QRect()
                                         << QRect(-1800, 150, 400, 300);
    }

    void ownedWindowsAreCentredOverTheirOwner()
    {
        QFETCH(QRect, owner);
        QFETCH(QSize, size);
        QFETCH(QRect, screen);
        QFETCH(QRect, expected);
        QCOMPARE(widgets::centredOver(owner, size, screen), expected);
    }

    void helpOpensOverTheMainWindowAndStaysWhereItWasPut()
    {
        Fixture f;
        app::MainWindow form(f.test.context);
        form.setGeometry(60, 40, 700, 500);
        form.show();
        form.findChild<QAction*>(QStringLiteral("Menu_Help_File"))->trigger();
        auto* help = form.findChild<app::HelpWindow*>();
        QVERIFY(help);
        QVERIFY(help->isWindow());
        QCOMPARE(help->parentWidget(), &form);  // owned: it stays above the main window
        // Centred on the main window, as far as the screen allows.
        const QRect expected = widgets::centredOver(form.frameGeometry(), help->frameGeometry().size(),
                                                    form.screen()->availableGeometry());
        QCOMPARE(help->frameGeometry().topLeft(), expected.topLeft());

        // Moved by the user, it opens where it was put the next time.
        help->move(5, 5);
        form.findChild<QAction*>(QStringLiteral("Menu_Help_File"))->trigger();
        QCOMPARE(help->pos(), QPoint(5, 5));
    }

    void browserThatCannotStartIsReported()
    {
        Fixture f;
        f.test.launcher.succeed = false;
        app::MainWindow form(f.test.context);
        form.findChild<QAction*>(QStringLiteral("Menu_FAQs"))->trigger();
        QCOMPARE(f.test.messages.shown.size(), 1);
        QCOMPARE(f.test.messages.shown.at(0).title, QStringLiteral("Web Page Not Opened"));
        QVERIFY(f.test.messages.shown.at(0).text.contains(f.test.launcher.urls.at(0)));
        // A link of the guide to another site: the same message names that address.
        form.findChild<QAction*>(QStringLiteral("Menu_Help_File"))->trigger();
        auto* help = form.findChild<app::HelpWindow*>();
        QVERIFY(help);
        Q_EMIT help->browser()->anchorClicked(QUrl(QStringLiteral("https://example.org/page")));
        QCOMPARE(f.test.messages.shown.size(), 2);
        QCOMPARE(f.test.messages.shown.at(1).title, QStringLiteral("Web Page Not Opened"));
        QVERIFY(f.test.messages.shown.at(1).text.contains(QStringLiteral("https://example.org/page")));
    }

    void everyGuidePageIsReachedAndItsLinksResolve()
    {
        Fixture f;
        app::HelpWindow help(f.test.launcher, f.test.messages);  // registers the guide
        const QStringList pages = guidePages();
        QVERIFY(pages.size() >= 7);
        const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+)\""));
        QSet<QString> linkedFromContents;
        for (const QString& page : pages) {
            QFile file(page);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            QVERIFY2(html.contains(QLatin1String("<title>")), qPrintable(page));
            for (auto match = link.globalMatch(html); match.hasNext();) {
                const QString target = QStringLiteral(":/help/") + match.next().captured(1);
                QVERIFY2(QFile::exists(target), qPrintable(page + QLatin1String(" -> ") + target));
                if (page.endsWith(QLatin1String("index.html")))
                    linkedFromContents.insert(target);
            }
        }
        for (const QString& page : pages) {
            if (!page.endsWith(QLatin1String("index.html")))
                QVERIFY2(linkedFromContents.contains(page), qPrintable(page + QLatin1String(" not in the contents")));
        }
    }
};

VESKARO_TEST_MAIN(TestAboutHelp)
#include "test_abouthelp.moc"
