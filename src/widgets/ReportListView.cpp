#include "widgets/ReportListView.h"

#include "widgets/TroubleLook.h"

#include "text/Twips.h"
#include "settings/ColumnScale.h"

#include <cmath>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace widgets {

ReportListView::ReportListView(QWidget* parent)
    : QWidget(parent)
    , m_model(new ReportListModel(this))
    , m_view(new QTreeView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);

    m_view->setObjectName(QStringLiteral("listView"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(new TroubleDelegate(m_view));
    m_view->setRootIsDecorated(false);
    m_view->setItemsExpandable(false);
    m_view->setUniformRowHeights(true);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSortingEnabled(false);
    m_view->setWordWrap(false);
    m_view->header()->setStretchLastSection(false);
    m_view->header()->setSectionsClickable(true);
    m_view->header()->setSectionsMovable(false);
    m_view->header()->setMinimumSectionSize(1);
    m_view->viewport()->installEventFilter(this);
    m_view->header()->viewport()->installEventFilter(this);
    m_view->installEventFilter(this);
    connect(m_view->header(), &QHeaderView::sectionHandleDoubleClicked, this, &ReportListView::fitRequested);

    connect(m_view->header(), &QHeaderView::sectionClicked, this, &ReportListView::columnClicked);
    connect(m_view, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { Q_EMIT itemClicked(index.row()); });
    connect(m_view, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT itemDoubleClicked(index.row()); });
    connect(m_model, &ReportListModel::columnWidthChanged, this, &ReportListView::applyColumnWidth);
    connect(m_model, &QAbstractItemModel::columnsInserted, this, [this](const QModelIndex&, int first, int last) {
        for (int c = first; c <= last; ++c)
            applyColumnWidth(c);
    });
    connect(m_model, &QAbstractItemModel::layoutChanged, this, [this] {
        m_view->header()->setSortIndicatorShown(true);
        m_view->header()->setSortIndicator(m_model->sortColumn(), m_model->sortOrder());
    });
    connect(m_view->header(), &QHeaderView::sectionResized, this, [this](int logical, int, int newSize) {
        if (m_applyingWidths)
            return;
        m_applyingWidths = true;
        m_model->setColumnWidthTwips(logical, static_cast<int>(std::lround(texts::pixelsToTwips(newSize, dpi()))));
        m_applyingWidths = false;
        if (m_headingPressed)
            Q_EMIT columnSizedByHand(logical);
    });
}

ReportListView::~ReportListView()
{
    // The view goes first, no longer watched: while it is taken apart its
    // viewport still sends events, and the view is no view any more by then.
    m_view->viewport()->removeEventFilter(this);
    m_view->header()->viewport()->removeEventFilter(this);
    delete m_view;
}

double ReportListView::dpi() const
{
    return settings::columnDotsPerInch(this);
}

int ReportListView::addColumn(const QString& heading, Qt::Alignment alignment, int widthTwips)
{
    return m_model->addColumn(heading, alignment, widthTwips);
}

void ReportListView::applyColumnWidth(int col)
{
    if (m_applyingWidths || col < 0 || col >= columnCount())
        return;
    m_applyingWidths = true;
    m_view->header()->resizeSection(col, texts::twipsToPixels(m_model->columnWidthTwips(col), dpi()));
    m_applyingWidths = false;
}

bool ReportListView::multiSelect() const
{
    return m_view->selectionMode() == QAbstractItemView::ExtendedSelection;
}

void ReportListView::setMultiSelect(bool on)
{
    m_view->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QList<int> ReportListView::selectedRows() const
{
    QList<int> rows;
    const QModelIndexList indexes = m_view->selectionModel()->selectedRows();
    rows.reserve(indexes.size());
    for (const QModelIndex& index : indexes)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ReportListView::setSelectedRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    m_view->selectionModel()->setCurrentIndex(m_model->index(row, 0),
                                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ReportListView::setRowSelected(int row, bool selected)
{
    if (row < 0 || row >= rowCount())
        return;
    m_view->selectionModel()->select(m_model->index(row, 0),
                                     (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                                         | QItemSelectionModel::Rows);
}

int ReportListView::currentRow() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void ReportListView::ensureVisible(int row)
{
    if (row >= 0 && row < rowCount())
        m_view->scrollTo(m_model->index(row, 0), QAbstractItemView::EnsureVisible);
}

void ReportListView::sortByColumn(int col, Qt::SortOrder order)
{
    m_model->sortByColumn(col, order);
    m_view->header()->setSortIndicatorShown(true);
    m_view->header()->setSortIndicator(col, order);
}

void ReportListView::requestMenuFromKeyboard()
{
    const int row = currentRow();
    QPoint local(0, 0);
    if (row >= 0) {
        const QModelIndex index = m_model->index(row, 0);
        m_view->scrollTo(index);
        local = m_view->visualRect(index).center();
    }
    m_menuPosition = m_view->viewport()->mapToGlobal(local);
    Q_EMIT mouseDown(Qt::RightButton, Qt::NoModifier, row);
}

bool ReportListView::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)
        && watched == m_view->header()->viewport())
        m_headingPressed = static_cast<QMouseEvent*>(event)->buttons().testFlag(Qt::LeftButton);
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
            requestMenuFromKeyboard();
            return true;
        }
    }
    // The event's type is looked at first: while the view is being taken
    // apart it is no longer a scroll area, and asking it for its viewport
    // would call into what is already gone.
    if (event->type() == QEvent::ContextMenu && (watched == m_view || watched == m_view->viewport())
        && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        requestMenuFromKeyboard();
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress && watched == m_view->viewport()) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        m_menuPosition = mouse->globalPosition().toPoint();
        const QModelIndex index = m_view->indexAt(mouse->position().toPoint());
        Q_EMIT mouseDown(mouse->button(), mouse->modifiers(), index.isValid() ? index.row() : -1);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace widgets
