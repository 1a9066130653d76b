#include "widgets/FlexGrid.h"

#include "widgets/ColumnFit.h"
#include "widgets/TroubleLook.h"

#include "text/Twips.h"
#include "settings/ColumnScale.h"

#include <cmath>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace widgets {

namespace {

// Cells of the fixed columns look like headers; the others show their
// trouble level.
class FixedCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(FlexGridModel::kFixedCellRole).toBool()) {
            if (!(option->state & QStyle::State_Selected))
                option->backgroundBrush = option->palette.button();
            return;
        }
        applyTroubleLook(option, index);
    }
};

// Every header section holds one line per shown fixed row in the same font,
// so one measured section gives the height of all of them. Qt's own hint
// measures up to two hundred sections each time the header changes; a
// comparison of many servers changes it with every server.
class GridHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;

    QSize sizeHint() const override
    {
        QSize hint(0, 0);
        const int n = count();
        for (int i = 0; i < n; ++i) {
            const int logical = logicalIndex(i);
            if (!isSectionHidden(logical)) {
                hint = sectionSizeFromContents(logical);
                break;
            }
        }
        return hint;
    }
};

// The scrolling part of the grid. Scrolled to its end, a table view would
// push its last column against the right edge and cut the column at the left
// edge in two; here the end of the scroll bar, like every other step, starts
// with a whole column.
class ScrollingTable : public QTableView {
public:
    using QTableView::QTableView;

protected:
    void updateGeometries() override
    {
        QTableView::updateGeometries();
        startWithWholeColumn();
    }
    void scrollContentsBy(int dx, int dy) override
    {
        QTableView::scrollContentsBy(dx, dy);
        startWithWholeColumn();
    }

private:
    void startWithWholeColumn()
    {
        const QScrollBar* bar = horizontalScrollBar();
        if (horizontalScrollMode() != ScrollPerItem || bar->maximum() <= 0 || bar->value() != bar->maximum())
            return;
        QHeaderView* header = horizontalHeader();
        const int before = header->offset();
        header->setOffsetToSectionPosition(bar->value());
        if (header->offset() != before)
            viewport()->update();
    }
};

void setUpTable(QTableView* view, FlexGridModel* model, QObject* parent)
{
    view->setHorizontalHeader(new GridHeader(Qt::Horizontal, view));
    view->setModel(model);
    view->setItemDelegate(new FixedCellDelegate(parent));
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setSectionsClickable(false);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setMinimumSectionSize(1);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    view->viewport()->setMouseTracking(true);
}

}  // namespace

