// The settings routines and the window-state convention, over a settings file
// in a temporary folder.

#include "settings/ColumnScale.h"
#include "settings/FileRegistryStore.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "settings/WindowGeometry.h"
#include "settings/WindowState.h"
#include "support/TestMain.h"

#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace settings;

namespace {

const QString kVolumeForm = QStringLiteral("Software\\Korvanel\\Veskaro\\VolumeUsageForm");

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FileRegistryStore> m_store;
    int m_run = 0;

    RegistryStore& store() { return *m_store; }
    std::optional<QString> stored(const QString& path, const QString& name)
    {
        return m_store->queryValue(Hive::CurrentUser, path, name);
    }
    void makeRoot() { resetStartingServerContext(store()); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_store = std::make_unique<FileRegistryStore>(m_dir.filePath(QStringLiteral("run%1.reg").arg(++m_run)));
    }

    void getSetting_data()
    {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<QString>("storedName");
        QTest::addColumn<QString>("storedText");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("no key: Top") << false << ""
                                     << ""
                                     << "Top"
                                     << "1440";
        QTest::newRow("no key: anything") << false << ""
                                          << ""
                                          << "ShowCols"
                                          << "1440";
        QTest::newRow("Height") << true << ""
                                << ""
                                << "Height"
                                << "7000";
        QTest::newRow("Width") << true << ""
                               << ""
                               << "Width"
                               << "8040";
        QTest::newRow("Refresh Interval") << true << ""
                                          << ""
                                          << "Refresh Interval"
                                          << "10";
        QTest::newRow("ColWidth-Volume") << true << ""
                                         << ""
                                         << "ColWidth-Volume"
                                         << "1440";
        QTest::newRow("ColWidth0") << true << ""
                                   << ""
                                   << "ColWidth0"
                                   << "0";
        QTest::newRow("lower-case height") << true << ""
                                           << ""
                                           << "height"
                                           << "0";
        QTest::newRow("other name") << true << ""
                                    << ""
                                    << "ShowCols"
                                    << "0";
        QTest::newRow("name in other case") << true << "height"
                                            << "4815"
                                            << "HEIGHT"
                                            << "4815";
        QTest::newRow("9 characters") << true << "Height"
                                      << "123456789"
                                      << "Height"
                                      << "123456789";
        QTest::newRow("10 characters") << true << "Height"
                                       << "1234567890"
                                       << "Height"
                                       << "7000";
        QTest::newRow("10 characters, ColWidth-") << true << "ColWidth-Server"
                                                  << "1234567890"
                                                  << "ColWidth-Server"
                                                  << "1440";
        QTest::newRow("empty text") << true << "Top"
                                    << ""
                                    << "Top"
                                    << "";
    }

    void getSetting()
    {
        QFETCH(bool, keyExists);
        QFETCH(QString, storedName);
        QFETCH(QString, storedText);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        if (keyExists) {
            QVERIFY(store().createKey(Hive::CurrentUser, kVolumeForm));
            if (!storedName.isEmpty())
                QVERIFY(store().setValue(Hive::CurrentUser, kVolumeForm, storedName, storedText));
        }
        QCOMPARE(readSetting(store(), kVolumeForm, name), expected);
    }

    void booleans_data()
    {
        QTest::addColumn<QString>("text");  // null: the value is missing
        QTest::addColumn<bool>("expected");
        QTest::newRow("True") << u"True"_qs << true;
        QTest::newRow("other case") << u"TRUE"_qs << false;
        QTest::newRow("False") << u"False"_qs << false;
        QTest::newRow("empty") << u""_qs << false;
        QTest::newRow("missing") << QString() << true;
        QTest::newRow("too long for its room") << u"TrueTrueTrue"_qs << true;  // read as missing
    }

    void booleans()
    {
        QFETCH(QString, text);
        QFETCH(bool, expected);
        makeRoot();
        const QString name = QStringLiteral("ServerSearchSubContainers");
        if (!text.isNull())
            QVERIFY(store().setValue(Hive::CurrentUser, kRootKey, name, text));
        QCOMPARE(booleanSetting(readValue(store(), kRootKey, name, 9), true), expected);
        QCOMPARE(booleanSetting(booleanText(expected), !expected), expected);
    }

