#pragma once
// Start-up and the objects that live for the whole run: the NetWare client,
// the settings store, the program-wide values and the main window. The
// program and veskaro-report start the same way.

#include "core/AppContext.h"
#include "netware/ClientProvider.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace history {
class HistoryRecorder;
}

namespace app {

class MainWindow;

struct StartOptions {
    QStringList arguments;  // after the program name
    QString programDir;
    bool saveWindowState = true;  // false: windows rendered offscreen save nothing
    bool showSplash = true;
};

class Program {
public:
    Program(platform::MessageService& messages, platform::FileDialogService& fileDialogs,
            platform::ClipboardService& clipboard, platform::ProcessLauncher& processes);
    ~Program();

    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Client check, settings, main window geometry and server list. Nothing
    // when the program runs on; otherwise the exit code after the user has been told.
    std::optional<int> start(nw::ClientLoad load, std::unique_ptr<settings::RegistryStore> store,
                             const StartOptions& options = {});

    MainWindow* mainWindow() const { return m_form.get(); }
    core::AppContext* context() const { return m_context.get(); }

private:
    // The settings store's problems met so far, each told once; later ones
    // go to the error stream.
    void reportSettingsProblems();
    // Problems of the history (a file kept aside, refused, a failed write), told once each.
    void reportHistoryProblems();

    platform::MessageService& m_messages;
    platform::FileDialogService& m_fileDialogs;
    platform::ClipboardService& m_clipboard;
    platform::ProcessLauncher& m_processes;
    std::unique_ptr<nw::NetWareClient> m_client;
    std::unique_ptr<settings::RegistryStore> m_store;
    std::unique_ptr<core::AppContext> m_context;
    std::unique_ptr<history::HistoryRecorder> m_history;
    std::unique_ptr<MainWindow> m_form;
};

}  // namespace app
