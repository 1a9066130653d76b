#include "export/CopyDialog.h"

#include "core/AppContext.h"
#include "export/SaveCopy.h"
#include "export/WidgetExport.h"
#include "widgets/FlexGrid.h"
#include "widgets/ReportListView.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace exporting {

namespace {

// The run's memory of the last choice; the program has one copy dialog at a time.
bool g_lastChoiceAllRows = false;

}  // namespace

CopyDialog::CopyDialog(core::AppContext& context, QWidget* activeChild, QWidget* parent)
    : QDialog(parent)
    , m_context(context)
    , m_window(activeChild)
    , m_allRows(new QRadioButton(tr("&All Rows"), this))
    , m_selected(new QRadioButton(tr("&Selected Rows"), this))
    , m_copy(new QPushButton(tr("&Copy"), this))
    , m_cancel(new QPushButton(tr("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmCopy"));
    setWindowTitle(tr("Copy"));
    setModal(true);
    m_allRows->setObjectName(QStringLiteral("optAllRows"));
    m_selected->setObjectName(QStringLiteral("optSelected"));
    m_copy->setObjectName(QStringLiteral("btnCopy"));
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    m_copy->setDefault(true);

    if (g_lastChoiceAllRows)
        m_allRows->setChecked(true);
    else
        m_selected->setChecked(true);

    auto* options = new QVBoxLayout;
    options->addWidget(m_allRows);
    options->addWidget(m_selected);
    options->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_copy);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(options, 1);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());

    connect(m_copy, &QPushButton::clicked, this, &CopyDialog::copyAndClose);
    connect(m_cancel, &QPushButton::clicked, this, &CopyDialog::cancel);
}

CopyDialog::~CopyDialog() = default;

void CopyDialog::copyAndClose()
{
    if (widgets::FlexGrid* grid = copyableGrid(m_window)) {
        int first = 0;
        int last = grid->model().rows() - 1;
        if (!m_allRows->isChecked()) {
            first = std::min(grid->model().row(), grid->model().rowSel());
            last = std::max(grid->model().row(), grid->model().rowSel());
        }
        if (first >= 0 && last >= first)
            copyGridToClipboard(*grid, first, last, saveDelimiter(m_context), m_context.clipboard(), QLocale(),
                                copiedHeading(m_window));
    } else if (widgets::ReportListView* list = copyableListView(m_window)) {
        copyListViewToClipboard(*list, m_allRows->isChecked(), saveDelimiter(m_context), m_context.clipboard());
    }
    g_lastChoiceAllRows = m_allRows->isChecked();
    accept();
}

void CopyDialog::cancel()
{
    reject();
}

bool CopyDialog::lastChoiceWasAllRows()
{
    return g_lastChoiceAllRows;
}

void CopyDialog::forgetLastChoice()
{
    g_lastChoiceAllRows = false;
}

}  // namespace exporting
