#include "app/WidgetTableExport.h"

#include "app/MainForm.h"
#include "export/WidgetExport.h"
#include "widgets/FlexGrid.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

namespace {

QChar delimiterOf(const AppContext& context)
{
    const QString& delimiter = context.values.gSaveFileDelimiter;
    return delimiter.isEmpty() ? QLatin1Char(',') : delimiter.front();
}

}  // namespace

void WidgetTableExport::save(MainForm& form, QWidget* activeChild)
{
    AppContext& context = form.context();
    platform::SaveDialogRequest request;
    request.title = QObject::tr("Save");
    QMdiSubWindow* frame = form.activeChild();
    request.proposedName = exporting::fcnProposedSaveName(frame ? frame->windowTitle() : QString());
    request.filter = exporting::fcnSaveFilter();
    request.overwritePrompt = true;
    const QString fileName = context.fileDialogs().getSaveFileName(request);
    if (fileName.isEmpty() || !activeChild)
        return;
    // Every table of the window is written in control order, each over the
    // last, so a window with two tables leaves the file holding the second.
    for (const QWidget* table : exporting::exportableTables(activeChild)) {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;  // a file that cannot be created is passed over in silence
        exporting::writeTable(table, file, delimiterOf(context));
    }
}

QString WidgetTableExport::savedText(MainForm& form, QWidget* activeChild) const
{
    if (!activeChild)
        return {};
    const QList<QWidget*> tables = exporting::exportableTables(activeChild);
    if (tables.isEmpty())
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    exporting::writeTable(tables.last(), buffer, delimiterOf(form.context()));
    return QString::fromLatin1(buffer.data());
}

void WidgetTableExport::copy(MainForm& form, QWidget* activeChild)
{
    if (!activeChild)
        return;
    CopyDialog dialog(form.context(), activeChild, m_allRows, &form);
    if (dialog.exec() == QDialog::Accepted)
        m_allRows = dialog.allRowsChosen();
}

CopyDialog::CopyDialog(AppContext& context, QWidget* activeChild, bool allRows, QWidget* parent)
    : QDialog(parent), m_context(context), m_activeChild(activeChild)
{
    setObjectName(QStringLiteral("frmCopy"));
    setWindowTitle(tr("Copy"));

    m_optAllRows = new QRadioButton(tr("&All Rows"), this);
    m_optAllRows->setObjectName(QStringLiteral("optAllRows"));
    m_optSelected = new QRadioButton(tr("&Selected Rows"), this);
    m_optSelected->setObjectName(QStringLiteral("optSelected"));
    (allRows ? m_optAllRows : m_optSelected)->setChecked(true);

    auto* btnCopy = new QPushButton(tr("Copy"), this);
    btnCopy->setObjectName(QStringLiteral("btnCopy"));
    btnCopy->setDefault(true);
    auto* btnCancel = new QPushButton(tr("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnCopy, &QPushButton::clicked, this, &CopyDialog::btnCopy_Click);
    connect(btnCancel, &QPushButton::clicked, this, &CopyDialog::btnCancel_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCopy);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_optAllRows);
    layout->addWidget(m_optSelected);
    layout->addLayout(buttons);
}

bool CopyDialog::allRowsChosen() const
{
    return m_optAllRows->isChecked();
}

void CopyDialog::btnCopy_Click()
{
    if (const widgets::FlexGrid* grid = exporting::copyableGrid(m_activeChild)) {
        int first = 0;
        int last = grid->rows() - 1;
        if (!allRowsChosen()) {
            first = std::min(grid->row(), grid->rowSel());
            last = std::max(grid->row(), grid->rowSel());
        }
        const QString& delimiter = m_context.values.gSaveFileDelimiter;
        exporting::subCopyGridToClipboard(*grid, first, last,
                                          delimiter.isEmpty() ? QLatin1Char(',') : delimiter.front(),
                                          m_context.clipboard());
    }
    accept();
}

void CopyDialog::btnCancel_Click()
{
    reject();
}

}  // namespace app