FlexGrid::FlexGrid(QWidget* parent)
    : QWidget(parent)
    , m_model(new FlexGridModel(this))
    , m_view(new ScrollingTable(this))
    , m_frozen(new QTableView(this))
    , m_frozenFoot(new QWidget(this))
{
    // The fixed columns stand beside the scrolling part, not over it: the
    // scrolling part then shows only the other columns and scrolls by whole
    // columns, none of them ever sliding under the fixed ones. One frame
    // goes round both.
    auto* box = new QFrame(this);
    box->setFrameShape(QFrame::StyledPanel);
    box->setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    auto* fixedSide = new QVBoxLayout;
    fixedSide->setContentsMargins(0, 0, 0, 0);
    fixedSide->setSpacing(0);
    fixedSide->addWidget(m_frozen, 1);
    fixedSide->addWidget(m_frozenFoot);  // as high as the scroll bar beside it
    auto* sides = new QHBoxLayout(box);
    sides->setContentsMargins(box->frameWidth(), box->frameWidth(), box->frameWidth(), box->frameWidth());
    sides->setSpacing(0);
    sides->addLayout(fixedSide);
    sides->addWidget(m_view, 1);
    m_view->setFrameShape(QFrame::NoFrame);
    m_frozenFoot->setFixedHeight(0);
    setFocusProxy(m_view);

    m_view->setObjectName(QStringLiteral("gridView"));
    setUpTable(m_view, m_model, this);
    setUpTable(m_frozen, m_model, this);
    // Cut-off cells, the frozen names included, give their full text as a tool tip.
    showElidedTextInToolTips(*m_view);
    showElidedTextInToolTips(*m_frozen);
    m_frozen->setObjectName(QStringLiteral("fixedColumnsView"));
    m_frozen->setSelectionModel(m_view->selectionModel());
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->hide();

    for (QWidget* w : {m_view->viewport(), m_frozen->viewport(), m_view->horizontalHeader()->viewport(),
                       m_frozen->horizontalHeader()->viewport()})
        w->installEventFilter(this);
    m_view->installEventFilter(this);

    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, m_frozen->verticalScrollBar(),
            &QScrollBar::setValue);
    // Only a shown fixed-column view leads: a hidden one clamps its value to nothing.
    connect(m_frozen->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (m_frozen->isVisible())
            m_view->verticalScrollBar()->setValue(value);
    });

    connect(m_model, &FlexGridModel::columnWidthChanged, this, &FlexGrid::applyColumnWidths);
    // Appended columns come with their widths; the fixed-column view never
    // shows them.
    connect(m_model, &QAbstractItemModel::columnsInserted, this, [this](const QModelIndex&, int first, int last) {
        for (int c = std::max(first, m_model->fixedCols()); c <= last; ++c)
            m_frozen->setColumnHidden(c, true);
        applyColumnWidthRange(first, last);
    });
    connect(m_model, &FlexGridModel::cellSelectionChanged, this, &FlexGrid::applySelection);
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_savedScroll = m_view->verticalScrollBar()->value(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        // A reset (sort, new columns, end of a batch) keeps the scroll position.
        // The headers forget their offset on a reset while the scroll bar keeps
        // its value, so the value is set afresh.
        m_view->doItemsLayout();
        QScrollBar* bar = m_view->verticalScrollBar();
        bar->setValue(m_savedScroll == 0 ? 1 : 0);
        bar->setValue(m_savedScroll);
    });
    connect(m_view->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int newSize) {
        if (m_applyingWidths || newSize <= 0)
            return;
        m_applyingWidths = true;
        m_model->setColWidth(logical, static_cast<int>(std::lround(texts::pixelsToTwips(newSize, dpi()))));
        m_applyingWidths = false;
        syncFrozenColumns();
        if (m_headingPressed)
            Q_EMIT columnSizedByHand(logical);
    });
    for (QTableView* view : {m_view, m_frozen})
        connect(view->horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this, &FlexGrid::fitRequested);
    connect(m_view->horizontalHeader(), &QHeaderView::geometriesChanged, this, &FlexGrid::syncFrozenColumns);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, &FlexGrid::currentMovedByKeyboard);

    applyColumnWidths(-1);
}

FlexGrid::~FlexGrid()
{
    // The views go first, no longer watched: while they are taken apart their
    // parts still send events, and the views are no views any more by then.
    for (QWidget* w : {m_view->viewport(), m_frozen->viewport(), m_view->horizontalHeader()->viewport(),
                       m_frozen->horizontalHeader()->viewport(), static_cast<QWidget*>(m_view)})
        w->removeEventFilter(this);
    delete m_view;
    delete m_frozen;
}

QTableView* FlexGrid::tableView() const
{
    return m_view;
}

double FlexGrid::dpi() const
{
    // Measuring the font is text shaping; it is done once per font and screen.
    if (m_dpi <= 0)
        m_dpi = settings::columnDotsPerInch(this);
    return m_dpi;
}

void FlexGrid::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange
        || event->type() == QEvent::StyleChange)
        rescaleColumns();
}

bool FlexGrid::event(QEvent* event)
{
    // A window moved to another screen may have another resolution.
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Show)
        rescaleColumns();
    return QWidget::event(event);
}

void FlexGrid::rescaleColumns()
{
    const double before = m_dpi;
    m_dpi = 0;
    if (before > 0 && dpi() != before)
        applyColumnWidths(-1);
}

void FlexGrid::setRedraw(bool on)
{
    if (!on) {
        ++m_redrawOffDepth;
        m_model->beginUpdate();
    } else if (m_redrawOffDepth > 0) {
        --m_redrawOffDepth;
        m_model->endUpdate();
    }
}

void FlexGrid::applyColumnWidths(int col)
{
    if (col < 0)
        applyColumnWidthRange(0, m_model->cols() - 1);
    else
        applyColumnWidthRange(col, col);
}

