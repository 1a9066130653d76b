#include "views/NlmWindow.h"

#include "platform/Services.h"
#include "viewbase/ViewWindow.h"

#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "settings/WindowState.h"
#include "views/ComparisonDifferences.h"
#include "views/DifferenceMarks.h"
#include "views/HistoryRecords.h"
#include "views/PastStateDialog.h"
#include "views/ServerReaders.h"
#include "widgets/ColumnFit.h"
#include "widgets/FlexGrid.h"
#include "widgets/WaitCursor.h"

#include <QAction>
#include <QCoreApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace views {

namespace {

constexpr int kDefaultNameWidth = 1500;  // twips
// Longest the column fit measures before letting events run.
constexpr std::chrono::milliseconds kFitSlice{10};

ViewDesign design()
{
    return {QStringLiteral("frmNLMs"), settings::kNlmKeyName, settings::kDesignedViewGeometry, {5970, 2520}};
}

int toPixelsX(const QWidget* w, double twips)
{
    return texts::twipsToPixels(twips, w->logicalDpiX());
}

int toPixelsY(const QWidget* w, double twips)
{
    return texts::twipsToPixels(twips, w->logicalDpiY());
}

}  // namespace

// ---- NlmWindow ---------------------------------------------------------------

NlmWindow::NlmWindow(ViewHost& host, QWidget* parent) : ViewWindow(host, design(), parent)
{
    setWindowTitle(caption());

    m_columnsFrame = new QGroupBox(tr("Show Column"), this);
    m_columnsFrame->setObjectName(QStringLiteral("fraColumns"));
    m_showBoth = new QRadioButton(tr("&Both"), m_columnsFrame);
    m_showBoth->setObjectName(QStringLiteral("optShowBoth"));
    m_showVersion = new QRadioButton(tr("&Version"), m_columnsFrame);
    m_showVersion->setObjectName(QStringLiteral("optShowVersion"));
    m_showDate = new QRadioButton(tr("&Date"), m_columnsFrame);
    m_showDate->setObjectName(QStringLiteral("optShowDate"));
    m_showBoth->setChecked(true);
    auto* options = new QHBoxLayout(m_columnsFrame);
    options->addWidget(m_showBoth);
    options->addWidget(m_showVersion);
    options->addWidget(m_showDate);

    m_differencesOnly = new QCheckBox(tr("Show Differences &Only"), this);
    m_differencesOnly->setObjectName(QStringLiteral("chkNLMDifferencesOnly"));
    m_differencesOnly->setEnabled(false);

    m_findLabel = new QLabel(tr("Find NLM:"), this);
    m_findLabel->setObjectName(QStringLiteral("Label1"));
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("txtFind"));
    m_findLabel->setBuddy(m_findText);

    m_nlmGrid = new widgets::FlexGrid(this);
    models::FlexGridModel& cells = m_nlmGrid->model();
    m_nlmGrid->setObjectName(QStringLiteral("grdNLMs"));
    cells.setRows(2);
    cells.setCols(1);
    cells.setFixedRows(2);
    cells.setFixedCols(1);
    cells.setColWidth(0, kDefaultNameWidth);
    // Versions and dates are right-aligned: a narrow column keeps their ends.
    m_nlmGrid->tableView()->setTextElideMode(Qt::ElideLeft);

    // The descriptions stay in the window but are never shown nor saved.
    m_descriptionGrid = new widgets::FlexGrid(this);
    m_descriptionGrid->setObjectName(QStringLiteral("grdNLMDescription"));
    m_descriptionGrid->model().setRows(1);
    m_descriptionGrid->model().setCols(1);
    m_descriptionGrid->model().setFixedRows(1);
    m_descriptionGrid->model().setFixedCols(1);
    m_descriptionGrid->hide();

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    m_differencesLabel = new QLabel(this);
    m_differencesLabel->setObjectName(QStringLiteral("lblDifferences"));
    m_statusBar->addPermanentWidget(m_differencesLabel);
    setReadingStatusBar(m_statusBar);

    m_marks = new DifferenceMarks(
        *m_nlmGrid,
        [this](const models::GridData& grid, int row, int col) {
            return nlmCellDifference(grid, row, col, showColumns());
        },
        this);
    cells.setHeaderDecorator(
        [this](int col, int role) { return isPastColumn(col) ? pastHeaderLook(role) : QVariant(); });
    if (QAction* toggle = host.viewMenus().markNlmDifferences) {
        m_marks->setEnabled(toggle->isChecked());
        connect(toggle, &QAction::toggled, this, [this](bool on) { m_marks->setEnabled(on); });
    }

    auto* top = new QHBoxLayout;
    top->addWidget(m_columnsFrame);
    top->addSpacing(12);
    top->addWidget(m_differencesOnly, 0, Qt::AlignBottom);
    top->addStretch(1);
    auto* find = new QHBoxLayout;
    find->addWidget(m_findLabel);
    find->addWidget(m_findText, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addLayout(find);
    layout->addWidget(m_nlmGrid, 1);
    layout->addWidget(m_statusBar);

    const auto showOnToggle = [this](QRadioButton* option, NlmShow show) {
        connect(option, &QRadioButton::toggled, this, [this, show](bool on) {
            if (on)
                applyShowColumns(show);
        });
    };
    showOnToggle(m_showBoth, NlmShow::Both);
    showOnToggle(m_showVersion, NlmShow::Version);
    showOnToggle(m_showDate, NlmShow::Date);
    connect(m_differencesOnly, &QCheckBox::toggled, this, [this] { applyDifferences(); });
    connect(m_findText, &QLineEdit::textChanged, this, [this] { findTypedName(); });
    connect(m_nlmGrid, &widgets::FlexGrid::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int row, int col) {
                clickGrid(button, row, col, m_nlmGrid->menuPosition());
            });
    connect(m_nlmGrid, &widgets::FlexGrid::mouseMove, this,
            [this](Qt::MouseButtons, int row, int col) { hoverGrid(row, col); });
    connect(m_nlmGrid, &widgets::FlexGrid::doubleClick, this, [this](int row, int col) { openDescription(row, col); });
}

