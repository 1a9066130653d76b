#pragma once
// The program's own icons, drawn as SVG: tool-bar pictures and the program icon.

#include <QIcon>
#include <QString>

namespace app {

// The icon of that file name (":/icons/<file>", e.g. "app.svg").
QIcon loadIcon(const QString& file);

}  // namespace app
