// veskaro-report: one view of Veskaro as text, without a window on screen.

#include "report/ReportCommand.h"

#include "VeskaroVersion.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Without a display the windows are drawn offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veskaro"));
    QApplication::setOrganizationName(QStringLiteral("Korvanel"));
    QApplication::setApplicationVersion(QStringLiteral(VESKARO_VERSION));

    // The table goes out as bytes: csv exactly as File / Save writes it.
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    QTextStream err(stderr);
    report::ReportCommand command;
    return command.execute(QApplication::arguments().mid(1), out, err);
}