NlmWindow::~NlmWindow() = default;

NlmShow NlmWindow::showColumns() const
{
    if (m_showVersion->isChecked())
        return NlmShow::Version;
    if (m_showDate->isChecked())
        return NlmShow::Date;
    return NlmShow::Both;
}

QList<QWidget*> NlmWindow::savedTables() const
{
    return {m_nlmGrid};
}

bool NlmWindow::hasServer(const QString& server) const
{
    for (int c = 1; c < m_nlmGrid->model().cols(); ++c) {
        if (m_nlmGrid->model().textMatrix(0, c) == server)
            return true;
    }
    return false;
}

void NlmWindow::loadContents()
{
    core::AppContext& context = this->context();
    m_nlmGrid->model().setTextMatrix(0, 0, QStringLiteral("Name"));

    const bool keyExists = context.registry().keyExists(settings::Hive::CurrentUser, keyPath());
    bool known = false;
    const NlmShow show =
        nlmShowFromWord(settings::readSetting(context, keyPath(), settings::kShowColumnsValue), &known);
    if (known) {
        if (show == NlmShow::Version)
            m_showVersion->setChecked(true);
        else if (show == NlmShow::Date)
            m_showDate->setChecked(true);
        else
            m_showBoth->setChecked(true);
    }

    int nameWidth = kDefaultNameWidth;
    if (keyExists) {
        // A missing value reads as the store's 0, which would hide the names
        // for good; the name column then keeps its designed width.
        const auto stored = texts::textToNumber(
            settings::readSetting(context, keyPath(), settings::kColWidthPrefix + QLatin1Char('0')));
        if (stored && *stored >= 1 && *stored < 1e6)
            nameWidth = static_cast<int>(*stored);
    }
    m_nlmGrid->model().setColWidth(0, nameWidth);
}

void NlmWindow::activated()
{
    host().setSaveEnabled(true);
}

