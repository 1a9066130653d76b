#pragma once
// The rows of a connection list by connection number. A refresh looks up
// every connection it reads; scanning the "Conn #" texts for each would make
// a refresh of ten thousand connections compare fifty million texts. The
// index follows the list through sorting and removal (it is rebuilt from the
// "Conn #" cells whenever rows move), so it always names the first row, from
// the top, that carries a number, as a scan would.

#include <QObject>
#include <QStringList>

#include <vector>

namespace models {
class ReportListModel;
}

namespace connections {

class ConnectionRows : public QObject {
    Q_OBJECT
public:
    ConnectionRows(models::ReportListModel& model, int numberColumn, QObject* parent = nullptr);

    // The row showing the connection, or -1.
    int rowOf(quint16 number);
    // Replaces the row's cells or appends a row. Returns its row.
    int put(quint16 number, const QStringList& cells);
    // Removes every row whose number is not marked in `met` (indexed by
    // connection number). Returns the number of rows removed.
    int removeUnmet(const std::vector<bool>& met);

private:
    void rebuild();

    models::ReportListModel& m_model;
    int m_numberColumn;
    std::vector<int> m_rowOf;  // by connection number; -1: no row
    bool m_stale = true;
    bool m_appending = false;
};

}  // namespace connections
