#pragma once
// The diagnostics trace: with the single argument "/DEBUG" chosen NetWare
// calls are recorded one line each, with their result codes, in Veskaro.dbg
// beside the program. A support aid without any user interface.

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace core {
class AppContext;
}

namespace settings {

// Exactly one argument, "/DEBUG" in any case; nothing else switches tracing on.
bool isTraceEnabled(const QStringList& arguments);

// The moment as the system writes a date that carries a time: the short date
// (with a four-digit year) and the long time, without a time-zone name.
QString traceTimestamp(const QDateTime& when, const QLocale& locale = QLocale::system());

// "date time, label, subject, call, Result: code", without the line end.
QString traceLine(const QDateTime& when, const QString& label, const QString& subject, const QString& callName,
                  qint32 result);

// Appends one CRLF-ended line to programDir/Veskaro.dbg, opening and closing
// the file each time so that the trace is complete if the program stops.
// A file that cannot be written is passed over: the traced work goes on as
// without the switch. Safe from any thread: lines never mix.
void writeDebugLog(const QString& programDir, const QString& label, const QString& subject, const QString& callName,
                   qint32 result, const QDateTime& when = QDateTime::currentDateTime());

// A call a server read made on a reading thread, kept with its time so that
// the window thread writes the lines later in the order of the servers.
struct TracedCall {
    QDateTime when;
    QString callName;
    qint32 result = 0;
};

// A trace point: writes the line when the program was started with "/DEBUG".
// NetWare status codes are passed as they are; negative codes read as such.
void traceCall(const core::AppContext& context, const QString& label, const QString& subject, const QString& callName,
               qint32 result);
// The lines of calls made earlier, with the times they were made.
void traceCalls(const core::AppContext& context, const QString& label, const QString& subject,
                const QList<TracedCall>& calls);

}  // namespace settings
