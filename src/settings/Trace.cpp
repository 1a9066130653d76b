#include "settings/Trace.h"

#include "text/LocaleText.h"

#include "core/AppContext.h"

#include <QDir>
#include <QFile>

#include <mutex>

namespace settings {

namespace {

// Qt's long time formats name the time zone ("t"); the trace never did.
QString withoutTimeZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out.append(c);
    }
    return out.trimmed();
}

}  // namespace

bool isTraceEnabled(const QStringList& arguments)
{
    return arguments.size() == 1 && arguments.constFirst().toUpper() == u"/DEBUG";
}

QString traceTimestamp(const QDateTime& when, const QLocale& locale)
{
    const QString date = texts::fourDigitYearShortFormat(locale);
    const QString time = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return locale.toString(when.date(), date) + u' ' + locale.toString(when.time(), time);
}

QString traceLine(const QDateTime& when, const QString& label, const QString& subject, const QString& callName,
                  qint32 result)
{
    return traceTimestamp(when) + QStringLiteral(", ") + label + QStringLiteral(", ") + subject + QStringLiteral(", ")
           + callName + QStringLiteral(", Result: ") + QString::number(result);
}

void writeDebugLog(const QString& programDir, const QString& label, const QString& subject, const QString& callName,
                   qint32 result, const QDateTime& when)
{
    const QByteArray line = traceLine(when, label, subject, callName, result).toLocal8Bit() + "\r\n";
    static std::mutex appending;
    const std::lock_guard lock(appending);
    QFile file(QDir(programDir).filePath(QStringLiteral("Veskaro.dbg")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(line);
}

void traceCall(const core::AppContext& context, const QString& label, const QString& subject, const QString& callName,
               qint32 result)
{
    if (isTraceEnabled(context.arguments))
        writeDebugLog(context.programDir, label, subject, callName, result);
}

void traceCalls(const core::AppContext& context, const QString& label, const QString& subject,
                const QList<TracedCall>& calls)
{
    if (!isTraceEnabled(context.arguments))
        return;
    for (const TracedCall& call : calls)
        writeDebugLog(context.programDir, label, subject, call.callName, call.result, call.when);
}

}  // namespace settings
