// veskaro: the desktop program.

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/SingleInstance.h"
#include "platform/DesktopServices.h"
#include "settings/RegistryStore.h"
#include "views/AbendLog.h"

#include "VeskaroVersion.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veskaro"));
    QApplication::setOrganizationName(QStringLiteral("Korvanel"));
    QApplication::setApplicationVersion(QStringLiteral(VESKARO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.korvanel.Veskaro"));

    app::SingleInstance instance;
    if (instance.handOverToRunningInstance())
        return 0;
    // Another start may have taken the name in between; it then gets the
    // hand-over. Without a local socket at all the program simply runs.
    if (instance.listen() == app::SingleInstance::Listen::HandedOver)
        return 0;

    // Reports of halts a killed run left in its folder.
    views::TemporaryReports::removeLeftovers(views::temporaryFolder());

    platform::DesktopMessageService messages;
    platform::DesktopFileDialogService fileDialogs;
    platform::DesktopClipboardService clipboard;
    platform::DesktopProcessLauncher processes;
    app::Program program(messages, fileDialogs, clipboard, processes);

    app::StartOptions options;
    options.arguments = QApplication::arguments().mid(1);
    options.programDir = QApplication::applicationDirPath();
    if (const auto exitCode = program.start(nw::loadNetWareClient(), settings::openDefaultRegistryStore(), options))
        return *exitCode;

    QPointer<app::MainWindow> form = program.mainWindow();
    QObject::connect(&instance, &app::SingleInstance::activationRequested, form, [form] {
        if (form)
            form->activateFromAnotherStart();
    });
    // A later start may have asked while this one was still starting.
    if (instance.takeUnansweredRequest())
        form->activateFromAnotherStart();
    form->show();
    return QApplication::exec();
}