void NlmWindow::unloadContents()
{
    core::AppContext& context = this->context();
    if (!context.saveWindowState)
        return;
    settings::saveSetting(context, keyPath(), settings::kColWidthPrefix + QLatin1Char('0'),
                          QString::number(m_nlmGrid->model().colWidth(0)));
    settings::saveSetting(context, keyPath(), settings::kShowColumnsValue, nlmShowWord(showColumns()));
}

// ---- opening ---------------------------------------------------------------------

void NlmWindow::beginAdding(int servers)
{
    if (m_fill)
        return;
    m_nlmGrid->model().beginUpdate();
    m_descriptionGrid->model().beginUpdate();
    // Each server brings two comparison columns and one description column.
    m_nlmGrid->model().reserveCols(m_nlmGrid->model().cols() + 2 * servers);
    m_descriptionGrid->model().reserveCols(m_descriptionGrid->model().cols() + servers);
    m_fill = std::make_unique<NlmComparisonFill>(m_nlmGrid->model(), m_descriptionGrid->model(), QLocale(), &m_texts);
}

void NlmWindow::endAdding()
{
    if (!m_fill)
        return;
    m_fill->finish();
    m_fill.reset();
    m_descriptionGrid->model().endUpdate();
    m_nlmGrid->model().endUpdate();
    updateDifferenceSummary();
}

namespace {

// What one server gave, read on a reading thread.
struct ModulesRead {
    bool skipped = false;  // shown before the opening
    nw::NWRCODE opened = nw::status::Success;
    nw::NWRCODE authenticated = nw::status::Success;
    std::vector<LoadedModule> modules;
    bool complete = false;  // not cut short by a stop: the history may keep it
    nw::NWRCODE closed = nw::status::Success;
};

ModulesRead readModules(core::AppContext& context, const QString& server, const nw::ReadStop& stop)
{
    ModulesRead read;
    nw::ServerSession session(context, server, nw::kLicensedByBinderyName);
    const nw::SessionStart start = session.openAuthenticated();
    read.opened = start.opened;
    read.authenticated = start.authenticated;
    if (!start.ready())
        return read;
    readLoadedModules(
        session.client(), session.handle(),
        [&read](const std::vector<LoadedModule>& batch) {
            read.modules.insert(read.modules.end(), batch.begin(), batch.end());
        },
        stop);
    read.complete = !stop.requested();
    // A failed close is told on the window thread, after the server's columns.
    read.closed = session.closeQuietly();
    return read;
}

}  // namespace

ViewWindow::ReadEnd NlmWindow::addServers(const QStringList& servers)
{
    QSet<QString> shownBefore;
    for (const QString& server : servers) {
        if (hasServer(server))
            shownBefore.insert(server);
    }
    const bool ownOpening = !m_fill;
    beginAdding(static_cast<int>(servers.size()));
    core::AppContext& context = this->context();
    const ReadEnd end = readServers<ModulesRead>(
        servers,
        [&context, shownBefore](const QString& server, const nw::ReadStop& stop) {
            if (shownBefore.contains(server)) {
                ModulesRead skipped;
                skipped.skipped = true;
                return skipped;
            }
            return readModules(context, server, stop);
        },
        [this, &context, servers](int index, ModulesRead& read) {
            const QString& server = servers.at(index);
            if (read.skipped || hasServer(server))
                return;
            if (read.opened != nw::status::Success) {
                context.messages().inform(QStringLiteral("Unable to connect to server. Error ")
                                              + nw::statusText(read.opened),
                                          QStringLiteral("Connect to server"), platform::Icon::Critical);
                return;
            }
            if (read.authenticated != nw::status::Success) {
                // Everything compared so far goes with the window.
                endAdding();
                closeView();
                context.messages().inform(
                    QStringLiteral("You are not authenticated to selected tree.  Please authenticate and try again."),
                    QStringLiteral("Not Authenticated"));
                return;
            }
            m_fill->addServer(server, showColumns());
            m_fill->addModules(read.modules);
            if (read.complete)
                recordSnapshot(context, moduleSnapshot(server, read.modules));
            nw::reportCloseFailure(context, read.closed);
        });
    if (end != ReadEnd::Closed && ownOpening)
        endAdding();
    return end;
}

