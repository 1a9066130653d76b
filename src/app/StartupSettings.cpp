#include "app/StartupSettings.h"

#include "platform/Services.h"
#include "netware/NovellCalls.h"
#include "netware/ServerDiscovery.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "settings/WindowGeometry.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace app {

namespace {

using settings::Hive;
using settings::readValue;

double logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

}  // namespace

void readGlobalSettings(core::AppContext& context)
{
    settings::RegistryStore& store = context.registry();
    core::ProgramValues& values = context.values;

    // An empty stored name is no name: it is determined again, and a tree the
    // client cannot tell is not written, so that the next start asks again.
    const std::optional<QString> tree = readValue(store, kRootKey, settings::kTreeValue, settings::kTreeRoom);
    if (tree && !tree->isEmpty()) {
        values.treeName = *tree;
    } else {
        nw::initClient(context);
        if (!values.treeName.isEmpty()) {
            store.createKey(Hive::CurrentUser, kRootKey);
            store.setValue(Hive::CurrentUser, kRootKey, settings::kTreeValue, values.treeName);
        }
    }

    values.searchSubContainers = settings::booleanSetting(
        readValue(store, kRootKey, settings::kSearchSubContainersValue, settings::kSearchSubContainersRoom),
        settings::kDefaultSearchSubContainers);

    // Used as stored when it fits its room, also when longer than one character.
    values.saveFileDelimiter =
        readValue(store, kRootKey, settings::kSaveFileDelimiterValue, settings::kSaveFileDelimiterRoom)
            .value_or(settings::kDefaultSaveFileDelimiter);
    values.remoteControlPath =
        readValue(store, kRootKey, settings::kRemoteControlValue, settings::kRemoteControlRoom).value_or(QString());
    values.parallelServers = settings::parallelServersSetting(
        readValue(store, kRootKey, settings::kParallelServersValue, settings::kParallelServersRoom));
}

std::optional<TwipsGeometry> readMainWindowGeometry(const settings::RegistryStore& store)
{
    const std::optional<settings::WindowGeometry> stored = settings::storedWindowGeometry(store, kMainWindowKey);
    if (!stored)
        return std::nullopt;
    const auto whole = [](double twips) { return static_cast<int>(std::lround(twips)); };
    return TwipsGeometry{whole(stored->top), whole(stored->left), whole(stored->height), whole(stored->width)};
}

void writeMainWindowGeometry(settings::RegistryStore& store, const TwipsGeometry& geometry)
{
    settings::saveWindowGeometry(store, kMainWindowKey,
                                 settings::WindowGeometry{double(geometry.top), double(geometry.left),
                                                          double(geometry.height), double(geometry.width)});
}

void appendHiddenServer(core::AppContext& context, const QString& server)
{
    settings::RegistryStore& store = context.registry();
    const QString& tree = context.values.treeName;
    if (!store.keyExists(Hive::CurrentUser, kHiddenKey))
        store.createKey(Hive::CurrentUser, kHiddenKey);
    // The list is read whole, whatever its length: reading it into a fixed
    // room would take a long list for a missing one and replace it by this
    // single name, bringing every other hidden server back.
    const std::optional<QString> old = store.queryValue(Hive::CurrentUser, kHiddenKey, tree);
    const QString updated = (!old || old->isEmpty()) ? server : *old + QLatin1Char(',') + server;
    store.setValue(Hive::CurrentUser, kHiddenKey, tree, updated);
}

std::optional<QString> storedHiddenServers(const settings::RegistryStore& store, const QString& tree)
{
    return store.queryValue(Hive::CurrentUser, kHiddenKey, tree);
}

void restoreHiddenServers(settings::RegistryStore& store, const QString& tree, const std::optional<QString>& value)
{
    if (!value) {
        store.deleteValue(Hive::CurrentUser, kHiddenKey, tree);
        return;
    }
    if (!store.keyExists(Hive::CurrentUser, kHiddenKey))
        store.createKey(Hive::CurrentUser, kHiddenKey);
    store.setValue(Hive::CurrentUser, kHiddenKey, tree, *value);
}

int twipsToPixels(int twips)
{
    return texts::twipsToPixels(twips, logicalDpi());
}

int pixelsToTwips(int pixels)
{
    return static_cast<int>(std::lround(texts::pixelsToTwips(pixels, logicalDpi())));
}

void showClientMissing(platform::MessageService& messages)
{
    messages.show({QCoreApplication::translate("app", "Novell Client Error"),
                   QCoreApplication::translate(
                       "app", "You must have a Novell Client installed to run Veskaro.  Veskaro will now exit."),
                   platform::Buttons::Ok, platform::Icon::Critical, platform::Answer::Ok});
}

}  // namespace app
