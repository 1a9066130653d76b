#include "app/Icons.h"

// The icons are compiled into a static library; registering them here pulls
// them into every program that shows one.
static void registerIcons()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace app {

QIcon loadIcon(const QString& file)
{
    registerIcons();
    return QIcon(QStringLiteral(":/icons/") + file);
}

}  // namespace app