bool NlmWindow::isPastColumn(int col) const
{
    return nlmServerColumn(m_nlmGrid->data(), col) > 0
           && m_pastHeadings.contains(nlmServerName(m_nlmGrid->data(), col));
}

QStringList NlmWindow::liveServers() const
{
    QStringList servers;
    for (int col = 1; col + 1 < m_nlmGrid->model().cols(); col += 2) {
        if (!isPastColumn(col))
            servers.append(nlmServerName(m_nlmGrid->data(), col));
    }
    return servers;
}

bool NlmWindow::addPastColumns(const PastState& state)
{
    QString problem;
    const std::optional<history::Snapshot> kept =
        readPastState(context(), state, history::SnapshotKind::Modules, &problem);
    if (!kept) {
        context().messages().inform(problem, tr("Add Server from History"));
        return false;
    }
    const QString heading = pastStateLabel(state);
    if (hasServer(heading))
        return true;
    m_pastHeadings.insert(heading);
    const int firstNewColumn = m_nlmGrid->model().cols();
    beginAdding(1);
    m_fill->addServer(heading, showColumns());
    m_fill->addModules(modulesOfSnapshot(*kept));
    endAdding();
    updateDifferencesBox();
    fitColumnsOfOpening(firstNewColumn);
    return true;
}

void NlmWindow::updateDifferencesBox()
{
    m_differencesOnly->setEnabled(m_nlmGrid->model().cols() > 3);
    if (m_differencesOnly->isChecked())
        applyDifferences();
}

// ---- columns and differences ---------------------------------------------------------

void NlmWindow::applyShowColumns(NlmShow show)
{
    showNlmColumns(m_nlmGrid->model(), show);
    if (m_differencesOnly->isChecked())
        applyDifferences();
    if (m_marks)
        m_marks->ruleChanged();
    updateDifferenceSummary();
}

void NlmWindow::applyDifferences()
{
    const widgets::WaitCursor wait;
    applyNlmDifferences(m_nlmGrid->model(), showColumns(), m_differencesOnly->isChecked());
    updateDifferenceSummary();
}

void NlmWindow::fitColumns()
{
    widgets::fitGridColumnsLettingEventsRun(*m_nlmGrid, kFitSlice);
}

void NlmWindow::fitAddedColumns(int firstColumn)
{
    widgets::fitGridColumnsLettingEventsRun(*m_nlmGrid, kFitSlice, firstColumn);
}

void NlmWindow::updateDifferenceSummary()
{
    if (!m_differencesLabel)
        return;
    if (m_nlmGrid->model().cols() < 5) {
        m_differencesLabel->clear();
        return;
    }
    const DifferingRows rows = countNlmDifferingRows(m_nlmGrid->data(), showColumns());
    m_differencesLabel->setText(models::differingRowsText(rows.differing, rows.total, m_differencesOnly->isChecked()));
}

// ---- find ---------------------------------------------------------------------------

void NlmWindow::findTypedName()
{
    const int row = findNlmRow(m_nlmGrid->data(), m_findText->text());
    if (row < 0)
        return;
    m_nlmGrid->model().select(row, 1, row, m_nlmGrid->model().cols() - 1);
    m_nlmGrid->model().setHighlight(true);
    if (!m_nlmGrid->isRowVisible(row))
        m_nlmGrid->setTopRow(row);
}

// ---- mouse ------------------------------------------------------------------------------

void NlmWindow::setRemoveServerEnabled(bool enabled)
{
    if (QAction* remove = host().removeServerAction())
        remove->setEnabled(enabled);
}

