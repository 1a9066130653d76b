#pragma once
// Everything a window or routine reaches beyond its own controls: the NetWare
// client, the settings store, the desktop services and the program-wide values.
// The program builds one at start-up; tests build their own around a small
// simulated network, a temporary settings file and scripted answers.

// The context sits below every other folder: it names the services it hands
// out but includes none of their folders.

#include "core/ServerReachability.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace nw {
class NetWareClient;
}
namespace platform {
class MessageService;
class FileDialogService;
class ClipboardService;
class ProcessLauncher;
}  // namespace platform
namespace settings {
class RegistryStore;
}
namespace history {
class HistoryRecorder;
}

namespace core {

// Program-wide values, named as everywhere in the program's documentation.
struct ProgramValues {
    QString treeName;                 // tree the program works in
    QString startingServerContext;    // "[Root]" or ".OU.O" where the server search starts
    bool searchSubContainers = true;  // server search descends into sub-containers
    QString saveFileDelimiter = QStringLiteral(",");
    QString remoteControlPath;  // remote console program, empty when none chosen
    bool loginSucceeded = false;
    bool filterAtStartup = false;
    bool contextBrowseFailed = false;
    int parallelServers = 32;  // ParallelServers: servers a view reads at once (its default)
};

class AppContext {
public:
    AppContext(nw::NetWareClient& client, settings::RegistryStore& registry, platform::MessageService& messages,
               platform::FileDialogService& fileDialogs, platform::ClipboardService& clipboard,
               platform::ProcessLauncher& processes)
        : m_client(client)
        , m_registry(registry)
        , m_messages(messages)
        , m_fileDialogs(fileDialogs)
        , m_clipboard(clipboard)
        , m_processes(processes)
    {
    }

    nw::NetWareClient& client() const { return m_client; }
    settings::RegistryStore& registry() const { return m_registry; }
    platform::MessageService& messages() const { return m_messages; }
    platform::FileDialogService& fileDialogs() const { return m_fileDialogs; }
    platform::ClipboardService& clipboard() const { return m_clipboard; }
    platform::ProcessLauncher& processes() const { return m_processes; }
    // Which servers answered the last attempt to reach them; every opening of
    // a server connection reports to it.
    ServerReachability& reachability() const { return *m_reachability; }

    core::ProgramValues values;

    // The program's command-line arguments after the program name; the
    // diagnostics trace is on only when this is exactly one "/DEBUG" (any case).
    QStringList arguments;
    // Folder of the program file; the trace file Veskaro.dbg is written there.
    QString programDir;
    // False in veskaro-report and offscreen renderings: windows then save no state.
    bool saveWindowState = true;

    // Shows the starting-container dialog modally; the main window installs
    // it. Until then a missing StartingServerContext means the tree root.
    std::function<void(AppContext&)> startingContainerDialog;

    // Where the views keep what they read (the program's history); none in
    // tests and runs that keep no history.
    history::HistoryRecorder* history = nullptr;

private:
    nw::NetWareClient& m_client;
    settings::RegistryStore& m_registry;
    platform::MessageService& m_messages;
    platform::FileDialogService& m_fileDialogs;
    platform::ClipboardService& m_clipboard;
    platform::ProcessLauncher& m_processes;
    std::shared_ptr<ServerReachability> m_reachability = std::make_shared<ServerReachability>();
};

}  // namespace core
