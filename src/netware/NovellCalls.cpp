#include "netware/NovellCalls.h"

#include "text/CodePage.h"

#include <QStringView>

#include <algorithm>
#include <array>

namespace nw {

// --- Byte-array strings -------------------------------------------------------

QString bytesToString(std::span<const char> bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), '\0');
    return texts::fromWindows1252(QByteArrayView(bytes.data(), static_cast<qsizetype>(end - bytes.begin())));
}

QString bytesToString(std::span<const quint8> bytes)
{
    return bytesToString(std::span<const char>(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void stringToBytes(std::span<char> bytes, const QString& text)
{
    if (bytes.empty())
        return;
    const QByteArray ansi = toAnsi(text);
    std::size_t i = 0;
    for (; i < bytes.size() && i < static_cast<std::size_t>(ansi.size()); ++i) {
        bytes[i] = ansi[static_cast<qsizetype>(i)];
        if (bytes[i] == '\0')
            return;
    }
    // Text without its own terminator: end it where there is room, or in the
    // last element when it filled the array.
    bytes[std::min(i, bytes.size() - 1)] = '\0';
}

QByteArray toAnsi(const QString& text)
{
    return texts::toWindows1252Lossy(text);
}

QString componentsToPath(std::span<const quint8> bytes, quint8 totalLength)
{
    // The length bytes come from the server; the path never reaches past the
    // stated total length nor past the buffer, whatever they say.
    const std::size_t limit = std::min<std::size_t>(totalLength, bytes.size());
    QString path;
    std::size_t p = 0;
    while (p < limit) {
        const std::size_t n = bytes[p];
        ++p;
        if (p >= limit)
            break;
        const std::size_t end = std::min(p + n, limit);
        path += QLatin1Char('\\');
        path += texts::fromWindows1252(
            QByteArrayView(reinterpret_cast<const char*>(bytes.data() + p), static_cast<qsizetype>(end - p)));
        p = end;
    }
    return path;
}

// --- Name conversions -------------------------------------------------------------

QString dotsToTreePath(const QString& dotted, const QString& treeName)
{
    QString rest = dotted;
    QString result;
    while (!rest.isEmpty()) {
        const qsizetype dot = rest.indexOf(QLatin1Char('.'));
        if (dot >= 0) {
            result = QLatin1Char('\\') + rest.left(dot) + result;
            rest = rest.mid(dot + 1);
        } else {
            result = rest + result;
            rest.clear();
        }
    }
    return treeName + QLatin1Char('\\') + result;
}

QString treePathToDots(const QString& treePath, const QString& treeName)
{
    if (treePath.isEmpty())
        return QStringLiteral("[Owner unavailable]");
    QString path = treePath;
    if (!treeName.isEmpty() && path.startsWith(treeName, Qt::CaseInsensitive)) {
        path = path.mid(treeName.size());
        // The tree alone names its root.
        if (path.isEmpty())
            return QStringLiteral("[Root]");
    }
    QString result;
    qsizetype i = 1;
    while (!path.isEmpty()) {
        if (path.at(path.size() - i) == QLatin1Char('\\')) {
            result += path.right(i - 1) + QLatin1Char('.');
            path.chop(i);
            i = 1;
        } else if (i == path.size()) {
            result = path + QLatin1Char('.');
            break;
        } else {
            ++i;
        }
    }
    result.chop(1);
    return result;
}

bool isPathOfAnotherTree(const QString& treePath, const QString& treeName)
{
    const QString path = treePath.trimmed();
    const qsizetype backslash = path.indexOf(QLatin1Char('\\'));
    if (treeName.isEmpty() || backslash <= 0)
        return false;
    return path.left(backslash).compare(treeName, Qt::CaseInsensitive) != 0;
}

// --- Client routines ----------------------------------------------------------------

QString statusText(NWRCODE code)
{
    // The client's 32-bit result reads as a signed number (-601, 34817).
    return QString::number(static_cast<qint32>(code));
}

NWRCODE openConnectionByName(NetWareClient& client, const QString& server, NWCONN_HANDLE& connection,
                             const OpenFlags& flags)
{
    return client.NWCCOpenConnByName(0, toAnsi(server), flags.nameFormat, flags.openState, flags.transport, connection);
}

QString connectionNumberText(NetWareClient& client, NWCONN_HANDLE connection)
{
    std::array<quint8, 4> number{};
    client.NWCCGetConnInfo(connection, NWCC_INFO_CONN_NUMBER, number);
    return QString::number(uint(number[0]) + 256u * uint(number[1]));
}

}  // namespace nw
