#include "text/LocaleText.h"

#include <QCollator>

namespace texts {

QString fourDigitYearShortFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

QLocale collationLocale(const QLocale& locale)
{
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
}

namespace {

QCollator makeNameCollator()
{
    QCollator collator(collationLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

}  // namespace

bool nameLess(const QString& a, const QString& b)
{
    // One collator per locale in use; building one per comparison is costly.
    thread_local QLocale collatorLocale;
    thread_local QCollator collator = makeNameCollator();
    if (collatorLocale != QLocale()) {
        collatorLocale = QLocale();
        collator = makeNameCollator();
    }
    const int order = collator.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

}  // namespace texts
