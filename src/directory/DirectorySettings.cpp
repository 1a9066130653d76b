#include "directory/DirectorySettings.h"

#include "settings/Registry.h"

namespace directory {

using settings::Hive;

namespace {

const QString kTreesKey = settings::rootKeyPath(settings::kLoginTreesKeyName);
const QString kHiddenKey = settings::rootKeyPath(settings::kHiddenKeyName);
const QString kUser = QStringLiteral("User");
const QString kContext = QStringLiteral("Context");
const QString kServer = QStringLiteral("Server");
constexpr int kFieldRoom = 249;
constexpr int kHiddenRoom = 1023;

QString treeKey(const QString& tree)
{
    return kTreesKey + QLatin1Char('\\') + tree;
}

void addOnce(QStringList& list, const std::optional<QString>& text)
{
    if (text && !list.contains(*text, Qt::CaseSensitive))
        list.append(*text);
}

}  // namespace

RememberedLogins readRememberedLogins(const settings::RegistryStore& store)
{
    RememberedLogins remembered;
    if (!store.keyExists(Hive::CurrentUser, kTreesKey))
        return remembered;
    for (int index = 0;; ++index) {
        const auto name = store.enumKey(Hive::CurrentUser, kTreesKey, index);
        if (!name)
            break;
        const QString tree = name->trimmed();
        remembered.trees.append(tree);
        const TreeLogin fields = readTreeLogin(store, tree);
        addOnce(remembered.users, fields.user);
        addOnce(remembered.contexts, fields.context);
        addOnce(remembered.servers, fields.server);
    }
    return remembered;
}

TreeLogin readTreeLogin(const settings::RegistryStore& store, const QString& tree)
{
    TreeLogin fields;
    if (tree.isEmpty())
        return fields;
    const QString key = treeKey(tree);
    fields.user = settings::readValue(store, key, kUser, kFieldRoom);
    fields.context = settings::readValue(store, key, kContext, kFieldRoom);
    fields.server = settings::readValue(store, key, kServer, kFieldRoom);
    return fields;
}

void saveTreeLogin(settings::RegistryStore& store, const QString& tree, const QString& user, const QString& context,
                   const QString& server)
{
    settings::createLoginTreesKey(store);
    const QString key = treeKey(tree);
    if (!store.createKey(Hive::CurrentUser, key))
        return;
    if (!user.isEmpty())
        store.setValue(Hive::CurrentUser, key, kUser, user);
    if (!context.isEmpty())
        store.setValue(Hive::CurrentUser, key, kContext, context);
    if (!server.isEmpty())
        store.setValue(Hive::CurrentUser, key, kServer, server);
}

QStringList readHiddenServers(const settings::RegistryStore& store, const QString& tree)
{
    QStringList hidden;
    const auto stored = settings::readValue(store, kHiddenKey, tree, kHiddenRoom);
    if (!stored)
        return hidden;
    for (const QString& piece : stored->split(QLatin1Char(','))) {
        // A hand-edited value may hold blanks, empty pieces or a name twice.
        const QString name = piece.trimmed();
        if (!name.isEmpty() && !hidden.contains(name, Qt::CaseSensitive))
            hidden.append(name);
    }
    return hidden;
}

void saveHiddenServers(settings::RegistryStore& store, const QString& tree, const QStringList& hidden)
{
    if (!store.createKey(Hive::CurrentUser, kHiddenKey))
        return;
    if (hidden.isEmpty())
        store.deleteValue(Hive::CurrentUser, kHiddenKey, tree);
    else
        store.setValue(Hive::CurrentUser, kHiddenKey, tree, hidden.join(QLatin1Char(',')));
}

void saveStartingContainer(settings::RegistryStore& store, const QString& treePath, const QString& tree,
                           bool searchSubContainers)
{
    store.createKey(Hive::CurrentUser, settings::kRootKey);
    store.setValue(Hive::CurrentUser, settings::kRootKey, QStringLiteral("StartingServerContext"), treePath);
    store.setValue(Hive::CurrentUser, settings::kRootKey, QStringLiteral("Tree"), tree);
    store.setValue(Hive::CurrentUser, settings::kRootKey, QStringLiteral("ServerSearchSubContainers"),
                   settings::booleanText(searchSubContainers));
}

}  // namespace directory
