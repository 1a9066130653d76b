#include "views/NLMComparison.h"

namespace views {

namespace {

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

bool isVersionColumn(int col)
{
    return col >= 1 && col % 2 == 1;
}

}  // namespace

QString nlmShowWord(NlmShow show)
{
    switch (show) {
    case NlmShow::Version:
        return QStringLiteral("Version");
    case NlmShow::Date:
        return QStringLiteral("Date");
    case NlmShow::Both:
        break;
    }
    return QStringLiteral("Both");
}

NlmShow nlmShowFromWord(const QString& word, bool* known)
{
    NlmShow show = NlmShow::Both;
    bool recognised = true;
    if (word == u"Version")
        show = NlmShow::Version;
    else if (word == u"Date")
        show = NlmShow::Date;
    else if (word != u"Both")
        recognised = false;
    if (known)
        *known = recognised;
    return show;
}

// ---- filling ---------------------------------------------------------------

namespace {

// Headers and widths of one server's pair of columns: the shown kinds carry the
// server name and "Version" or "Date"; a hidden one is blank and 0 wide.
void labelNlmPair(models::FlexGridModel& grid, int versionCol, const QString& server, NlmShow show)
{
    const int dateCol = versionCol + 1;
    const bool showVersion = show != NlmShow::Date;
    const bool showDate = show != NlmShow::Version;
    grid.setTextMatrix(0, versionCol, showVersion ? server : QString());
    grid.setTextMatrix(1, versionCol, showVersion ? QStringLiteral("Version") : QString());
    grid.setColWidth(versionCol, showVersion ? kNlmShownColWidth : 0);
    grid.setTextMatrix(0, dateCol, showDate ? server : QString());
    grid.setTextMatrix(1, dateCol, showDate ? QStringLiteral("Date") : QString());
    grid.setColWidth(dateCol, showDate ? kNlmShownColWidth : 0);
}

}  // namespace

int addNlmServerColumns(models::FlexGridModel& nlms, models::FlexGridModel& descriptions, const QString& server,
                        NlmShow show)
{
    const int versionCol = nlms.cols();
    const int dateCol = versionCol + 1;
    nlms.setCols(versionCol + 2);
    const int descriptionCol = std::max(1, descriptions.cols());
    descriptions.setCols(descriptionCol + 1);
    descriptions.setTextMatrix(0, descriptionCol, server);

    labelNlmPair(nlms, versionCol, server, show);

    // Module cells read best right-aligned; the headers stay centred over
    // them (the earlier servers' headers already are).
    nlms.setColAlignment(versionCol, kRight);
    nlms.setColAlignment(dateCol, kRight);
    for (int r = 0; r < std::min(2, nlms.rows()); ++r) {
        for (const int c : {0, versionCol, dateCol})
            nlms.setCellAlignment(r, c, kCentred);
    }
    return descriptionCol;
}

NlmComparisonFill::NlmComparisonFill(models::FlexGridModel& nlms, models::FlexGridModel& descriptions, QLocale locale,
                                     Texts* texts)
    : m_nlms(nlms)
    , m_descriptions(descriptions)
    , m_locale(std::move(locale))
    , m_texts(texts ? texts : &m_ownTexts)
{
}

void NlmComparisonFill::validateIndexes()
{
    const quint64 rows = m_nlms.grid().rowNamesVersion();
    if (m_texts->rowsVersion != rows) {
        m_texts->rows.rebuild(m_nlms.grid(), kNlmFirstDataRow);
        m_texts->rowsVersion = rows;
        m_texts->rowsByPlace.clear();
    }
    const quint64 descriptionRows = m_descriptions.grid().rowNamesVersion();
    if (m_texts->descriptionRowsVersion != descriptionRows) {
        m_texts->descriptionRows.rebuild(m_descriptions.grid(), 1);
        m_texts->descriptionRowsVersion = descriptionRows;
        m_texts->descriptionRowsByPlace.clear();
    }
}

void NlmComparisonFill::addServer(const QString& server, NlmShow show)
{
    m_descriptionColumn = addNlmServerColumns(m_nlms, m_descriptions, server, show);
    // Between servers the window lets events run, and a click may sort the table.
    validateIndexes();
    m_place = 0;
}

namespace {

// The row of `name` in a table whose rows are only appended while its index
// holds: the row the last server's module at this place went to when it has
// this very name (the index would give that row too), else the index's, else
// a new row. `byPlace` learns the row.
int rowOfModule(models::FlexGridModel& table, NlmRowIndex& index, std::vector<int>& byPlace, size_t place,
                const QString& name, quint64& indexVersion)
{
    int row = -1;
    if (place < byPlace.size() && table.grid().text(byPlace[place], 0) == name)
        row = byPlace[place];
    if (row < 0)
        row = index.find(name);
    if (row < 0) {
        row = table.addRow({name});
        index.add(name, row);
        indexVersion = table.grid().rowNamesVersion();
    }
    if (place < byPlace.size())
        byPlace[place] = row;
    else
        byPlace.push_back(row);
    return row;
}

}  // namespace

void NlmComparisonFill::addModules(const std::vector<LoadedModule>& modules)
{
    for (const LoadedModule& module : modules)
        addModule(module);
}

void NlmComparisonFill::addModule(const LoadedModule& module)
{
    if (m_descriptionColumn < 0)
        return;
    const QString& file = module.fileName;
    const size_t place = m_place++;
    const int row = rowOfModule(m_nlms, m_texts->rows, m_texts->rowsByPlace, place, file, m_texts->rowsVersion);
    const int dateCol = m_nlms.cols() - 1;
    const nw::NLMInfo& info = module.info;
    // Most servers run the same module in the same version as the server to
    // their left: the text is then shared with that cell, not held again.
    const auto shared = [this, row](QString text, int leftCol) {
        const QString& left = m_nlms.textMatrix(row, leftCol);
        return left == text ? left : text;
    };
    m_nlms.setTextMatrix(row, dateCol - 1, shared(versionText(info), dateCol - 3));
    m_nlms.setTextMatrix(row, dateCol, shared(dateText(info), dateCol - 2));

    const int descriptionRow = rowOfModule(m_descriptions, m_texts->descriptionRows, m_texts->descriptionRowsByPlace,
                                           place, file, m_texts->descriptionRowsVersion);
    // The description too is usually the left neighbour's, word for word.
    const QString& left = m_descriptions.grid().text(descriptionRow, m_descriptionColumn - 1);
    const bool sameAsLeft = left.size() == module.descriptiveName.size() + 1 + module.copyright.size()
                            && left.startsWith(module.descriptiveName)
                            && left.at(module.descriptiveName.size()) == QLatin1Char('\n')
                            && left.endsWith(module.copyright);
    m_descriptions.setTextMatrix(descriptionRow, m_descriptionColumn,
                                 sameAsLeft ? left : module.descriptiveName + QLatin1Char('\n') + module.copyright);
}

const QString& NlmComparisonFill::versionText(const nw::NLMInfo& info)
{
    // Numbers beyond 16 bits do not occur; they go uncached rather than collide.
    if (info.majorVersion > 0xFFFF || info.minorVersion > 0xFFFF || info.revision > 0xFFFF) {
        m_scratch = nlmVersionText(info.majorVersion, info.minorVersion, info.revision);
        return m_scratch;
    }
    const quint64 key = (quint64(info.majorVersion) << 32) | (quint64(info.minorVersion) << 16) | info.revision;
    auto it = m_texts->versions.find(key);
    if (it == m_texts->versions.end())
        it = m_texts->versions.insert(key, nlmVersionText(info.majorVersion, info.minorVersion, info.revision));
    return *it;
}

const QString& NlmComparisonFill::dateText(const nw::NLMInfo& info)
{
    if (info.year > 0xFFFF || info.month > 0xFF || info.day > 0xFF) {
        m_scratch = nlmDateText(info.year, info.month, info.day, m_locale);
        return m_scratch;
    }
    const quint32 key = (info.year << 16) | (info.month << 8) | info.day;
    auto it = m_texts->dates.find(key);
    if (it == m_texts->dates.end())
        it = m_texts->dates.insert(key, nlmDateText(info.year, info.month, info.day, m_locale));
    return *it;
}

void NlmComparisonFill::finish()
{
    // Rows moved by the sort change the table's row names version: the kept
    // index is then rebuilt for the next server.
    m_nlms.sortRows(0, models::SortMode::StringNoCaseAscending, kNlmFirstDataRow);
}

// ---- differences -------------------------------------------------------------

bool nlmRowMatches(const models::GridData& grid, int row, NlmShow show)
{
    const bool versions = show != NlmShow::Date;
    const bool dates = show != NlmShow::Version;
    for (int col = 3; col + 1 < grid.cols(); col += 2) {
        if (versions && grid.text(row, col) != grid.text(row, col - 2))
            return false;
        if (dates && grid.text(row, col + 1) != grid.text(row, col - 1))
            return false;
    }
    return true;
}

void applyNlmDifferences(models::FlexGridModel& grid, NlmShow show, bool differencesOnly)
{
    const int shownHeight = grid.rowHeight(0);
    grid.beginUpdate();
    for (int r = kNlmFirstDataRow; r < grid.rows(); ++r) {
        const bool hide = differencesOnly && nlmRowMatches(grid.grid(), r, show);
        grid.setRowHeight(r, hide ? 0 : shownHeight);
    }
    grid.endUpdate();
}

// ---- find ------------------------------------------------------------------------

int findNlmRow(const models::GridData& grid, const QString& text)
{
    for (int r = kNlmFirstDataRow; r < grid.rows(); ++r) {
        if (grid.isRowShown(r) && grid.text(r, 0).startsWith(text, Qt::CaseInsensitive))
            return r;
    }
    return -1;
}

// ---- column display ----------------------------------------------------------------

int nlmServerColumn(const models::GridData& grid, int col)
{
    if (col < 1 || col >= grid.cols())
        return -1;
    const int versionCol = isVersionColumn(col) ? col : col - 1;
    return versionCol + 1 < grid.cols() ? versionCol : -1;
}

QString nlmServerName(const models::GridData& grid, int col)
{
    const int versionCol = nlmServerColumn(grid, col);
    if (versionCol < 0)
        return {};
    const QString& name = grid.text(0, col);
    if (!name.isEmpty())
        return name;
    const QString& version = grid.text(0, versionCol);
    return version.isEmpty() ? grid.text(0, versionCol + 1) : version;
}

void showNlmColumns(models::FlexGridModel& grid, NlmShow show)
{
    grid.beginUpdate();
    for (int versionCol = 1; versionCol + 1 < grid.cols(); versionCol += 2) {
        // Outside "Both" only one header cell of the pair carries the name.
        const QString server = nlmServerName(grid.grid(), versionCol);
        labelNlmPair(grid, versionCol, server, show);
    }
    grid.endUpdate();
}

models::SortMode nlmSortMode(int /*col*/, bool descending)
{
    // Names by collation, versions by major, minor and revision, dates by date.
    return descending ? models::SortMode::TypedDescending : models::SortMode::TypedAscending;
}

// ---- removing a server ----------------------------------------------------------------

bool removeNlmServer(models::FlexGridModel& nlms, models::FlexGridModel& descriptions, int col)
{
    const int versionCol = nlmServerColumn(nlms.grid(), col);
    if (versionCol < 0)
        return false;
    const QString server = nlmServerName(nlms.grid(), col);
    nlms.beginUpdate();
    for (int c = 1; c < descriptions.cols(); ++c) {
        if (descriptions.textMatrix(0, c) == server) {
            descriptions.removeColumn(c);
            break;
        }
    }
    nlms.removeColumn(versionCol + 1);
    nlms.removeColumn(versionCol);
    nlms.endUpdate();
    return true;
}

QString nlmDescription(const models::GridData& descriptions, const QString& fileName, const QString& server,
                       bool* found)
{
    int col = -1;
    for (int c = 1; c < descriptions.cols(); ++c) {
        if (descriptions.text(0, c) == server) {
            col = c;
            break;
        }
    }
    int exactRow = -1;
    int otherSpelling = -1;
    if (col >= 0) {
        for (int r = 1; r < descriptions.rows(); ++r) {
            const QString& name = descriptions.text(r, 0);
            if (exactRow < 0 && name == fileName)
                exactRow = r;
            else if (otherSpelling < 0 && !descriptions.text(r, col).isEmpty()
                     && name.compare(fileName, Qt::CaseInsensitive) == 0)
                otherSpelling = r;
        }
    }
    int row = exactRow;
    if (row < 0 || (descriptions.text(row, col).isEmpty() && otherSpelling >= 0))
        row = otherSpelling;
    if (found)
        *found = row >= 0;
    return row >= 0 ? descriptions.text(row, col) : QString();
}

}  // namespace views