void FlexGrid::applyColumnWidthRange(int first, int last)
{
    m_applyingWidths = true;
    first = std::max(0, first);
    const int shown = m_model->columnCount();
    for (int c = first; c <= last && c < shown; ++c) {
        const int twips = m_model->colWidth(c);
        const int pixels = std::max(1, texts::twipsToPixels(twips, dpi()));
        // The fixed columns are shown by the view beside this one.
        m_view->setColumnHidden(c, twips == 0 || c < m_model->fixedCols());
        if (twips > 0 && c >= m_model->fixedCols() && m_view->columnWidth(c) != pixels)
            m_view->setColumnWidth(c, pixels);
    }
    m_view->horizontalHeader()->setVisible(m_model->fixedRows() > 0);
    m_applyingWidths = false;
    syncFrozenColumns();
}

void FlexGrid::syncFrozenColumns()
{
    if (m_model->fixedCols() == 0 || m_model->cols() == 0) {
        m_frozen->hide();
        return;
    }
    int width = 0;
    for (int c = 0; c < m_model->cols(); ++c) {
        const bool shown = c < m_model->fixedCols() && m_model->colWidth(c) > 0;
        m_frozen->setColumnHidden(c, !shown);
        if (shown) {
            const int pixels = std::max(1, texts::twipsToPixels(m_model->colWidth(c), dpi()));
            m_frozen->setColumnWidth(c, pixels);
            width += pixels;
        }
    }
    QHeaderView* header = m_view->horizontalHeader();
    m_frozen->horizontalHeader()->setVisible(header->isVisible());
    m_frozen->horizontalHeader()->setFixedHeight(header->height());
    m_frozen->setFixedWidth(width);
    // Rows line up when both parts end at the same height.
    const QScrollBar* bar = m_view->horizontalScrollBar();
    m_frozenFoot->setFixedHeight(
        std::max(0, m_view->height() - m_view->viewport()->height() - (header->isVisible() ? header->height() : 0)));
    m_frozenFoot->setVisible(bar->isVisible());
    m_frozen->verticalScrollBar()->setValue(m_view->verticalScrollBar()->value());
    m_frozen->setVisible(width > 0);
}

void FlexGrid::applySelection()
{
    QItemSelectionModel* selection = m_view->selectionModel();
    m_applyingSelection = true;
    const CellRange range = m_model->selectedRange();
    QItemSelection items;
    if (m_model->highlight() && m_model->rows() > m_model->fixedRows() && m_model->cols() > 0) {
        const auto [first, last] = m_model->viewRowsBetween(std::max(range.top, m_model->fixedRows()), range.bottom);
        if (first <= last)
            items.select(m_model->index(first, range.left), m_model->index(last, range.right));
    }
    selection->select(items, QItemSelectionModel::ClearAndSelect);
    // Moving the current cell from code does not scroll; TopRow does that.
    // The fixed-column view shares the selection and would otherwise scroll
    // to a current cell in a fixed column, dragging the grid along with it.
    const int current = shownRowNear(m_model->row());
    if (current >= 0) {
        const bool autoScroll = m_view->hasAutoScroll();
        const bool frozenAutoScroll = m_frozen->hasAutoScroll();
        m_view->setAutoScroll(false);
        m_frozen->setAutoScroll(false);
        selection->setCurrentIndex(m_model->index(current, m_model->col()), QItemSelectionModel::NoUpdate);
        m_view->setAutoScroll(autoScroll);
        m_frozen->setAutoScroll(frozenAutoScroll);
    }
    m_applyingSelection = false;
}

int FlexGrid::shownRowNear(int row) const
{
    // A hidden current row (a filter took it out) has no place in the view.
    // The view must still hold a current cell in the grid's column: without
    // one it falls back to its first cell when it gets the focus (after a
    // pop-up menu closes), which would move the grid's current column.
    if (const int v = m_model->viewRow(row); v >= 0)
        return v;
    if (const auto [first, last] = m_model->viewRowsBetween(std::max(row, m_model->fixedRows()), m_model->rows() - 1);
        first <= last)
        return first;
    const auto [first, last] = m_model->viewRowsBetween(m_model->fixedRows(), row);
    return first <= last ? last : -1;
}

