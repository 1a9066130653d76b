#include "support/SavedText.h"

#include "export/WidgetExport.h"

#include <QBuffer>

namespace testing {

QString savedText(const QWidget* window)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    for (QWidget* table : exporting::exportableTables(window))
        exporting::writeTable(table, buffer, QStringLiteral(","));
    return QString::fromLatin1(buffer.data());
}

}  // namespace testing
