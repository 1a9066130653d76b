#include "models/RowDifferences.h"

#include <QCoreApplication>
#include <QHash>

namespace models {

RowComparison compareRowCells(const QStringList& cells, const CellOrder& order)
{
    RowComparison result;
    result.cellCount = static_cast<int>(cells.size());
    result.marks.assign(cells.size(), CellMark::Agrees);
    for (qsizetype i = 1; i < cells.size(); ++i) {
        if (cells.at(i) != cells.at(0)) {
            result.differs = true;
            break;
        }
    }
    if (!result.differs) {
        result.common = cells.isEmpty() ? QString() : cells.at(0);
        result.commonCount = result.cellCount;
        return result;
    }

    // Count the present values; the first value to reach the highest count
    // from the left wins a tie.
    QHash<QString, int> counts;
    QHash<QString, qsizetype> firstSeen;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString& value = cells.at(i);
        if (value.isEmpty())
            continue;
        ++counts[value];
        if (!firstSeen.contains(value))
            firstSeen.insert(value, i);
    }
    qsizetype bestFirst = cells.size();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const qsizetype first = firstSeen.value(it.key());
        if (it.value() > result.commonCount || (it.value() == result.commonCount && first < bestFirst)) {
            result.common = it.key();
            result.commonCount = it.value();
            bestFirst = first;
        }
    }

    for (qsizetype i = 0; i < cells.size(); ++i) {
        const QString& value = cells.at(i);
        CellMark& mark = result.marks[static_cast<size_t>(i)];
        if (value == result.common)
            mark = CellMark::Agrees;
        else if (value.isEmpty())
            mark = CellMark::Missing;
        else if (order) {
            const int c = order(value, result.common);
            mark = c < 0 ? CellMark::Older : c > 0 ? CellMark::Newer : CellMark::Differs;
        } else
            mark = CellMark::Differs;
    }
    return result;
}

QString differenceToolTip(const CellDifference& cell)
{
    if (!cell.rowDiffers)
        return {};
    const QString shared = QCoreApplication::translate("models", "%1 of %2 servers share the most common value")
                               .arg(cell.commonCount)
                               .arg(cell.cellCount);
    QString what;
    switch (cell.mark) {
    case CellMark::Agrees:
        what = QCoreApplication::translate("models", "This server has it.");
        break;
    case CellMark::Differs:
        what = QCoreApplication::translate("models", "This server differs.");
        break;
    case CellMark::Missing:
        what = QCoreApplication::translate("models", "Missing on this server.");
        break;
    case CellMark::Older:
        what = QCoreApplication::translate("models", "Older on this server.");
        break;
    case CellMark::Newer:
        what = QCoreApplication::translate("models", "Newer on this server.");
        break;
    }
    QString text = shared;
    if (!cell.common.isEmpty())
        text += QStringLiteral(" (%1)").arg(cell.common.trimmed());
    return text + QStringLiteral(".\n") + what;
}

QString differingRowsText(int differing, int total, bool othersHidden)
{
    QString text = QCoreApplication::translate("models", "%1 of %2 rows differ").arg(differing).arg(total);
    if (othersHidden)
        text += QCoreApplication::translate("models", "; the other rows are hidden");
    return text;
}

}  // namespace models
