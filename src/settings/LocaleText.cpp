#include "settings/LocaleText.h"

#include <QCollator>

namespace settings {

QString fourDigitYearShortFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

namespace {

QCollator makeNameCollator()
{
    QLocale locale;
    // The "C" locale collates by character code, which puts every accented
    // capital after Z; nobody reads a list that way.
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
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

}  // namespace settings
