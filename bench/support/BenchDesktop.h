#pragma once
// The desktop and the main window as far as a benchmark of the views needs
// them.

#include "core/AppContext.h"
#include "netware/NetWareClient.h"
#include "platform/Services.h"
#include "settings/RegistryStore.h"
#include "viewbase/ViewHost.h"
#include "viewbase/ViewMenus.h"

#include <QMainWindow>
#include <QSize>

#include <cstdio>
#include <map>

namespace bench {

// The desktop as a benchmark sees it: messages are printed with their default
// answer taken, no dialog is shown, the clipboard and program starts refuse,
// and the settings store keeps nothing.
class PrintedMessages : public platform::MessageService {
public:
    explicit PrintedMessages(std::FILE* to = stdout) : m_to(to) {}
    platform::Answer show(const platform::Message& message) override;

private:
    std::FILE* m_to;
};

class NoFileDialogs : public platform::FileDialogService {
public:
    QString getSaveFileName(const platform::SaveDialogRequest&) override { return {}; }
};

class NoClipboard : public platform::ClipboardService {
public:
    bool setText(const QString&) override { return false; }
    QString text() const override { return {}; }
};

class NoProcesses : public platform::ProcessLauncher {
public:
    bool startDetached(const QString&, const QStringList&, const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }
};

class NoRegistry : public settings::RegistryStore {
public:
    bool keyExists(settings::Hive, const QString&) const override { return false; }
    bool createKey(settings::Hive, const QString&) override { return false; }
    std::optional<QString> queryValue(settings::Hive, const QString&, const QString&) const override { return {}; }
    bool setValue(settings::Hive, const QString&, const QString&, const QString&) override { return false; }
    bool deleteValue(settings::Hive, const QString&, const QString&) override { return false; }
    std::optional<QString> enumKey(settings::Hive, const QString&, int) const override { return {}; }
};

// An AppContext around the client with the desktop above; windows save no state.
struct BenchContext {
    explicit BenchContext(nw::NetWareClient& client, std::FILE* messagesTo = stdout);

    NoRegistry registry;
    PrintedMessages messages;
    NoFileDialogs fileDialogs;
    NoClipboard clipboard;
    NoProcesses processes;
    core::AppContext context;
};

// The main window as far as the views need it: a multiple-document area of
// the given size, the server selection set by the benchmark, menus and menu
// items made by name when first asked for, pop-ups not shown.
class BenchHost : public views::ViewHost {
public:
    BenchHost(core::AppContext& context, QSize size);
    ~BenchHost() override;

    core::AppContext& context() override { return m_context; }
    QMdiArea* mdiArea() override;
    QStringList selectedServers() const override { return selection; }
    int serverCount() const override { return static_cast<int>(selection.size()); }
    void enableSaveCopy(const QString&) override {}
    void setSaveEnabled(bool) override {}
    void setCopyEnabled(bool) override {}
    const views::ViewMenus& viewMenus() const override { return m_menus; }
    void popupMenu(QMenu*, const QPoint&) override {}
    void beginOpening(bool) override {}
    void endOpening() override {}

    QMainWindow& window() { return m_window; }
    QStringList selection;

private:
    core::AppContext& m_context;
    QMainWindow m_window;
    views::ViewMenus m_menus;  // owned by the window's menu bar
};

}  // namespace bench
