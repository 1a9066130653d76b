#include "views/NLMForm.h"

#include "platform/Services.h"
#include "viewbase/ViewWindow.h"

#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "netware/NovellCalls.h"
#include "netware/ServerSession.h"
#include "settings/Registry.h"
#include "settings/Twips.h"
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
    return {QStringLiteral("frmNLMs"), settings::kNlmKeyName, {0, 0, 7000, 8040}, {5970, 2520}};
}

int toPixelsX(const QWidget* w, double twips)
{
    return settings::twipsToPixels(twips, w->logicalDpiX());
}

int toPixelsY(const QWidget* w, double twips)
{
    return settings::twipsToPixels(twips, w->logicalDpiY());
}

}  // namespace

// ---- NLMForm ---------------------------------------------------------------

NLMForm::NLMForm(ViewHost& host, QWidget* parent) : ViewWindow(host, design(), parent)
{
    setWindowTitle(caption());

    m_fraColumns = new QGroupBox(tr("Show Column"), this);
    m_fraColumns->setObjectName(QStringLiteral("fraColumns"));
    m_optShowBoth = new QRadioButton(tr("&Both"), m_fraColumns);
    m_optShowBoth->setObjectName(QStringLiteral("optShowBoth"));
    m_optShowVersion = new QRadioButton(tr("&Version"), m_fraColumns);
    m_optShowVersion->setObjectName(QStringLiteral("optShowVersion"));
    m_optShowDate = new QRadioButton(tr("&Date"), m_fraColumns);
    m_optShowDate->setObjectName(QStringLiteral("optShowDate"));
    m_optShowBoth->setChecked(true);
    auto* options = new QHBoxLayout(m_fraColumns);
    options->addWidget(m_optShowBoth);
    options->addWidget(m_optShowVersion);
    options->addWidget(m_optShowDate);

    m_chkNLMDifferencesOnly = new QCheckBox(tr("Show Differences &Only"), this);
    m_chkNLMDifferencesOnly->setObjectName(QStringLiteral("chkNLMDifferencesOnly"));
    m_chkNLMDifferencesOnly->setEnabled(false);

    m_label1 = new QLabel(tr("Find NLM:"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_txtFind = new QLineEdit(this);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_label1->setBuddy(m_txtFind);

    m_grdNLMs = new widgets::FlexGrid(this);
    m_grdNLMs->setObjectName(QStringLiteral("grdNLMs"));
    m_grdNLMs->setRows(2);
    m_grdNLMs->setCols(1);
    m_grdNLMs->setFixedRows(2);
    m_grdNLMs->setFixedCols(1);
    m_grdNLMs->setColWidth(0, kDefaultNameWidth);
    // Versions and dates are right-aligned: a narrow column keeps their ends.
    m_grdNLMs->tableView()->setTextElideMode(Qt::ElideLeft);

    // The descriptions stay in the window but are never shown nor saved.
    m_grdNLMDescription = new widgets::FlexGrid(this);
    m_grdNLMDescription->setObjectName(QStringLiteral("grdNLMDescription"));
    m_grdNLMDescription->setRows(1);
    m_grdNLMDescription->setCols(1);
    m_grdNLMDescription->setFixedRows(1);
    m_grdNLMDescription->setFixedCols(1);
    m_grdNLMDescription->hide();

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    m_lblDifferences = new QLabel(this);
    m_lblDifferences->setObjectName(QStringLiteral("lblDifferences"));
    m_statusBar->addPermanentWidget(m_lblDifferences);
    setReadingStatusBar(m_statusBar);

    m_marks = new DifferenceMarks(
        *m_grdNLMs,
        [this](const models::GridData& grid, int row, int col) {
            return nlmCellDifference(grid, row, col, showColumns());
        },
        this);
    m_grdNLMs->model().setHeaderDecorator(
        [this](int col, int role) { return isPastColumn(col) ? pastHeaderLook(role) : QVariant(); });
    if (QAction* toggle = host.viewMenus().markNlmDifferences) {
        m_marks->setEnabled(toggle->isChecked());
        connect(toggle, &QAction::toggled, this, [this](bool on) { m_marks->setEnabled(on); });
    }

    auto* top = new QHBoxLayout;
    top->addWidget(m_fraColumns);
    top->addSpacing(12);
    top->addWidget(m_chkNLMDifferencesOnly, 0, Qt::AlignBottom);
    top->addStretch(1);
    auto* find = new QHBoxLayout;
    find->addWidget(m_label1);
    find->addWidget(m_txtFind, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addLayout(find);
    layout->addWidget(m_grdNLMs, 1);
    layout->addWidget(m_statusBar);

    const auto showOnToggle = [this](QRadioButton* option, NlmShow show) {
        connect(option, &QRadioButton::toggled, this, [this, show](bool on) {
            if (on)
                applyShowColumns(show);
        });
    };
    showOnToggle(m_optShowBoth, NlmShow::Both);
    showOnToggle(m_optShowVersion, NlmShow::Version);
    showOnToggle(m_optShowDate, NlmShow::Date);
    connect(m_chkNLMDifferencesOnly, &QCheckBox::toggled, this, [this] { applyDifferences(); });
    connect(m_txtFind, &QLineEdit::textChanged, this, [this] { findTypedName(); });
    connect(m_grdNLMs, &widgets::FlexGrid::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, int row, int col) {
                clickGrid(button, row, col, m_grdNLMs->menuPosition());
            });
    connect(m_grdNLMs, &widgets::FlexGrid::mouseMove, this,
            [this](Qt::MouseButtons, int row, int col) { hoverGrid(row, col); });
    connect(m_grdNLMs, &widgets::FlexGrid::doubleClick, this, [this](int row, int col) { openDescription(row, col); });
}

NLMForm::~NLMForm() = default;

NlmShow NLMForm::showColumns() const
{
    if (m_optShowVersion->isChecked())
        return NlmShow::Version;
    if (m_optShowDate->isChecked())
        return NlmShow::Date;
    return NlmShow::Both;
}

bool NLMForm::hasServer(const QString& server) const
{
    for (int c = 1; c < m_grdNLMs->cols(); ++c) {
        if (m_grdNLMs->textMatrix(0, c) == server)
            return true;
    }
    return false;
}

void NLMForm::loadContents()
{
    core::AppContext& context = this->context();
    m_grdNLMs->setTextMatrix(0, 0, QStringLiteral("Name"));

    const bool keyExists = context.registry().keyExists(settings::Hive::CurrentUser, keyPath());
    bool known = false;
    const NlmShow show =
        nlmShowFromWord(settings::readSetting(context, keyPath(), settings::kShowColumnsValue), &known);
    if (known) {
        if (show == NlmShow::Version)
            m_optShowVersion->setChecked(true);
        else if (show == NlmShow::Date)
            m_optShowDate->setChecked(true);
        else
            m_optShowBoth->setChecked(true);
    }

    int nameWidth = kDefaultNameWidth;
    if (keyExists) {
        // A missing value reads as the store's 0, which would hide the names
        // for good; the name column then keeps its designed width.
        const auto stored = settings::textToNumber(
            settings::readSetting(context, keyPath(), settings::kColWidthPrefix + QLatin1Char('0')));
        if (stored && *stored >= 1 && *stored < 1e6)
            nameWidth = static_cast<int>(*stored);
    }
    m_grdNLMs->setColWidth(0, nameWidth);
}

void NLMForm::activated()
{
    host().setSaveEnabled(true);
}

void NLMForm::unloadContents()
{
    core::AppContext& context = this->context();
    if (!context.saveWindowState)
        return;
    settings::saveSetting(context, keyPath(), settings::kColWidthPrefix + QLatin1Char('0'),
                          QString::number(m_grdNLMs->colWidth(0)));
    settings::saveSetting(context, keyPath(), settings::kShowColumnsValue, nlmShowWord(showColumns()));
}

// ---- opening ---------------------------------------------------------------------

void NLMForm::beginAdding(int servers)
{
    if (m_fill)
        return;
    m_grdNLMs->beginUpdate();
    m_grdNLMDescription->beginUpdate();
    // Each server brings two comparison columns and one description column.
    m_grdNLMs->model().reserveCols(m_grdNLMs->cols() + 2 * servers);
    m_grdNLMDescription->model().reserveCols(m_grdNLMDescription->cols() + servers);
    m_fill = std::make_unique<NlmComparisonFill>(m_grdNLMs->model(), m_grdNLMDescription->model(), QLocale(), &m_texts);
}

void NLMForm::endAdding()
{
    if (!m_fill)
        return;
    m_fill->finish();
    m_fill.reset();
    m_grdNLMDescription->endUpdate();
    m_grdNLMs->endUpdate();
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
    read.opened = session.open();
    if (read.opened != nw::status::Success)
        return read;
    read.authenticated = session.authenticate();
    if (read.authenticated != nw::status::Success) {
        session.closeQuietly();
        return read;
    }
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

ViewWindow::ReadEnd NLMForm::addServers(const QStringList& servers)
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

bool NLMForm::isPastColumn(int col) const
{
    return nlmServerColumn(m_grdNLMs->data(), col) > 0
           && m_pastHeadings.contains(nlmServerName(m_grdNLMs->data(), col));
}

QStringList NLMForm::liveServers() const
{
    QStringList servers;
    for (int col = 1; col + 1 < m_grdNLMs->cols(); col += 2) {
        if (!isPastColumn(col))
            servers.append(nlmServerName(m_grdNLMs->data(), col));
    }
    return servers;
}

bool NLMForm::addPastColumns(const PastState& state)
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
    const int firstNewColumn = m_grdNLMs->cols();
    beginAdding(1);
    m_fill->addServer(heading, showColumns());
    m_fill->addModules(modulesOfSnapshot(*kept));
    endAdding();
    updateDifferencesBox();
    fitColumnsOfOpening(firstNewColumn);
    return true;
}

void NLMForm::updateDifferencesBox()
{
    m_chkNLMDifferencesOnly->setEnabled(m_grdNLMs->cols() > 3);
    if (m_chkNLMDifferencesOnly->isChecked())
        applyDifferences();
}

// ---- columns and differences ---------------------------------------------------------

void NLMForm::applyShowColumns(NlmShow show)
{
    showNlmColumns(m_grdNLMs->model(), show);
    if (m_chkNLMDifferencesOnly->isChecked())
        applyDifferences();
    if (m_marks)
        m_marks->ruleChanged();
    updateDifferenceSummary();
}

void NLMForm::applyDifferences()
{
    const widgets::WaitCursor wait;
    applyNlmDifferences(m_grdNLMs->model(), showColumns(), m_chkNLMDifferencesOnly->isChecked());
    updateDifferenceSummary();
}

void NLMForm::fitColumns()
{
    widgets::fitGridColumnsLettingEventsRun(*m_grdNLMs, kFitSlice);
}

void NLMForm::fitAddedColumns(int firstColumn)
{
    widgets::fitGridColumnsLettingEventsRun(*m_grdNLMs, kFitSlice, firstColumn);
}

void NLMForm::updateDifferenceSummary()
{
    if (!m_lblDifferences)
        return;
    if (m_grdNLMs->cols() < 5) {
        m_lblDifferences->clear();
        return;
    }
    const DifferingRows rows = countNlmDifferingRows(m_grdNLMs->data(), showColumns());
    m_lblDifferences->setText(
        models::differingRowsText(rows.differing, rows.total, m_chkNLMDifferencesOnly->isChecked()));
}

// ---- find ---------------------------------------------------------------------------

void NLMForm::findTypedName()
{
    const int row = findNlmRow(m_grdNLMs->data(), m_txtFind->text());
    if (row < 0)
        return;
    m_grdNLMs->select(row, 1, row, m_grdNLMs->cols() - 1);
    m_grdNLMs->setHighlight(true);
    if (!m_grdNLMs->isRowVisible(row))
        m_grdNLMs->setTopRow(row);
}

// ---- mouse ------------------------------------------------------------------------------

void NLMForm::setRemoveServerEnabled(bool enabled)
{
    if (QAction* remove = host().removeServerAction())
        remove->setEnabled(enabled);
}

void NLMForm::clickGrid(Qt::MouseButton button, int row, int col, const QPoint& globalPos)
{
    const widgets::WaitCursor wait;
    widgets::FlexGrid& grid = *m_grdNLMs;
    if (grid.rows() < 3) {
        grid.setHighlight(false);
        return;
    }
    if (row < 0 || col < 0 || col >= grid.cols())
        return;
    const int lastRow = grid.rows() - 1;
    const bool header = row <= 1;

    if (header && button == Qt::LeftButton) {
        grid.sortRows(col, nlmSortMode(col, m_sortDescending), kNlmFirstDataRow);
        m_grdNLMs->setSortIndicator(col, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
        m_sortDescending = !m_sortDescending;
    }

    if (col == 0) {
        const int selected = header ? kNlmFirstDataRow : row;
        grid.select(selected, std::min(1, grid.cols() - 1), selected, grid.cols() - 1);
        grid.setHighlight(true);
        setRemoveServerEnabled(false);
        return;
    }
    if (header && button != Qt::RightButton) {
        grid.select(kNlmFirstDataRow, col, lastRow, col);
        grid.setHighlight(true);
        setRemoveServerEnabled(false);
        return;
    }
    if (header) {
        const int partner = grid.textMatrix(1, col) == u"Version" ? col + 1 : col - 1;
        grid.select(kNlmFirstDataRow, col, lastRow, partner);
        grid.setHighlight(true);
        if (grid.cols() >= 4) {
            setRemoveServerEnabled(true);
            host().popupMenu(host().nlmCommandsMenu(), globalPos);
        }
        return;
    }
    grid.select(row, col, row, col);
    grid.setHighlight(false);
    setRemoveServerEnabled(false);
}

void NLMForm::hoverGrid(int row, int col)
{
    const widgets::FlexGrid& grid = *m_grdNLMs;
    const bool informative =
        grid.rows() >= 3 && grid.cols() > 1 && row > 1 && col > 0 && !grid.textMatrix(row, col).isEmpty();
    if (informative)
        m_statusBar->showMessage(tr("Double click for Information"));
    else
        m_statusBar->clearMessage();
}

NLMDescriptionDialog* NLMForm::openDescription(int row, int col)
{
    const widgets::FlexGrid& grid = *m_grdNLMs;
    if (row < kNlmFirstDataRow || col < 1 || grid.textMatrix(row, col).isEmpty())
        return nullptr;
    const QString fileName = grid.textMatrix(row, 0);
    const QString server = nlmServerName(grid.data(), col);
    bool found = false;
    const QString description = nlmDescription(m_grdNLMDescription->data(), fileName, server, &found);
    if (!found)
        return nullptr;
    auto* window = new NLMDescriptionDialog(server + QStringLiteral(" - ") + fileName, description, this->window());
    window->setWindowIcon(this->window()->windowIcon());
    window->show();
    return window;
}

// ---- removing a server -------------------------------------------------------------------

void NLMForm::removeSelectedServer()
{
    if (!removeNlmServer(m_grdNLMs->model(), m_grdNLMDescription->model(), m_grdNLMs->col()))
        return;
    if (m_grdNLMs->cols() == 3) {
        // One server left: nothing to compare any more.
        const QSignalBlocker quiet(m_chkNLMDifferencesOnly);
        m_chkNLMDifferencesOnly->setChecked(false);
        m_chkNLMDifferencesOnly->setEnabled(false);
    }
    applyDifferences();
    widgets::removeEmptyGridRows(*m_grdNLMs);
    updateDifferenceSummary();
}

// ---- NLMDescriptionDialog ----------------------------------------------------------------------

NLMDescriptionDialog::NLMDescriptionDialog(const QString& serverAndNlm, const QString& description, QWidget* parent)
    : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmNLMDescription"));
    setWindowTitle(tr("NLM Information"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_lblServerAndNLM = new QLabel(serverAndNlm, this);
    m_lblServerAndNLM->setObjectName(QStringLiteral("lblServerAndNLM"));
    m_lblServerAndNLM->setTextFormat(Qt::PlainText);
    QFont bold = m_lblServerAndNLM->font();
    bold.setBold(true);
    m_lblServerAndNLM->setFont(bold);
    m_lblDescription = new QLabel(description, this);
    m_lblDescription->setObjectName(QStringLiteral("lblDescription"));
    m_lblDescription->setTextFormat(Qt::PlainText);
    m_lblDescription->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_btnOK = new QPushButton(tr("OK"), this);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnOK->setDefault(true);

    const int margin = toPixelsX(this, 240);
    m_lblServerAndNLM->move(margin, toPixelsY(this, 120));
    m_lblServerAndNLM->adjustSize();
    m_lblDescription->move(margin, m_lblServerAndNLM->geometry().bottom() + toPixelsY(this, 120));
    m_lblDescription->adjustSize();
    m_btnOK->resize(toPixelsX(this, 1095), m_btnOK->sizeHint().height());

    connect(m_btnOK, &QPushButton::clicked, this, &QWidget::close);
}

void NLMDescriptionDialog::fitToText()
{
    const QRect label = m_lblDescription->geometry();
    const int width = std::max(label.x() + label.width() + toPixelsX(this, 500),
                               m_lblServerAndNLM->geometry().right() + toPixelsX(this, 240));
    resize(std::max(width, m_btnOK->width() + toPixelsX(this, 480)),
           label.y() + label.height() + toPixelsY(this, 1500));
    m_btnOK->move((this->width() - m_btnOK->width()) / 2, m_btnOK->y());
    placeButton();
}

void NLMDescriptionDialog::placeButton()
{
    // The button keeps its distance from the bottom edge; the window's frame
    // takes part of the distance the form's own measure includes.
    m_btnOK->move(m_btnOK->x(), height() - toPixelsY(this, 1000) + toPixelsY(this, 330));
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

    QPointer<NLMForm> form = openView<NLMForm>(host);
    if (QMdiSubWindow* frame = form->frame())
        frame->show();
    QCoreApplication::processEvents();
    if (!form || form->isUnloaded())
        return;
    bringToFront(host, form);

    const QStringList servers = host.selectedServers();
    const int firstNewColumn = form->grdNLMs()->cols();
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
    QPointer<NLMForm> form = findView<NLMForm>(host);
    if (!form || !host.context().history)
        return;
    QStringList servers = form->liveServers();
    for (const QString& server : host.selectedServers()) {
        if (!servers.contains(server))
            servers.append(server);
    }
    const QStringList baselines =
        host.context().history->ask<QStringList>([](history::HistoryStore& store) { return store.baselineNames(); });
    const std::optional<PastState> state = askPastState(form, servers, baselines);
    if (state && form && !form->isUnloaded())
        form->addPastColumns(*state);
}

void removeSelectedNlmServer(ViewHost& host)
{
    if (NLMForm* form = findView<NLMForm>(host))
        form->removeSelectedServer();
}

void applyNlmReportOptions(QWidget* window, const QString& show, bool differencesOnly)
{
    NLMForm* form = qobject_cast<NLMForm*>(window);
    if (!form && window)
        form = window->findChild<NLMForm*>();
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
