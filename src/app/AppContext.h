#pragma once
// Everything a window or routine reaches beyond its own controls: the NetWare
// client, the settings store, the desktop services and the program-wide values.
// The program builds one at start-up; tests build their own around a small
// simulated network, a temporary settings file and scripted answers.

#include "netware/NetWareClient.h"
#include "platform/Services.h"
#include "settings/RegistryStore.h"

#include <QString>
#include <QStringList>

namespace app {

// Program-wide values, named as everywhere in the program's documentation.
struct ProgramValues {
    QString gTreeName;                 // tree the program works in
    QString gStartingServerContext;    // "[Root]" or ".OU.O" where the server search starts
    bool gSearchSubContainers = true;  // server search descends into sub-containers
    QString gSaveFileDelimiter = QStringLiteral(",");
    QString gRemoteControlPath;        // remote console program, empty when none chosen
    bool gLoginSucceeded = false;
    int gFoundFormIndex = -1;          // set by fnActivateOpenForm
    bool gFilterAtStartup = false;
    bool gContextBrowseFailed = false;
};

class AppContext {
public:
    AppContext(nw::NetWareClient& client, settings::RegistryStore& registry,
               platform::MessageService& messages, platform::FileDialogService& fileDialogs,
               platform::ClipboardService& clipboard, platform::ProcessLauncher& processes)
        : m_client(client), m_registry(registry), m_messages(messages), m_fileDialogs(fileDialogs),
          m_clipboard(clipboard), m_processes(processes)
    {
    }

    nw::NetWareClient& client() const { return m_client; }
    settings::RegistryStore& registry() const { return m_registry; }
    platform::MessageService& messages() const { return m_messages; }
    platform::FileDialogService& fileDialogs() const { return m_fileDialogs; }
    platform::ClipboardService& clipboard() const { return m_clipboard; }
    platform::ProcessLauncher& processes() const { return m_processes; }

    ProgramValues values;

    // The program's command-line arguments after the program name; the
    // diagnostics trace is on only when this is exactly one "/DEBUG" (any case).
    QStringList arguments;
    // Folder of the program file; the trace file Veskaro.dbg is written there.
    QString programDir;
    // False in veskaro-report and offscreen renderings: windows then save no state.
    bool saveWindowState = true;

private:
    nw::NetWareClient& m_client;
    settings::RegistryStore& m_registry;
    platform::MessageService& m_messages;
    platform::FileDialogService& m_fileDialogs;
    platform::ClipboardService& m_clipboard;
    platform::ProcessLauncher& m_processes;
};

}  // namespace app