void FlexGrid::currentMovedByKeyboard(const QModelIndex& current)
{
    if (m_applyingSelection || !current.isValid())
        return;
    const int r = m_model->gridRow(current.row());
    if (r >= 0)
        m_model->select(r, current.column(), r, current.column());
}

int FlexGrid::topRow() const
{
    const int v = m_view->rowAt(0);
    const int r = m_model->gridRow(v);
    return r >= 0 ? r : m_model->fixedRows();
}

void FlexGrid::setTopRow(int row)
{
    // A hidden row gives way to the next shown one.
    const auto [first, last] = m_model->viewRowsBetween(std::max(row, m_model->fixedRows()), m_model->rows() - 1);
    if (first > last)
        return;
    m_view->doItemsLayout();
    m_view->verticalScrollBar()->setValue(first);
    const int shownCol =
        std::clamp(std::max(m_model->col(), m_model->fixedCols()), 0, std::max(0, m_model->cols() - 1));
    m_view->scrollTo(m_model->index(first, shownCol), QAbstractItemView::PositionAtTop);
}

bool FlexGrid::isRowVisible(int row) const
{
    if (row < 0 || row >= m_model->rows() || m_model->rowHeight(row) == 0)
        return false;
    if (row < m_model->fixedRows())
        return true;
    const int v = m_model->viewRow(row);
    if (v < 0)
        return false;
    const int y = m_view->rowViewportPosition(v);
    return y + m_view->rowHeight(v) > 0 && y < m_view->viewport()->height();
}

std::pair<int, int> FlexGrid::cellAt(QWidget* source, const QPoint& pos) const
{
    for (QTableView* view : {m_view, m_frozen}) {
        if (source == view->viewport()) {
            const int v = view->rowAt(pos.y());
            const int c = view->columnAt(pos.x());
            return {v < 0 ? -1 : m_model->gridRow(v), c};
        }
        QHeaderView* header = view->horizontalHeader();
        if (source == header->viewport()) {
            // Each shown fixed row is one line of the header.
            std::vector<int> lines;
            for (int r = 0; r < m_model->fixedRows(); ++r) {
                if (m_model->rowHeight(r) > 0)
                    lines.push_back(r);
            }
            if (lines.empty() || header->height() <= 0)
                return {-1, header->logicalIndexAt(pos.x())};
            const int line = std::clamp(pos.y() * static_cast<int>(lines.size()) / header->height(), 0,
                                        static_cast<int>(lines.size()) - 1);
            return {lines[static_cast<size_t>(line)], header->logicalIndexAt(pos.x())};
        }
    }
    return {-1, -1};
}

int FlexGrid::rowAt(const QPoint& pos) const
{
    QWidget* child = childAt(pos);
    return child ? cellAt(child, child->mapFrom(this, pos)).first : -1;
}

int FlexGrid::colAt(const QPoint& pos) const
{
    QWidget* child = childAt(pos);
    return child ? cellAt(child, child->mapFrom(this, pos)).second : -1;
}

bool FlexGrid::handleMouse(QWidget* source, QMouseEvent* event)
{
    const auto [r, c] = cellAt(source, event->position().toPoint());
    m_mouseRow = r;
    m_mouseCol = c;
    const bool onHeader =
        source == m_view->horizontalHeader()->viewport() || source == m_frozen->horizontalHeader()->viewport();
    const bool dataCell = r >= m_model->fixedRows() && r >= 0 && c >= 0;
    QPointer<FlexGrid> alive(this);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_menuPosition = event->globalPosition().toPoint();
        if (event->button() == Qt::LeftButton && dataCell) {
            if (event->modifiers() & Qt::ShiftModifier)
                m_model->select(m_model->row(), m_model->col(), r, c);
            else
                m_model->select(r, c, r, c);
            m_dragging = true;
        }
        if (!onHeader)
            m_view->setFocus(Qt::MouseFocusReason);
        Q_EMIT mouseDown(event->button(), event->modifiers(), r, c);
        // The header keeps its presses so that columns can be resized.
        return !onHeader;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        Q_EMIT mouseUp(event->button(), event->modifiers(), r, c);
        return !onHeader;
    case QEvent::MouseButtonDblClick:
        Q_EMIT doubleClick(r, c);
        if (alive)
            m_dragging = false;
        return !onHeader;
    case QEvent::MouseMove:
        if (m_dragging && (event->buttons() & Qt::LeftButton) && dataCell)
            m_model->select(m_model->row(), m_model->col(), r, c);
        Q_EMIT mouseMove(event->buttons(), r, c);
        return !onHeader && (event->buttons() != Qt::NoButton);
    default:
        return false;
    }
}

