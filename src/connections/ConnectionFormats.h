#pragma once
// How the connections of a server read on screen: the names of connection
// types and status words, the filters, the optional columns and their texts,
// the order in which an active-connection bit list is read, and the settings
// the connections view and its column chooser share.

#include "settings/RegistryStore.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace connections {

// Connection type codes asked for, in order.
inline constexpr int kFirstTypeCode = 2;
inline constexpr int kLastTypeCode = 11;
// One active-connection list covers this many connection numbers; numbers
// are 16-bit signed in this view, so at most eight lists are read.
inline constexpr quint32 kBlockSize = 4096;
inline constexpr int kMaxBlocks = 8;
inline constexpr quint32 kHighestConnection = 32767;

// The title of an open-files window: "Open Files - ADMIN on FS1", leaving out
// what is not known.
QString openFilesTitle(const QString& user, const QString& server);

// "IPX" for 2 ... "IP" for 11; empty for any other code.
QString connectionTypeName(int code);
// "Normal", "Mac Station", ... by exact value; "Unknown" for any other word.
QString connectionStatusName(quint32 status);

// The entries of the type and status filter lists, "All" first.
const QStringList& typeFilterEntries();
const QStringList& statusFilterEntries();
inline const QString kAllFilter = QStringLiteral("All");
// A filter passes a name when it is "All" or equals it exactly.
bool filterPasses(const QString& filter, const QString& name);

// The optional columns, in the one order the view shows them.
enum class Column { Type, ConnTime, Read, Written, Requests, OpenFiles, Status };
inline constexpr int kOptionalColumnCount = 7;
inline const QString kUserHeading = QStringLiteral("User");
inline const QString kNumberHeading = QStringLiteral("Conn #");
const QStringList& optionalColumnHeadings();
QString columnHeading(Column column);

// Which optional columns a window shows. Always in table order, whatever
// order the stored text names them in.
class ColumnChoice {
public:
    ColumnChoice();  // all seven
    // From the stored SelectedColumns: headings separated by ","; pieces that
    // name no optional column are ignored. Missing: all seven.
    static ColumnChoice fromSetting(const std::optional<QString>& stored);
    static ColumnChoice none();

    bool shows(Column column) const { return m_shown[static_cast<size_t>(column)]; }
    void setShown(Column column, bool shown) { m_shown[static_cast<size_t>(column)] = shown; }
    // "User", "Conn #" and the shown optional headings, in column order.
    QStringList headings() const;
    // The shown optional headings joined by "," (what the chooser stores).
    QString settingText() const;

private:
    std::array<bool, kOptionalColumnCount> m_shown{};
};

// Pads with blanks on the left to `width`; longer text is left as it is.
QString padLeft(const QString& text, int width);
// "Conn #" cell: the number in decimal padded to 10.
QString connectionNumberText(quint32 number);
// The connection number in a "Conn #" cell (blanks ignored); nothing for
// text that is no number from 1 to 65535.
std::optional<quint16> connectionNumberOf(const QString& cell);

// A 6-byte counter, least significant byte first.
double counterValue(const std::array<quint8, 6>& counter);
// Bytes as kilobytes rounded to whole, grouped by thousands with the
// locale's separator, padded to 15: 1048576 -> "          1,024".
QString kilobytesText(double bytes, const QLocale& locale = QLocale());
// A count grouped by thousands, padded to 15.
QString requestsText(quint32 requests, const QLocale& locale = QLocale());
// A number of files, no grouping, padded to 10.
QString openFilesText(int files);

// A date and time of the server: year since 1900 (0 to 179), month, day,
// hour, minute, second. Nothing when the bytes make no date.
std::optional<QDateTime> serverDateTime(std::span<const quint8> bytes);
// Time from login to now, both cut to the whole minute: "02D 05H 07M".
// A login after the server's clock counts as no time at all.
QString connectionTimeText(const QDateTime& login, const QDateTime& now);

// The connection numbers a bit list marks, in the order they are read:
// bytes from the first, within a byte the most significant bit first.
// Numbers above 32767 are left out.
std::vector<quint16> activeConnectionNumbers(quint32 blockStart, const std::array<quint8, 512>& bits);
// The bits of one byte of the list, most significant first, as numbers.
void appendByteConnections(quint32 blockStart, int byteIndex, quint8 byte, std::vector<quint16>& out);

// Text of a broadcast result byte ("Sent", ... "Unable to send message").
QString sendResultText(quint8 result);
inline const QString kUnableToSend = QStringLiteral("Unable to send message");

// ---- settings ----------------------------------------------------------------
QString userConnectionsKeyPath();  // Software\Korvanel\Veskaro\UserConnectionsWindow

struct ConnectionSettings {
    QString typeFilter = kAllFilter;         // ConnType
    QString statusFilter = kAllFilter;       // ConnStatus
    std::optional<QString> showAtStartup;    // ShowAtStartup as stored (room for 24)
    std::optional<QString> selectedColumns;  // SelectedColumns (room for 99)

    // The opening shows the chooser only for exactly "True", or when missing.
    bool chooserAtOpening() const { return !showAtStartup || *showAtStartup == u"True"; }
    // The chooser's box is cleared only by exactly "False".
    bool chooserBoxTicked() const { return !showAtStartup || *showAtStartup != u"False"; }
    ColumnChoice columns() const { return ColumnChoice::fromSetting(selectedColumns); }
};

ConnectionSettings readConnectionSettings(const settings::RegistryStore& store);

// What the chooser saves, in the order it saves them.
void saveChooserSettings(settings::RegistryStore& store, const QString& typeFilter, const QString& statusFilter,
                         bool showAtStartup, const ColumnChoice& columns);
// What "&List Connections" remembers.
void saveFilterSettings(settings::RegistryStore& store, const QString& typeFilter, const QString& statusFilter);

}  // namespace connections
