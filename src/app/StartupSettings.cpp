#include "app/StartupSettings.h"

#include "netware/NovellCalls.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace app {

namespace {

using settings::Hive;

// A value is read into room for so many characters; a longer text does not
// fit and counts as missing.
std::optional<QString> readValue(const settings::RegistryStore& store, const QString& path, const QString& name,
                                 int room)
{
    std::optional<QString> value = store.queryValue(Hive::CurrentUser, path, name);
    if (value && value->size() > room)
        return std::nullopt;
    return value;
}

// The MainForm values go through the same defaults as every window's state:
// a missing (or unreadable) Top or Left is 0, Height 7000, Width 8040.
int readTwips(const settings::RegistryStore& store, const QString& name, int fallback)
{
    const std::optional<QString> text = readValue(store, kMainFormKey, name, 9);
    if (!text)
        return fallback;
    bool ok = false;
    const double value = QLocale().toDouble(text->trimmed(), &ok);
    if (!ok) {
        const double plain = text->trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(plain))
            return fallback;
        return static_cast<int>(std::lround(plain));
    }
    if (!std::isfinite(value) || std::abs(value) > 1e8)
        return fallback;
    return static_cast<int>(std::lround(value));
}

double logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

}  // namespace

void readGlobalSettings(AppContext& context)
{
    settings::RegistryStore& store = context.registry();
    ProgramValues& values = context.values;

    if (const std::optional<QString> tree = readValue(store, kRootKey, QStringLiteral("Tree"), 24)) {
        values.gTreeName = *tree;
    } else {
        nw::subInitClient(context);
        store.createKey(Hive::CurrentUser, kRootKey);
        store.setValue(Hive::CurrentUser, kRootKey, QStringLiteral("Tree"), values.gTreeName);
    }

    const std::optional<QString> sub = readValue(store, kRootKey, QStringLiteral("ServerSearchSubContainers"), 9);
    values.gSearchSubContainers = !sub || *sub == QLatin1String("True");

    values.gSaveFileDelimiter =
        readValue(store, kRootKey, QStringLiteral("SaveFileDelimiter"), 4).value_or(QStringLiteral(","));
    values.gRemoteControlPath = readValue(store, kRootKey, QStringLiteral("RemoteControl"), 499).value_or(QString());
}

std::optional<TwipsGeometry> readMainFormGeometry(const settings::RegistryStore& store)
{
    if (!store.keyExists(Hive::CurrentUser, kMainFormKey))
        return std::nullopt;
    TwipsGeometry geometry;
    geometry.top = readTwips(store, QStringLiteral("Top"), 0);
    geometry.left = readTwips(store, QStringLiteral("Left"), 0);
    geometry.height = readTwips(store, QStringLiteral("Height"), 7000);
    geometry.width = readTwips(store, QStringLiteral("Width"), 8040);
    return geometry;
}

void writeMainFormGeometry(settings::RegistryStore& store, const TwipsGeometry& geometry)
{
    if (!store.keyExists(Hive::CurrentUser, kMainFormKey))
        store.createKey(Hive::CurrentUser, kMainFormKey);
    store.setValue(Hive::CurrentUser, kMainFormKey, QStringLiteral("Top"), QString::number(geometry.top));
    store.setValue(Hive::CurrentUser, kMainFormKey, QStringLiteral("Left"), QString::number(geometry.left));
    store.setValue(Hive::CurrentUser, kMainFormKey, QStringLiteral("Height"), QString::number(geometry.height));
    store.setValue(Hive::CurrentUser, kMainFormKey, QStringLiteral("Width"), QString::number(geometry.width));
}

void appendHiddenServer(AppContext& context, const QString& server)
{
    settings::RegistryStore& store = context.registry();
    const QString& tree = context.values.gTreeName;
    if (!store.keyExists(Hive::CurrentUser, kHiddenKey))
        store.createKey(Hive::CurrentUser, kHiddenKey);
    // The list is read whole, whatever its length: reading it into a fixed
    // room would take a long list for a missing one and replace it by this
    // single name, bringing every other hidden server back.
    const std::optional<QString> old = store.queryValue(Hive::CurrentUser, kHiddenKey, tree);
    const QString updated =
        (!old || old->isEmpty()) ? server : *old + QLatin1Char(',') + server;
    store.setValue(Hive::CurrentUser, kHiddenKey, tree, updated);
}

int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(twips * logicalDpi() / 1440.0));
}

int pixelsToTwips(int pixels)
{
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpi()));
}

void showClientMissing(platform::MessageService& messages)
{
    messages.show({QCoreApplication::translate("app", "Novell Client Error"),
                   QCoreApplication::translate(
                       "app", "You must have a Novell Client installed to run Veskaro.  Veskaro will now exit."),
                   platform::Buttons::Ok, platform::Icon::Critical, platform::Answer::Ok});
}

}  // namespace app
