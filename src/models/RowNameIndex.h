#pragma once
// Rows of a grid by name, found in constant time without allocating: a
// comparison files a few hundred names per server for a hundred servers or
// more, and a look-up per name must cost little more than writing its cell.
// Names compare as they are or without regard to case (as QString::compare
// does); a name seen twice keeps the first row given for it.

#include "models/GridData.h"

#include <QString>
#include <QStringView>

#include <cstddef>
#include <vector>

namespace models {

class RowNameIndex {
public:
    explicit RowNameIndex(Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive) : m_sensitivity(sensitivity) {}

    // Indexes column 0 of the rows from firstRow on.
    void rebuild(const GridData& grid, int firstRow);
    // The row given for the name, or -1.
    int find(QStringView name) const;
    // Records the row unless the name already has one; returns the name's row.
    int add(const QString& name, int row);
    void clear();
    qsizetype size() const { return m_count; }

    // The hash of a name: names equal under the index's rule hash alike.
    static size_t hashName(QStringView name, Qt::CaseSensitivity sensitivity);

private:
    struct Slot {
        size_t hash = 0;
        int row = -1;  // -1: empty
        QString name;
    };

    // The slot holding the name, or the empty slot where it would go.
    size_t slotOf(QStringView name, size_t hash) const;
    bool matches(const Slot& slot, QStringView name, size_t hash) const;
    void grow();

    Qt::CaseSensitivity m_sensitivity;
    std::vector<Slot> m_slots;  // open addressing, a power of two long
    qsizetype m_count = 0;
};

}  // namespace models
