#pragma once
// The about box ("frmAbout"): the program's name and release, and a way to the system
// information program where the machine has one.

#include "core/AppContext.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <optional>

namespace app {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    AboutDialog(core::AppContext& context, QWidget* parent = nullptr);

    // "&System Info...": starts the system information program, or says that
    // there is none.
    void startSystemInformation();

private:
    core::AppContext& m_context;
};

// The system information program named under the local-machine hive, or an
// empty text when none is recorded.
QString findSysInfoProgram(const settings::RegistryStore& store);

// A program that shows the machine's system information, with its arguments.
struct SystemInfoTool {
    QString program;
    QStringList arguments;
};

// Finds a program on the search path by name; empty when there is none.
using ExecutableFinder = std::function<QString(const QString& name)>;

// The system information program recorded in the registry when that file
// exists; otherwise, where the platform has its own system information tool
// (System Information on macOS, an information centre on Linux desktops),
// that one; nothing when neither is found.
std::optional<SystemInfoTool> findSystemInfoTool(const settings::RegistryStore& store,
                                                 const ExecutableFinder& findExecutable);

}  // namespace app
