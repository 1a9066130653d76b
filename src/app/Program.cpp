#include "app/Program.h"

#include "platform/Services.h"
#include "settings/FileRegistryStore.h"

#include "app/MainWindow.h"
#include "app/StartupSettings.h"
#include "app/WidgetTableExport.h"
#include "history/HistoryRecorder.h"
#include "netware/ServerReads.h"
#include "settings/Registry.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>

namespace app {

Program::Program(platform::MessageService& messages, platform::FileDialogService& fileDialogs,
                 platform::ClipboardService& clipboard, platform::ProcessLauncher& processes)
    : m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_clipboard(clipboard)
    , m_processes(processes)
{
}

Program::~Program()
{
    // However the run ends, the children save their state and the client is released.
    if (m_form)
        m_form->unload();
    m_form.reset();
    // What the views handed over is written before the run ends; a problem
    // no window is left to tell goes to the error stream.
    if (m_history) {
        m_history->flush();
        for (const QString& problem : m_history->takeProblems())
            qWarning("%s", qUtf8Printable(problem));
    }
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
    m_context =
        std::make_unique<core::AppContext>(*m_client, *m_store, m_messages, m_fileDialogs, m_clipboard, m_processes);
    m_context->arguments = options.arguments;
    m_context->programDir = options.programDir;
    m_context->saveWindowState = options.saveWindowState;
    {
        const int days = settings::historyDaysSetting(
            settings::readValue(*m_store, settings::kRootKey, settings::kHistoryDaysValue, settings::kHistoryDaysRoom));
        m_history = std::make_unique<history::HistoryRecorder>(history::defaultHistoryPath(), days);
        m_context->history = m_history.get();
        // The recorder meets its problems on its own thread; they are told on this one.
        QObject::connect(
            m_history.get(), &history::HistoryRecorder::problemsAvailable, m_history.get(),
            [this] { reportHistoryProblems(); }, Qt::QueuedConnection);
        m_history->start();
    }

    m_form = std::make_unique<MainWindow>(*m_context);
    m_form->setShowSplash(options.showSplash);
    m_form->setTableExport(std::make_unique<WidgetTableExport>());
    installStandardCommands(*m_form);
    const bool running = m_form->load() == MainWindow::LoadResult::Running;
    if (!running)
        m_form.reset();
    reportSettingsProblems();
    return running ? std::nullopt : std::optional<int>(1);
}

void Program::reportHistoryProblems()
{
    if (!m_history)
        return;
    for (const QString& problem : m_history->takeProblems()) {
        m_messages.show({QCoreApplication::translate("app", "History"), problem, platform::Buttons::Ok,
                         platform::Icon::Warning, platform::Answer::Ok});
    }
}

void Program::reportSettingsProblems()
{
    // A settings file that could not be read has been kept aside and defaults
    // used: the user hears of it once the start is over, in one message
    // for each problem, however often the start met it.
    for (QString warning = settings::takeStoreWarning(*m_store); !warning.isEmpty();
         warning = settings::takeStoreWarning(*m_store)) {
        m_messages.show({QCoreApplication::translate("app", "Settings"), warning, platform::Buttons::Ok,
                         platform::Icon::Warning, platform::Answer::Ok});
    }
    // A problem that first arises later (a setting that cannot be saved while
    // a window closes) goes to the error stream: a message box there would let
    // events run in the middle of whatever was saving.
    settings::setStoreWarningSink(*m_store, [](const QString& warning) { qWarning("%s", qUtf8Printable(warning)); });
}

}  // namespace app
