// The one place that chooses where settings live on each system.

#include "settings/RegistryStore.h"

#include "settings/FileRegistryStore.h"

#include <QDir>
#include <QStandardPaths>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include "settings/WindowsRegistryStore.h"
#endif

namespace settings {

std::unique_ptr<RegistryStore> openDefaultRegistryStore()
{
#ifdef Q_OS_WIN
    return std::make_unique<WindowsRegistryStore>();
#else
    QString path = qEnvironmentVariable("VESKARO_SETTINGS");
    if (path.isEmpty()) {
        path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
               + QStringLiteral("/Veskaro/veskaro.reg");
    }
    // The folder is made by the first change; reading a missing file gives an empty registry.
    return std::make_unique<FileRegistryStore>(QDir::cleanPath(path));
#endif
}

}  // namespace settings
