#pragma once
// The rules of the loaded-module comparison, kept apart from its window: how
// a server's modules go into the comparison table and the description table,
// when a row counts as "all servers agree", which row the find box lands on,
// how header clicks sort, which columns each "Show Column" choice shows, and
// how a server leaves the comparison again.
//
// Comparison table: rows 0 and 1 are headers (server name, "Version"/"Date"),
// column 0 the module file names; each server owns a version column (odd
// index) and the date column right after it.
// Description table: row 0 the server names (one column each, column 0
// empty), column 0 the file names exactly as each server spelled them.

#include "views/ServerReaders.h"
#include "models/FlexGridModel.h"
#include "models/RowNameIndex.h"

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <vector>

namespace views {

enum class NlmShow { Both, Version, Date };

// The word kept in the ShowCols setting, and back ("Both" for anything unknown).
QString nlmShowWord(NlmShow show);
NlmShow nlmShowFromWord(const QString& word, bool* known = nullptr);

inline constexpr int kNlmFirstDataRow = 2;
inline constexpr int kNlmShownColWidth = 1125;  // twips

// Finds table rows by module file name in constant time. Servers list a few
// hundred modules each and a comparison can hold a hundred servers, so a scan
// of the name column per module would cost more than the reading itself.
class NlmRowIndex {
public:
    explicit NlmRowIndex(Qt::CaseSensitivity sensitivity) : m_rows(sensitivity) {}

    // Indexes column 0 of rows firstRow and below; the first of equal names wins.
    void rebuild(const models::GridData& grid, int firstRow) { m_rows.rebuild(grid, firstRow); }
    // The row holding `name`, or -1.
    int find(QStringView name) const { return m_rows.find(name); }
    void add(const QString& name, int row) { m_rows.add(name, row); }

private:
    models::RowNameIndex m_rows;
};

// Appends the two columns of a server to the comparison table and its column
// to the description table, with headers for the chosen option. Returns the
// description column.
int addNlmServerColumns(models::FlexGridModel& nlms, models::FlexGridModel& descriptions, const QString& server,
                        NlmShow show);

// Files the modules of the servers of one opening. The tables' rows are only
// appended while it runs, so the name indexes built at the start stay right;
// the rows are sorted by name once, at the end. Names are unique ignoring
// case, so that one sort orders the rows exactly as a sort after every server
// would.
class NlmComparisonFill {
public:
    // What a window keeps from one opening to the next. Version and date
    // texts already made, by their numbers: making a date text asks the
    // system for its format each time, and servers share most versions and
    // dates. And the name indexes of both tables, which hold while a table's
    // row names stay as they were (an opening that brings no new module
    // leaves them so).
    struct Texts {
        QHash<quint64, QString> versions;
        QHash<quint32, QString> dates;

        NlmRowIndex rows{Qt::CaseInsensitive};
        NlmRowIndex descriptionRows{Qt::CaseSensitive};
        quint64 rowsVersion = 0;             // row names version of the comparison table
        quint64 descriptionRowsVersion = 0;  // and of the description table
        // The rows of each module of the last server, by its place in the
        // server's list: servers load their modules in much the same order,
        // so the row is usually found by one comparison of names, without
        // hashing. Each holds while its table's index does.
        std::vector<int> rowsByPlace;
        std::vector<int> descriptionRowsByPlace;
    };

    NlmComparisonFill(models::FlexGridModel& nlms, models::FlexGridModel& descriptions, QLocale locale = QLocale(),
                      Texts* texts = nullptr);

    // Columns for the next server; its modules follow.
    void addServer(const QString& server, NlmShow show);
    void addModules(const std::vector<LoadedModule>& modules);
    void addModule(const LoadedModule& module);
    // Sorts the data rows ascending by name.
    void finish();

private:
    // The kept indexes, rebuilt when a table's row names changed since.
    void validateIndexes();

    models::FlexGridModel& m_nlms;
    models::FlexGridModel& m_descriptions;
    const QString& versionText(const nw::NLMInfo& info);
    const QString& dateText(const nw::NLMInfo& info);

    int m_descriptionColumn = -1;
    size_t m_place = 0;  // of the next module in the server's list
    QLocale m_locale;
    Texts m_ownTexts;
    Texts* m_texts;
    QString m_scratch;
};

// True when every server's cell equals the previous server's in the kinds of
// column shown (an empty cell included). A single server always agrees.
bool nlmRowMatches(const models::GridData& grid, int row, NlmShow show);

// Row heights after applyNlmDifferences: without the filter every data row is
// shown; with it, rows in which the servers agree get height 0 and the others
// the height of row 0.
void applyNlmDifferences(models::FlexGridModel& grid, NlmShow show, bool differencesOnly);

// The first shown data row whose name begins with `text` (ignoring case); an
// empty text gives the first shown data row; -1 when none.
int findNlmRow(const models::GridData& grid, const QString& text);

// Header widths and texts for the chosen option.
void showNlmColumns(models::FlexGridModel& grid, NlmShow show);

// Header clicks: every column by what its texts mean (models/SortKeys.h):
// names by the locale's collation, versions by version, dates by date.
models::SortMode nlmSortMode(int col, bool descending);

// The version column of the server owning `col`, or -1 for the name column
// and columns past the end.
int nlmServerColumn(const models::GridData& grid, int col);
// The server name of the pair owning `col` (whichever of its two header
// cells carries it).
QString nlmServerName(const models::GridData& grid, int col);

// Takes the server owning `col` out of both tables: its description column
// (found by name) and its pair of comparison columns, the higher one first.
// The rows it leaves empty stay for the caller (the model's removeEmptyRows).
// False when `col` is not a server column.
bool removeNlmServer(models::FlexGridModel& nlms, models::FlexGridModel& descriptions, int col);

// The description a server gave of a module: its descriptive name, a line
// feed and its legal notice. The row is the one spelled exactly like
// `fileName`; when that row holds nothing for the server (it spelled the name
// in another case), the row with the server's own spelling. Empty and
// *found false when neither exists.
QString nlmDescription(const models::GridData& descriptions, const QString& fileName, const QString& server,
                       bool* found = nullptr);

}  // namespace views
