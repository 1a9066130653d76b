#pragma once
// The settings the main window reads and writes itself: the program-wide
// values of the root key, its own geometry under MainWindow, and the hidden
// servers of the current tree.

#include "core/AppContext.h"
#include "settings/Registry.h"

#include <QString>

#include <optional>

namespace app {

using settings::kHiddenKey;
using settings::kMainWindowKey;
using settings::kRootKey;

// Tree (determined by the client and written back when missing),
// ServerSearchSubContainers, SaveFileDelimiter, RemoteControl and ParallelServers.
void readGlobalSettings(core::AppContext& context);

struct TwipsGeometry {
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
};
// Nothing when the MainWindow key does not exist (first run).
std::optional<TwipsGeometry> readMainWindowGeometry(const settings::RegistryStore& store);
void writeMainWindowGeometry(settings::RegistryStore& store, const TwipsGeometry& geometry);

// Adds the server to the tree's value under Hidden.
void appendHiddenServer(core::AppContext& context, const QString& server);
// The tree's value under Hidden as stored; nothing when it has none.
std::optional<QString> storedHiddenServers(const settings::RegistryStore& store, const QString& tree);
// Puts the tree's value under Hidden back as read by storedHiddenServers.
void restoreHiddenServers(settings::RegistryStore& store, const QString& tree, const std::optional<QString>& value);

// Window sizes are kept in twips, 1440 to the logical inch of the screen.
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

// "You must have a Novell Client installed ..." with its title, OK only.
void showClientMissing(platform::MessageService& messages);

}  // namespace app