    void saveSettingCreatesOneLevelBelowTheRoot()
    {
        // Without the root nothing can be created and the value is dropped.
        saveSetting(store(), kVolumeForm, QStringLiteral("Top"), QStringLiteral("15"));
        QVERIFY(!store().keyExists(Hive::CurrentUser, kVolumeForm));

        makeRoot();
        saveSetting(store(), kVolumeForm, QStringLiteral("Top"), QStringLiteral("15"));
        QCOMPARE(stored(kVolumeForm, QStringLiteral("Top")), std::optional<QString>(u"15"_qs));

        // A deeper path whose parent is missing: the last component appears
        // below the root, and the value itself is lost.
        const QString deep = rootKeyPath(QStringLiteral("LoginForm\\Trees\\CORP_TREE"));
        saveSetting(store(), deep, QStringLiteral("User"), QStringLiteral("admin"));
        QVERIFY(store().keyExists(Hive::CurrentUser, rootKeyPath(QStringLiteral("CORP_TREE"))));
        QCOMPARE(stored(rootKeyPath(QStringLiteral("CORP_TREE")), QStringLiteral("User")), std::nullopt);

        // Once the parents exist the same call still creates only below the root...
        createLoginTreesKey(store());
        saveSetting(store(), deep, QStringLiteral("User"), QStringLiteral("admin"));
        QCOMPARE(stored(deep, QStringLiteral("User")), std::nullopt);
        // ...and a tree key made beforehand takes the value.
        QVERIFY(store().createKey(Hive::CurrentUser, deep));
        saveSetting(store(), deep, QStringLiteral("User"), QStringLiteral("admin"));
        QCOMPARE(stored(deep, QStringLiteral("User")), std::optional<QString>(u"admin"_qs));
    }

    void resetKeepsAllButTheStartingContainer()
    {
        makeRoot();
        QVERIFY(store().keyExists(Hive::CurrentUser, rootKeyPath(QStringLiteral("Hidden"))));
        store().setValue(Hive::CurrentUser, kRootKey, QStringLiteral("StartingServerContext"), u"T\\O"_qs);
        store().setValue(Hive::CurrentUser, rootKeyPath(QStringLiteral("Hidden")), u"T"_qs, u"FS7"_qs);
        resetStartingServerContext(store());
        QCOMPARE(stored(kRootKey, QStringLiteral("StartingServerContext")), std::optional<QString>(QString()));
        QCOMPARE(stored(rootKeyPath(QStringLiteral("Hidden")), u"T"_qs), std::optional<QString>(u"FS7"_qs));
    }

