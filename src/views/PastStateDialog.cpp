#include "views/PastStateDialog.h"

#include "core/AppContext.h"
#include "history/HistoryRecorder.h"

#include <QBrush>
#include <QColor>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFont>
#include <QFormLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace views {

PastStateDialog::PastStateDialog(const QStringList& servers, const QStringList& baselines, QWidget* parent)
    : QDialog(parent)
    , m_server(new QComboBox(this))
    , m_atDate(new QRadioButton(tr("As it was &at"), this))
    , m_inBaseline(new QRadioButton(tr("As kept in &baseline"), this))
    , m_date(new QDateTimeEdit(this))
    , m_baseline(new QComboBox(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("frmPastState"));
    setWindowTitle(tr("Add Column from History"));
    m_server->setObjectName(QStringLiteral("cboServer"));
    m_server->setEditable(true);
    m_server->addItems(servers);
    m_atDate->setObjectName(QStringLiteral("optAtDate"));
    m_inBaseline->setObjectName(QStringLiteral("optBaseline"));
    m_date->setObjectName(QStringLiteral("dtpAt"));
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    m_date->setCalendarPopup(true);
    m_date->setDateTime(QDateTime::currentDateTime().addDays(-1));
    m_baseline->setObjectName(QStringLiteral("cboBaseline"));
    m_baseline->addItems(baselines);
    m_atDate->setChecked(true);
    m_inBaseline->setEnabled(!baselines.isEmpty());

    auto* form = new QFormLayout;
    form->addRow(tr("&Server:"), m_server);
    form->addRow(m_atDate, m_date);
    form->addRow(m_inBaseline, m_baseline);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_buttons);

    connect(m_atDate, &QRadioButton::toggled, this, [this] { updateControls(); });
    connect(m_server, &QComboBox::currentTextChanged, this, [this] { updateControls(); });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateControls();
}

PastState PastStateDialog::chosen() const
{
    PastState state;
    state.server = m_server->currentText().trimmed();
    if (m_inBaseline->isChecked()) {
        state.origin.from = history::ChangeOrigin::From::Baseline;
        state.origin.baseline = m_baseline->currentText();
    } else {
        state.origin.from = history::ChangeOrigin::From::Date;
        state.origin.date = m_date->dateTime().toUTC();
    }
    return state;
}

void PastStateDialog::updateControls()
{
    m_date->setEnabled(m_atDate->isChecked());
    m_baseline->setEnabled(m_inBaseline->isChecked());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_server->currentText().trimmed().isEmpty());
}

std::optional<PastState> askPastState(QWidget* parent, const QStringList& servers, const QStringList& baselines)
{
    PastStateDialog dialog(servers, baselines, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosen();
}

std::optional<PastState> askPastStateForComparison(QWidget* parent, core::AppContext& context, QStringList servers,
                                                   const QStringList& selected)
{
    for (const QString& server : selected) {
        if (!servers.contains(server))
            servers.append(server);
    }
    const QStringList baselines =
        context.history->ask<QStringList>([](history::HistoryStore& store) { return store.baselineNames(); });
    return askPastState(parent, servers, baselines);
}

QVariant pastHeaderLook(int role)
{
    switch (role) {
    case Qt::FontRole: {
        QFont font;
        font.setItalic(true);
        return font;
    }
    case Qt::ForegroundRole:
        return QBrush(QColor(0x1f, 0x5f, 0xa8));  // the blue of the marks' palette
    case Qt::ToolTipRole:
        return QObject::tr("Kept in the history; not read from the server");
    default:
        return {};
    }
}

}  // namespace views