void FlexGrid::requestMenuFromKeyboard(bool onHeading)
{
    if (m_model->cols() == 0)
        return;
    const int c = std::clamp(m_model->col(), 0, m_model->cols() - 1);
    // A fixed column is shown by the view beside the scrolled one.
    QTableView* view = c < m_model->fixedCols() && m_frozen->isVisible() ? m_frozen : m_view;
    int r = -1;
    if (onHeading) {
        if (m_model->fixedRows() == 0 || m_model->rowHeight(0) <= 0)
            return;
        r = 0;
        QHeaderView* header = view->horizontalHeader();
        const int x = header->sectionViewportPosition(c) + header->sectionSize(c) / 2;
        m_menuPosition = header->viewport()->mapToGlobal(QPoint(x, header->height() / 2));
    } else {
        const int v = shownRowNear(m_model->row());
        if (v < 0)
            return;
        r = m_model->gridRow(v);
        const QModelIndex index = m_model->index(v, c);
        view->scrollTo(index);
        const QRect cell = view->visualRect(index);
        m_menuPosition = view->viewport()->mapToGlobal(cell.isValid() ? cell.center() : QPoint(0, 0));
    }
    m_mouseRow = r;
    m_mouseCol = c;
    QPointer<FlexGrid> alive(this);
    Q_EMIT mouseDown(Qt::RightButton, Qt::NoModifier, r, c);
    if (alive)
        Q_EMIT mouseUp(Qt::RightButton, Qt::NoModifier, r, c);
}

void FlexGrid::extendSelectionByKeyboard(int step)
{
    const int v = shownRowNear(m_model->rowSel());
    if (v < 0)
        return;
    const int next = std::clamp(v + step, 0, m_model->rowCount() - 1);
    const int r = m_model->gridRow(next);
    if (r < m_model->fixedRows())
        return;
    m_model->select(m_model->row(), m_model->col(), r, m_model->colSel());
    const int shownCol =
        std::clamp(std::max(m_model->col(), m_model->fixedCols()), 0, std::max(0, m_model->cols() - 1));
    m_view->scrollTo(m_model->index(next, shownCol));
}

bool FlexGrid::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)
        && (watched == m_view->horizontalHeader()->viewport() || watched == m_frozen->horizontalHeader()->viewport()))
        m_headingPressed = static_cast<QMouseEvent*>(event)->buttons().testFlag(Qt::LeftButton);
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_F10 && (modifiers & ~Qt::ControlModifier) == Qt::ShiftModifier) {
            requestMenuFromKeyboard(modifiers.testFlag(Qt::ControlModifier));
            return true;
        }
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && modifiers == Qt::ShiftModifier) {
            extendSelectionByKeyboard(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    // The event's type is looked at before the viewport is asked for: while
    // the view is being taken apart it is no longer a scroll area.
    if (event->type() == QEvent::ContextMenu && (watched == m_view || watched == m_view->viewport())
        && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        requestMenuFromKeyboard(static_cast<QContextMenuEvent*>(event)->modifiers().testFlag(Qt::ControlModifier));
        return true;
    }
    if (watched == m_view || (event->type() == QEvent::Resize && watched == m_view->viewport())) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
            syncFrozenColumns();
        if (watched == m_view)
            return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (auto* source = qobject_cast<QWidget*>(watched))
            return handleMouse(source, static_cast<QMouseEvent*>(event));
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FlexGrid::setSortIndicator(int col, Qt::SortOrder order)
{
    for (QTableView* view : {m_view, m_frozen}) {
        view->horizontalHeader()->setSortIndicatorShown(true);
        view->horizontalHeader()->setSortIndicator(col, order);
    }
}

}  // namespace widgets
