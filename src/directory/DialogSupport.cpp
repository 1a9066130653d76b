#include "directory/DialogSupport.h"

#include "text/Twips.h"

#include <QFontMetrics>
#include <QLabel>

// The icons are compiled into the GUI library; registering them here pulls
// them into any program that shows a directory dialog.
static void registerDirectoryIcons()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace directory {

int runModal(const ModalRunner& runner, QDialog& dialog)
{
    return runner ? runner(dialog) : dialog.exec();
}

QIcon directoryIcon(const QString& file)
{
    registerDirectoryIcons();
    return QIcon(QStringLiteral(":/icons/") + file);
}

void updatePathToolTip(QLabel* label)
{
    const int textWidth = QFontMetrics(label->font()).horizontalAdvance(label->text());
    const int room = label->width() - texts::twipsToPixels(40, label->logicalDpiX());
    label->setToolTip(textWidth >= room ? label->text() : QString());
}

}  // namespace directory
