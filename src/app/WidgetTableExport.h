#pragma once
// File / "&Save" and Edit / "Copy" over the table widgets of a view window,
// and frmCopy, the dialog that asks which rows to copy.

#include "app/TableExport.h"

#include <QDialog>

class QRadioButton;

namespace app {

class AppContext;

class WidgetTableExport : public TableExport {
public:
    void save(MainForm& form, QWidget* activeChild) override;
    void copy(MainForm& form, QWidget* activeChild) override;
    QString savedText(MainForm& form, QWidget* activeChild) const override;

private:
    // The choice of the last copy of this run; the first copy offers the selection.
    bool m_allRows = false;
};

class CopyDialog : public QDialog {
    Q_OBJECT

public:
    CopyDialog(AppContext& context, QWidget* activeChild, bool allRows, QWidget* parent = nullptr);

    void btnCopy_Click();
    void btnCancel_Click();
    bool allRowsChosen() const;

private:
    AppContext& m_context;
    QWidget* m_activeChild;
    QRadioButton* m_optAllRows = nullptr;
    QRadioButton* m_optSelected = nullptr;
};

}  // namespace app
