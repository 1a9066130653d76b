#pragma once
// Opening a web page with a word to the user when it cannot be done.

#include "platform/Services.h"

#include <QCoreApplication>

namespace platform {

// Opens a web page in the default browser; when no browser takes it, a
// message names the address that could not be opened.
inline bool openWebPage(ProcessLauncher& launcher, MessageService& messages, const QString& url)
{
    if (launcher.openUrl(url))
        return true;
    messages.inform(
        QCoreApplication::translate("platform", "The web browser could not be started to open %1.").arg(url),
        QCoreApplication::translate("platform", "Web Page Not Opened"), Icon::Warning);
    return false;
}

}  // namespace platform
