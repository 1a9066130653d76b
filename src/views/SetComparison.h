#pragma once
// The rules of the SET parameter comparison, apart from its window: which
// row a parameter belongs to, which rows the differences filter hides and
// which row a search finds. Column 0 holds the parameter name, column 1 its
// category, and every further column the values of one server.

#include "views/ServerFormats.h"
#include "models/FlexGridModel.h"
#include "models/RowNameIndex.h"

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <vector>

namespace views {

inline constexpr int kSetNameCol = 0;
inline constexpr int kSetCategoryCol = 1;
inline constexpr int kSetFirstServerCol = 2;
// Width of a server's value column, in twips.
inline constexpr int kSetServerColWidth = 1830;

// Header of a server's value column: "FS1 - Value".
QString serverColumnHeader(const QString& server);

// True when a server column with exactly this server's header exists.
bool isServerInSetComparison(const models::GridData& grid, const QString& server);

// Parameter names to rows, without regard to case. NetWare names are
// compared as the server does: "Maximum Packet Receive Buffers" and
// "MAXIMUM PACKET RECEIVE BUFFERS" are one parameter. A name seen twice maps
// to the first row that holds it.
class SetRowIndex {
public:
    // Reads the names of every data row.
    void rebuild(const models::GridData& grid) { m_rows.rebuild(grid, grid.fixedRows()); }
    // The row holding the name, or -1.
    int find(QStringView name) const { return m_rows.find(name); }
    // Records a new row unless the name already has one.
    void add(const QString& name, int row) { m_rows.add(name, row); }
    void clear() { m_rows.clear(); }
    qsizetype size() const { return m_rows.size(); }

private:
    models::RowNameIndex m_rows{Qt::CaseInsensitive};
};

// Writes one parameter of a server into column `col` and returns its row.
// With lookUp (from the second server column on) an existing row of the same
// name is used; otherwise, or when none exists, a row is appended with the
// name and category text; the category is written only then. The value cell
// is right-aligned.
int addSetParameter(models::FlexGridModel& grid, SetRowIndex& index, int col, const SetParameter& parameter,
                    bool lookUp, const QLocale& locale = QLocale());

// Adds server columns one after another in one opening of the comparison.
// Rows are only appended while servers come in, so the name index stays
// right; finish() sorts the rows ascending by name (generic sort) once. The
// sort keeps rows of equal keys in the order they came, so the result is the
// order a sort after every server would give.
class SetComparisonFill {
public:
    // What a window keeps from one opening to the next: the value texts
    // already made (rendering a number asks the system for its format each
    // time, and servers share most values) and the name index of its grid,
    // which holds while the grid's row names stay as they were (an opening
    // that brings no new parameter leaves them so).
    struct Texts {
        // Values of up to eight bytes, by type, length and bytes.
        struct ShortValue {
            quint64 bytes = 0;
            quint32 type = 0;
            quint32 size = 0;
            friend bool operator==(const ShortValue& a, const ShortValue& b)
            {
                return a.bytes == b.bytes && a.type == b.type && a.size == b.size;
            }
            friend size_t qHash(const ShortValue& key, size_t seed = 0) noexcept
            {
                return qHashMulti(seed, key.bytes, key.type, key.size);
            }
        };
        QHash<ShortValue, QString> shortValues;
        QHash<QByteArray, QString> longValues;  // the type's four bytes, then the value bytes

        SetRowIndex rows;
        quint64 rowsVersion = 0;  // the grid's row names version the index holds for
        // The row of each parameter of the last server, by its place in the
        // server's list: servers list their parameters in the same order, so
        // the row is usually found by one comparison of names, without hashing.
        std::vector<int> rowsByPlace;
    };

    explicit SetComparisonFill(models::FlexGridModel& grid, Texts* texts = nullptr)
        : m_grid(grid)
        , m_texts(texts ? texts : &m_ownTexts)
    {
    }

    // Appends the server's column (header and width) and returns its index.
    int beginServer(const QString& server) { return beginColumn(serverColumnHeader(server)); }
    // The same for a column of any header (a server's kept state).
    int beginColumn(const QString& header);
    void add(const SetParameter& parameter);
    // A parameter whose value is a text already (as the history keeps it).
    void addText(const SetParameter& parameter, const QString& value);
    // Sorts the data rows by name unless no server was added.
    void finish();

private:
    const QString& valueText(const SetParameter& parameter);

    models::FlexGridModel& m_grid;
    QLocale m_locale;  // made once: making one asks the system
    Texts m_ownTexts;
    Texts* m_texts;
    QByteArray m_longKey;         // reused for every long value's look-up
    size_t m_place = 0;           // of the next parameter in the server's list
    bool m_startedEmpty = false;  // a first server filled the index without looking up
    bool m_added = false;         // a server came since the last sort
    bool m_lookUp = false;
    int m_col = -1;
};

// The differences rule: true when some server's value differs, as text, from
// the one to its left. With a single server nothing differs.
bool parameterRowDiffers(const models::GridData& grid, int row);

// Shows every data row (height of row 0), or with differencesOnly hides
// (height 0) those in which all servers agree.
void applySetDifferences(models::FlexGridModel& grid, bool differencesOnly);

// The first shown data row whose name begins with `text`, without regard to
// case; -1 when none does.
int findSetRow(const models::GridData& grid, const QString& text);

}  // namespace views
