#pragma once
// Windows-1252, the ANSI code page in which Western Windows installations keep
// REG_SZ text and in which regedit reads a REGEDIT4 file. Qt offers Latin-1
// only; the two differ in 0x80..0x9F, where Windows-1252 puts the euro sign,
// typographic quotes and dashes that people type into server descriptions.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace texts {

// Every byte maps to a character; the five unassigned bytes keep their C1 control code.
QString fromWindows1252(QByteArrayView bytes);

// The text's bytes, or nothing when a character has no Windows-1252 byte.
std::optional<QByteArray> toWindows1252(QStringView text);

// The text's bytes, a character without a Windows-1252 byte becoming "?", as
// the system's own conversion makes it.
QByteArray toWindows1252Lossy(QStringView text);

}  // namespace texts
