#pragma once
// The copy dialog ("frmCopy"): asks whether Copy takes all rows of the active window's table or the
// selected ones. The choice of "&All Rows" is remembered for the rest of the run.

#include <QDialog>
#include <QPointer>

class QPushButton;
class QRadioButton;

namespace core {
class AppContext;
}

namespace exporting {

class CopyDialog : public QDialog {
    Q_OBJECT
public:
    CopyDialog(core::AppContext& context, QWidget* activeChild, QWidget* parent = nullptr);
    ~CopyDialog() override;

    QRadioButton* optAllRows() const { return m_allRows; }
    QRadioButton* optSelected() const { return m_selected; }
    QPushButton* btnCopy() const { return m_copy; }
    QPushButton* btnCancel() const { return m_cancel; }

    // Copies all rows or the selected ones of the window's first grid (else of
    // its first list view), then remembers the choice and closes. Without a
    // table only the choice is kept.
    void copyAndClose();
    void cancel();

    // Whether the last copy of this run chose "&All Rows".
    static bool lastChoiceWasAllRows();
    // Starts the run's memory afresh (the first dialog of a run offers "&Selected Rows").
    static void forgetLastChoice();

private:
    core::AppContext& m_context;
    QPointer<QWidget> m_window;
    QRadioButton* m_allRows;
    QRadioButton* m_selected;
    QPushButton* m_copy;
    QPushButton* m_cancel;
};

}  // namespace exporting
