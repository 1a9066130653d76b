#include "app/Program.h"

#include "platform/Services.h"
#include "settings/FileRegistryStore.h"

#include "app/MainForm.h"
#include "app/StartupSettings.h"
#include "app/WidgetTableExport.h"
#include "netware/ServerReads.h"

#include <QCoreApplication>

namespace app {

Program::Program(platform::MessageService& messages, platform::FileDialogService& fileDialogs,
                 platform::ClipboardService& clipboard, platform::ProcessLauncher& processes)
    : m_messages(messages), m_fileDialogs(fileDialogs), m_clipboard(clipboard), m_processes(processes)
{
}

Program::~Program()
{
    // However the run ends, the children save their state and the client is released.
    if (m_form)
        m_form->unload();
    m_form.reset();
    // Reads of views closed just now may still be using the client and the
    // context; they end before either goes.
    nw::waitForServerReads();
}

std::optional<int> Program::start(nw::ClientLoad load, std::unique_ptr<settings::RegistryStore> store,
                                  const StartOptions& options)
{
    switch (load.outcome) {
    case nw::ClientLoad::Outcome::NotInstalled:
        showClientMissing(m_messages);
        return 1;
    case nw::ClientLoad::Outcome::Unreadable:
        m_messages.show({QCoreApplication::translate("app", "Network description error"), load.problem,
                         platform::Buttons::Ok, platform::Icon::Critical, platform::Answer::Ok});
        return 1;
    case nw::ClientLoad::Outcome::Loaded:
        break;
    }
    if (!load.client) {
        showClientMissing(m_messages);
        return 1;
    }
    if (!store) {
        m_messages.show({QCoreApplication::translate("app", "Settings error"),
                         QCoreApplication::translate("app", "The settings store cannot be opened."),
                         platform::Buttons::Ok, platform::Icon::Critical, platform::Answer::Ok});
        return 1;
    }

    m_client = std::move(load.client);
    m_store = std::move(store);
    m_context = std::make_unique<core::AppContext>(*m_client, *m_store, m_messages, m_fileDialogs, m_clipboard,
                                             m_processes);
    m_context->arguments = options.arguments;
    m_context->programDir = options.programDir;
    m_context->saveWindowState = options.saveWindowState;

    m_form = std::make_unique<MainForm>(*m_context);
    m_form->setShowSplash(options.showSplash);
    m_form->setTableExport(std::make_unique<WidgetTableExport>());
    installStandardCommands(*m_form);
    if (m_form->load() != MainForm::LoadResult::Running) {
        m_form.reset();
        return 1;
    }
    // A settings file that could not be read has been kept aside and defaults
    // used: the user hears of it once the program is up.
    for (QString warning = settings::takeStoreWarning(*m_store); !warning.isEmpty();
         warning = settings::takeStoreWarning(*m_store)) {
        m_messages.show({QCoreApplication::translate("app", "Settings"), warning, platform::Buttons::Ok,
                         platform::Icon::Warning, platform::Answer::Ok});
    }
    return std::nullopt;
}

}  // namespace app
