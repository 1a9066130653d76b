#include "settings/ColumnScale.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QWidget>

#include <algorithm>

namespace settings {

double columnDotsPerInch(const QWidget* table)
{
    const int logical = table->logicalDpiX();
    const double dpi = logical > 0 ? logical : 96.0;
    const QFontMetricsF metrics(QApplication::font(), table);
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const double average = metrics.horizontalAdvance(sample) / sample.size();
    const double designed = 6.0 * dpi / 96.0;
    return dpi * std::max(1.0, average / designed);
}

}  // namespace settings
