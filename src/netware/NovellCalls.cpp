#include "netware/NovellCalls.h"

namespace nw {

QString fcnBytesToString(std::span<const char> bytes)
{
    QString text;
    for (char c : bytes) {
        if (c == '\0')
            break;
        text.append(QChar(static_cast<uchar>(c)));
    }
    return text;
}

QString fcnBytesToString(std::span<const quint8> bytes)
{
    return fcnBytesToString(std::span<const char>(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

QByteArray toAnsi(const QString& text)
{
    return text.toLatin1();
}

}  // namespace nw