    void twipsAndText_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("inch at 120") << 1440.0 << 120.0 << 120;
        QTest::newRow("height at 96") << 7000.0 << 96.0 << 467;
        QTest::newRow("negative") << -1500.0 << 96.0 << -100;
        QTest::newRow("no dpi known") << 1440.0 << 0.0 << 96;
    }

    void twipsAndText()
    {
        QFETCH(double, twips);
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QCOMPARE(texts::twipsToPixels(twips, dpi), pixels);
        QCOMPARE(texts::twipsToPixels(texts::pixelsToTwips(pixels, dpi), dpi), pixels);
        QCOMPARE(texts::twipsToText(1439.6), u"1440"_qs);
    }

    void numberText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("number");
        QTest::newRow("spaces") << " 1440 " << true << 1440.0;
        QTest::newRow("fraction") << "1440.5" << true << 1440.5;
        QTest::newRow("negative") << "-15" << true << -15.0;
        QTest::newRow("word") << "wide" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("infinite") << "1e999" << false << 0.0;
        QTest::newRow("not a number") << "nan" << false << 0.0;
    }

    void numberText()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(double, number);
        const auto parsed = texts::textToNumber(text);
        QCOMPARE(parsed.has_value(), isNumber);
        if (isNumber)
            QCOMPARE(*parsed, number);
    }

    void handEditedNumbersFallBack()
    {
        makeRoot();
        QVERIFY(store().createKey(Hive::CurrentUser, kVolumeForm));
        for (const auto& [name, text] :
             {std::pair{u"Height"_qs, u"tall"_qs}, {u"Top"_qs, u"300"_qs}, {u"ColWidth-Volume"_qs, u"x"_qs}})
            store().setValue(Hive::CurrentUser, kVolumeForm, name, text);
        QCOMPARE(storedWindowGeometry(store(), kVolumeForm),
                 std::optional<WindowGeometry>(WindowGeometry{300, 0, 7000, 8040}));
        QCOMPARE(readTwipsSetting(store(), kVolumeForm, QStringLiteral("ColWidth-Volume")), 1440.0);
        QCOMPARE(storedWindowGeometry(store(), rootKeyPath(QStringLiteral("AbendForm"))), std::nullopt);
    }

    void mdiWindowStateRoundTrip()
    {
        makeRoot();
        QMdiArea area;
        area.resize(1200, 900);
        auto* view = new QWidget;
        QMdiSubWindow* sub = area.addSubWindow(view);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QCOMPARE(WindowState::frameOf(view), sub);

        const WindowGeometry defaults{0, 0, 7000, 8040};
        WindowState state(store(), kVolumeForm, defaults);
        const double dpiX = sub->logicalDpiX();
        const double dpiY = sub->logicalDpiY();
        auto twips = [](int pixels, double dpi) {
            return std::optional<QString>(texts::twipsToText(texts::pixelsToTwips(pixels, dpi)));
        };

        // No key yet: the window's own defaults.
        state.restore(view);
        QCOMPARE(sub->geometry(), QRect(0, 0, texts::twipsToPixels(8040, dpiX), texts::twipsToPixels(7000, dpiY)));
        // Left as it was, it writes back what it was given, not 7000 twips
        // turned into pixels and back.
        state.save(view);
        QCOMPARE(stored(kVolumeForm, QStringLiteral("Height")), std::optional<QString>(QStringLiteral("7000")));
        QCOMPARE(stored(kVolumeForm, QStringLiteral("Width")), std::optional<QString>(QStringLiteral("8040")));
        QCOMPARE(stored(kVolumeForm, QStringLiteral("Top")), std::optional<QString>(QStringLiteral("0")));

        sub->setGeometry(30, 45, 500, 400);
        state.save(view);
        QCOMPARE(stored(kVolumeForm, QStringLiteral("Left")), twips(30, dpiX));
        QCOMPARE(stored(kVolumeForm, QStringLiteral("Height")), twips(400, dpiY));

        sub->setGeometry(0, 0, 200, 200);
        state.restore(view);
        QCOMPARE(sub->geometry(), QRect(30, 45, 500, 400));

        // Maximised: the stored values stay those of before.
        sub->showMaximized();
        state.save(view);
        QCOMPARE(stored(kVolumeForm, QStringLiteral("Width")), twips(500, dpiX));
        sub->showNormal();

        // A program that saves no window state writes nothing.
        sub->setGeometry(1, 1, 300, 300);
        WindowState(store(), kVolumeForm, defaults, false).save(view);
        QCOMPARE(stored(kVolumeForm, QStringLiteral("Width")), twips(500, dpiX));

        // A place beyond the document area (stored under a larger main window,
        // or hand-edited) comes back inside it with its size.
        saveSetting(store(), kVolumeForm, QStringLiteral("Left"), QStringLiteral("90000"));
        saveSetting(store(), kVolumeForm, QStringLiteral("Top"), QStringLiteral("-3000"));
        WindowState far(store(), kVolumeForm, defaults);
        far.restore(view);
        const QSize documents = area.viewport()->size();
        QCOMPARE(sub->geometry(), QRect(documents.width() - 500, 0, 500, 400));
    }

    void arrangedWindowsKeepTheirOwnPlace()
    {
        makeRoot();
        QMdiArea area;
        area.resize(1200, 900);
        auto* view = new QWidget;
        QMdiSubWindow* sub = area.addSubWindow(view);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        WindowState state(store(), kVolumeForm, WindowGeometry{0, 0, 7000, 8040});
        auto width = [&] {
            return texts::textToNumber(stored(kVolumeForm, QStringLiteral("Width")).value_or(QString()));
        };
        const double dpiX = sub->logicalDpiX();

        // Tiled, then tiled again, then closed: the place of before the first tiling.
        sub->setGeometry(30, 40, 500, 400);
        const QRect own = sub->geometry();
        sub->setGeometry(0, 0, 1200, 300);
        WindowState::noteArranged(sub, own);
        const QRect tiled = sub->geometry();
        sub->setGeometry(0, 0, 600, 900);
        WindowState::noteArranged(sub, tiled);
        state.save(view);
        QCOMPARE(width(), std::optional<double>(texts::pixelsToTwips(500, dpiX)));
        QCOMPARE(stored(kVolumeForm, QStringLiteral("Left")),
                 std::optional<QString>(texts::twipsToText(texts::pixelsToTwips(30, dpiX))));

        // Sized by the user after the tiling: the size the user gave it.
        sub->setGeometry(10, 10, 640, 480);
        state.save(view);
        QCOMPARE(width(), std::optional<double>(texts::pixelsToTwips(640, dpiX)));
    }

    void keepInsideArea_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("inside") << QRect(10, 40, 300, 200) << QRect(10, 40, 300, 200);
        QTest::newRow("beyond the right") << QRect(5000, 40, 300, 200) << QRect(700, 40, 300, 200);
        QTest::newRow("above the top") << QRect(10, 0, 300, 200) << QRect(10, 30, 300, 200);
        QTest::newRow("left and below") << QRect(-400, 900, 300, 200) << QRect(0, 530, 300, 200);
        QTest::newRow("partly off the right") << QRect(900, 40, 300, 200) << QRect(700, 40, 300, 200);
        QTest::newRow("wider than the area") << QRect(-50, 40, 1600, 200) << QRect(0, 40, 1000, 200);
        QTest::newRow("larger both ways") << QRect(200, 200, 2000, 2000) << QRect(0, 30, 1000, 700);
    }

    void keepInsideArea()
    {
        QFETCH(QRect, window);
        QFETCH(QRect, expected);
        QCOMPARE(keepInside(window, QRect(0, 30, 1000, 700)), expected);
    }

    void listAndGridColumns()
    {
        makeRoot();
        QTreeWidget list;
        list.setHeaderLabels({QStringLiteral("Volume"), QStringLiteral("% Free")});
        QTableWidget grid(2, 2);
        grid.horizontalHeader()->resizeSection(0, 77);
        grid.horizontalHeader()->resizeSection(1, 88);
        WindowState state(store(), kVolumeForm);
        const int inch = texts::twipsToPixels(1440, columnDotsPerInch(list.header()));

        // Neither the key nor the values exist: one inch per list column,
        // grid columns keep their designed widths.
        state.restoreListColumns(list.header());
        QCOMPARE(list.header()->sectionSize(1), inch);
        QVERIFY(store().createKey(Hive::CurrentUser, kVolumeForm));
        state.restoreGridColumns(grid.horizontalHeader());
        QCOMPARE(grid.horizontalHeader()->sectionSize(0), 77);

        list.header()->resizeSection(1, 150);
        state.saveListColumns(list.header());
        state.saveGridColumns(grid.horizontalHeader());

        QTreeWidget again;
        again.setHeaderLabels({QStringLiteral("Volume"), QStringLiteral("% Free")});
        state.restoreListColumns(again.header());
        QCOMPARE(again.header()->sectionSize(1), 150);
        QTableWidget gridAgain(2, 2);
        state.restoreGridColumns(gridAgain.horizontalHeader());
        QCOMPARE(gridAgain.horizontalHeader()->sectionSize(1), 88);

        // A column left as it was keeps its stored twips exactly.
        QVERIFY(store().setValue(Hive::CurrentUser, kVolumeForm, QStringLiteral("ColWidth-Volume"),
                                 QStringLiteral("1125")));
        state.restoreListColumns(again.header());
        state.saveListColumns(again.header());
        QCOMPARE(stored(kVolumeForm, QStringLiteral("ColWidth-Volume")),
                 std::optional<QString>(QStringLiteral("1125")));
    }
};

VESKARO_TEST_MAIN(TestSettings)
#include "test_settings.moc"