void NlmWindow::clickGrid(Qt::MouseButton button, int row, int col, const QPoint& globalPos)
{
    const widgets::WaitCursor wait;
    models::FlexGridModel& cells = m_nlmGrid->model();
    if (cells.rows() < 3) {
        cells.setHighlight(false);
        return;
    }
    if (row < 0 || col < 0 || col >= cells.cols())
        return;
    const int lastRow = cells.rows() - 1;
    const bool header = row <= 1;

    if (header && button == Qt::LeftButton) {
        cells.sortRows(col, nlmSortMode(col, m_sortDescending), kNlmFirstDataRow);
        m_nlmGrid->setSortIndicator(col, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
        m_sortDescending = !m_sortDescending;
    }

    if (col == 0) {
        const int selected = header ? kNlmFirstDataRow : row;
        cells.select(selected, std::min(1, cells.cols() - 1), selected, cells.cols() - 1);
        cells.setHighlight(true);
        setRemoveServerEnabled(false);
        return;
    }
    if (header && button != Qt::RightButton) {
        cells.select(kNlmFirstDataRow, col, lastRow, col);
        cells.setHighlight(true);
        setRemoveServerEnabled(false);
        return;
    }
    if (header) {
        const int partner = cells.textMatrix(1, col) == u"Version" ? col + 1 : col - 1;
        cells.select(kNlmFirstDataRow, col, lastRow, partner);
        cells.setHighlight(true);
        if (cells.cols() >= 4) {
            setRemoveServerEnabled(true);
            host().popupMenu(host().nlmCommandsMenu(), globalPos);
        }
        return;
    }
    cells.select(row, col, row, col);
    cells.setHighlight(false);
    setRemoveServerEnabled(false);
}

void NlmWindow::hoverGrid(int row, int col)
{
    const models::FlexGridModel& cells = m_nlmGrid->model();
    const bool informative =
        cells.rows() >= 3 && cells.cols() > 1 && row > 1 && col > 0 && !cells.textMatrix(row, col).isEmpty();
    if (informative)
        m_statusBar->showMessage(tr("Double click for Information"));
    else
        m_statusBar->clearMessage();
}

NLMDescriptionDialog* NlmWindow::openDescription(int row, int col)
{
    const widgets::FlexGrid& grid = *m_nlmGrid;
    if (row < kNlmFirstDataRow || col < 1 || grid.model().textMatrix(row, col).isEmpty())
        return nullptr;
    const QString fileName = grid.model().textMatrix(row, 0);
    const QString server = nlmServerName(grid.data(), col);
    bool found = false;
    const QString description = nlmDescription(m_descriptionGrid->data(), fileName, server, &found);
    if (!found)
        return nullptr;
    auto* window = new NLMDescriptionDialog(server + QStringLiteral(" - ") + fileName, description, this->window());
    window->setWindowIcon(this->window()->windowIcon());
    window->show();
    return window;
}

// ---- removing a server -------------------------------------------------------------------

void NlmWindow::removeSelectedServer()
{
    if (!removeNlmServer(m_nlmGrid->model(), m_descriptionGrid->model(), m_nlmGrid->model().col()))
        return;
    if (m_nlmGrid->model().cols() == 3) {
        // One server left: nothing to compare any more.
        const QSignalBlocker quiet(m_differencesOnly);
        m_differencesOnly->setChecked(false);
        m_differencesOnly->setEnabled(false);
    }
    applyDifferences();
    m_nlmGrid->model().removeEmptyRows();
    updateDifferenceSummary();
}

// ---- NLMDescriptionDialog ----------------------------------------------------------------------

NLMDescriptionDialog::NLMDescriptionDialog(const QString& serverAndNlm, const QString& description, QWidget* parent)
    : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmNLMDescription"));
    setWindowTitle(tr("NLM Information"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_serverAndNlmLabel = new QLabel(serverAndNlm, this);
    m_serverAndNlmLabel->setObjectName(QStringLiteral("lblServerAndNLM"));
    m_serverAndNlmLabel->setTextFormat(Qt::PlainText);
    QFont bold = m_serverAndNlmLabel->font();
    bold.setBold(true);
    m_serverAndNlmLabel->setFont(bold);
    m_descriptionLabel = new QLabel(description, this);
    m_descriptionLabel->setObjectName(QStringLiteral("lblDescription"));
    m_descriptionLabel->setTextFormat(Qt::PlainText);
    m_descriptionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_okButton = new QPushButton(tr("OK"), this);
    m_okButton->setObjectName(QStringLiteral("btnOK"));
    m_okButton->setDefault(true);

    const int margin = toPixelsX(this, 240);
    m_serverAndNlmLabel->move(margin, toPixelsY(this, 120));
    m_serverAndNlmLabel->adjustSize();
    m_descriptionLabel->move(margin, m_serverAndNlmLabel->geometry().bottom() + toPixelsY(this, 120));
    m_descriptionLabel->adjustSize();
    m_okButton->resize(toPixelsX(this, 1095), m_okButton->sizeHint().height());

    connect(m_okButton, &QPushButton::clicked, this, &QWidget::close);
}

void NLMDescriptionDialog::fitToText()
{
    const QRect label = m_descriptionLabel->geometry();
    const int width = std::max(label.x() + label.width() + toPixelsX(this, 500),
                               m_serverAndNlmLabel->geometry().right() + toPixelsX(this, 240));
    resize(std::max(width, m_okButton->width() + toPixelsX(this, 480)),
           label.y() + label.height() + toPixelsY(this, 1500));
    m_okButton->move((this->width() - m_okButton->width()) / 2, m_okButton->y());
    placeButton();
}

void NLMDescriptionDialog::placeButton()
{
    // The button keeps its distance from the bottom edge; the window's frame
    // takes part of the distance the form's own measure includes.
    m_okButton->move(m_okButton->x(), height() - toPixelsY(this, 1000) + toPixelsY(this, 330));
}

void NLMDescriptionDialog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    fitToText();
}

void NLMDescriptionDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeButton();
}

