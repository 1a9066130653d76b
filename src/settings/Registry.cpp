#include "settings/Registry.h"

#include "core/AppContext.h"
#include "text/Twips.h"

#include <algorithm>
#include <array>

namespace settings {

namespace {

// Window-state and column values are read into a ten-byte buffer.
constexpr int kSettingRoom = 9;

}  // namespace

QString rootKeyPath(const QString& keyName)
{
    return kRootKey + u'\\' + keyName;
}

std::optional<QString> readValue(const RegistryStore& store, const QString& keyPath, const QString& name, int room)
{
    auto value = store.queryValue(Hive::CurrentUser, keyPath, name);
    if (!value || value->size() > room)
        return std::nullopt;
    return value;
}

QString defaultSetting(const QString& valueName)
{
    if (valueName == kTopValue)
        return kDefaultTop;
    if (valueName == kLeftValue)
        return kDefaultLeft;
    if (valueName == kHeightValue)
        return kDefaultHeight;
    if (valueName == kWidthValue)
        return kDefaultWidth;
    if (valueName == kRefreshIntervalValue)
        return kDefaultRefreshInterval;
    if (valueName.startsWith(kColWidthHeadingPrefix))
        return kDefaultColumnWidth;
    return kDefaultOtherValue;
}

QString readSetting(const RegistryStore& store, const QString& keyPath, const QString& valueName)
{
    // Before a window has ever saved its state every value reads as one inch,
    // whatever its name.
    if (!store.keyExists(Hive::CurrentUser, keyPath))
        return kMissingKeyValue;
    if (auto value = readValue(store, keyPath, valueName, kSettingRoom))
        return *value;
    return defaultSetting(valueName);
}

QString readSetting(const core::AppContext& context, const QString& keyPath, const QString& valueName)
{
    return readSetting(context.registry(), keyPath, valueName);
}

double readTwipsSetting(const RegistryStore& store, const QString& keyPath, const QString& valueName)
{
    if (auto number = texts::textToNumber(readSetting(store, keyPath, valueName)))
        return *number;
    return texts::textToNumber(defaultSetting(valueName)).value_or(0.0);
}

void saveSetting(RegistryStore& store, const QString& keyPath, const QString& valueName, const QString& value)
{
    if (!store.keyExists(Hive::CurrentUser, keyPath)) {
        // Only one level is created, below the root; the root itself must exist.
        if (!store.keyExists(Hive::CurrentUser, kRootKey))
            return;
        const QString last = keyPath.section(u'\\', -1);
        store.createKey(Hive::CurrentUser, rootKeyPath(last));
        if (!store.keyExists(Hive::CurrentUser, keyPath))
            return;
    }
    store.setValue(Hive::CurrentUser, keyPath, valueName, value);
}

void saveSetting(core::AppContext& context, const QString& keyPath, const QString& valueName, const QString& value)
{
    saveSetting(context.registry(), keyPath, valueName, value);
}

void createLoginTreesKey(RegistryStore& store)
{
    store.createKey(Hive::CurrentUser, rootKeyPath(kLoginKeyName));
    store.createKey(Hive::CurrentUser, rootKeyPath(kLoginTreesKeyName));
}

void createLoginTreesKey(core::AppContext& context)
{
    createLoginTreesKey(context.registry());
}

void createUserConnectionsKey(RegistryStore& store)
{
    store.createKey(Hive::CurrentUser, rootKeyPath(kUserConnectionsKeyName));
}

void createUserConnectionsKey(core::AppContext& context)
{
    createUserConnectionsKey(context.registry());
}

void resetStartingServerContext(RegistryStore& store)
{
    QString path;
    for (const QString& part : kRootKey.split(u'\\')) {
        path = path.isEmpty() ? part : path + u'\\' + part;
        store.createKey(Hive::CurrentUser, path);
    }
    store.createKey(Hive::CurrentUser, rootKeyPath(kHiddenKeyName));
    store.setValue(Hive::CurrentUser, kRootKey, kStartingServerContextValue, QString());
}

void resetStartingServerContext(core::AppContext& context)
{
    resetStartingServerContext(context.registry());
}

int parallelServersSetting(const std::optional<QString>& stored)
{
    if (!stored)
        return kDefaultParallelServers;
    bool number = false;
    const qlonglong value = stored->trimmed().toLongLong(&number);
    if (!number)
        return kDefaultParallelServers;
    return static_cast<int>(std::clamp<qlonglong>(value, kMinParallelServers, kMaxParallelServers));
}

int historyDaysSetting(const std::optional<QString>& stored)
{
    if (!stored)
        return kDefaultHistoryDays;
    bool number = false;
    const qlonglong value = stored->trimmed().toLongLong(&number);
    if (!number)
        return kDefaultHistoryDays;
    return static_cast<int>(std::clamp<qlonglong>(value, kMinHistoryDays, kMaxHistoryDays));
}

QString booleanText(bool value)
{
    return value ? kTrueText : kFalseText;
}

bool booleanSetting(const std::optional<QString>& stored, bool whenMissing)
{
    return stored ? *stored == u"True" : whenMissing;
}

int numericKeyFilter(int keyCode)
{
    constexpr int kBackspace = 8;
    constexpr int kPoint = 46;
    if (keyCode == kBackspace || keyCode == kPoint || (keyCode >= '0' && keyCode <= '9'))
        return keyCode;
    return 0;
}

}  // namespace settings
