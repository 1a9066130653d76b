#pragma once
// The about box ("frmAbout"): the program's name and release, and a way to the system
// information program where the machine has one.

#include "core/AppContext.h"

#include <QDialog>

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

}  // namespace app