// ---- free functions ---------------------------------------------------------------------------

void openNLMs(ViewHost& host)
{
    if (host.serverCount() == 0)
        return;
    const OpeningScope opening(host, true);

    QPointer<NlmWindow> form = openView<NlmWindow>(host);
    if (QMdiSubWindow* frame = form->frame())
        frame->show();
    QCoreApplication::processEvents();
    if (!form || form->isUnloaded())
        return;
    bringToFront(host, form);

    const QStringList servers = host.selectedServers();
    const int firstNewColumn = form->grdNLMs()->model().cols();
    form->beginAdding(static_cast<int>(servers.size()));
    // While the servers are read the window stays responsive and can be
    // closed (a message box lets events run too).
    if (form->addServers(servers) == ViewWindow::ReadEnd::Closed || !form || form->isUnloaded())
        return;
    form->endAdding();
    form->updateDifferencesBox();
    // The sorted table is painted before its columns are measured, which
    // lets events run between its slices too.
    QCoreApplication::processEvents();
    if (!form || form->isUnloaded())
        return;
    form->fitColumnsOfOpening(firstNewColumn);
}

void addPastNlmColumns(ViewHost& host)
{
    QPointer<NlmWindow> form = findView<NlmWindow>(host);
    if (!form || !host.context().history)
        return;
    const std::optional<PastState> state =
        askPastStateForComparison(form, host.context(), form->liveServers(), host.selectedServers());
    if (state && form && !form->isUnloaded())
        form->addPastColumns(*state);
}

void removeSelectedNlmServer(ViewHost& host)
{
    if (NlmWindow* form = findView<NlmWindow>(host))
        form->removeSelectedServer();
}

void applyNlmReportOptions(QWidget* window, const QString& show, bool differencesOnly)
{
    NlmWindow* form = qobject_cast<NlmWindow*>(window);
    if (!form && window)
        form = window->findChild<NlmWindow*>();
    if (!form)
        return;
    const QString word = show.trimmed().toLower();
    if (word == u"both")
        form->optShowBoth()->setChecked(true);
    else if (word == u"version")
        form->optShowVersion()->setChecked(true);
    else if (word == u"date")
        form->optShowDate()->setChecked(true);
    QCheckBox* box = form->chkNLMDifferencesOnly();
    if (box->isEnabled())
        box->setChecked(differencesOnly);
}

}  // namespace views
