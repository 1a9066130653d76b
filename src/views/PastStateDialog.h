#pragma once
// The window in which the user picks a server as it was for a comparison
// ("frmPastState"): the server, and a date or a baseline. Also the look of
// such a column's header.

#include "views/PastState.h"

#include <QDialog>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace core {
class AppContext;
}

class QComboBox;
class QDateTimeEdit;
class QDialogButtonBox;
class QRadioButton;

namespace views {

class PastStateDialog : public QDialog {
    Q_OBJECT
public:
    PastStateDialog(const QStringList& servers, const QStringList& baselines, QWidget* parent = nullptr);

    QComboBox* cboServer() const { return m_server; }
    QRadioButton* optAtDate() const { return m_atDate; }
    QRadioButton* optBaseline() const { return m_inBaseline; }
    QDateTimeEdit* dtpAt() const { return m_date; }
    QComboBox* cboBaseline() const { return m_baseline; }
    QDialogButtonBox* buttons() const { return m_buttons; }

    // What the controls say now.
    PastState chosen() const;

private:
    void updateControls();

    QComboBox* m_server;
    QRadioButton* m_atDate;
    QRadioButton* m_inBaseline;
    QDateTimeEdit* m_date;
    QComboBox* m_baseline;
    QDialogButtonBox* m_buttons;
};

// Shows the window modally; nothing when it is cancelled.
std::optional<PastState> askPastState(QWidget* parent, const QStringList& servers, const QStringList& baselines);
// The same for a comparison: its live servers, then the selected ones it
// does not show, and the baselines the context's history keeps.
std::optional<PastState> askPastStateForComparison(QWidget* parent, core::AppContext& context, QStringList servers,
                                                   const QStringList& selected);

// Header looks of a past column: italics and a colour of their own, and a
// tool tip that says it is no live server. Invalid for other roles.
QVariant pastHeaderLook(int role);

}  // namespace views
