#pragma once
// What the directory dialogs remember: the login fields of every tree
// (LoginForm\Trees\<tree>: User, Context, Server), the hidden servers of each
// tree (Hidden: one value per tree) and the starting container of the server
// search (StartingServerContext, Tree, ServerSearchSubContainers).
// The password is never among them.

#include "settings/RegistryStore.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace directory {

// Every remembered tree, and the remembered users, contexts and servers of
// all trees, each text once (exact comparison), in the order read.
struct RememberedLogins {
    QStringList trees;
    QStringList users;
    QStringList contexts;
    QStringList servers;
};
RememberedLogins readRememberedLogins(const settings::RegistryStore& store);

// One tree's remembered fields; a missing value is nothing.
struct TreeLogin {
    std::optional<QString> user;
    std::optional<QString> context;
    std::optional<QString> server;
};
TreeLogin readTreeLogin(const settings::RegistryStore& store, const QString& tree);

// Remembers the fields used for a successful login; empty fields leave the
// remembered value as it was.
void saveTreeLogin(settings::RegistryStore& store, const QString& tree, const QString& user, const QString& context,
                   const QString& server);

// The servers hidden in a tree, trimmed, each once, without empty entries.
QStringList readHiddenServers(const settings::RegistryStore& store, const QString& tree);
// Stores the hidden servers of a tree joined by ","; with none the tree's
// value is deleted rather than left empty.
void saveHiddenServers(settings::RegistryStore& store, const QString& tree, const QStringList& hidden);

// The chosen starting container (a tree path), the tree it belongs to and
// whether the search includes sub-containers.
void saveStartingContainer(settings::RegistryStore& store, const QString& treePath, const QString& tree,
                           bool searchSubContainers);

}  // namespace directory
