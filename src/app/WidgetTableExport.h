#pragma once
// File / "&Save" and Edit / "Copy" of the main window over the table widgets
// of the active view window.

#include "app/TableExport.h"

namespace app {

class WidgetTableExport : public TableExport {
public:
    void save(MainForm& form, QWidget* activeChild) override;
    void copy(MainForm& form, QWidget* activeChild) override;
    QList<QStringList> savedRows(MainForm& form, QWidget* activeChild) const override;
};

}  // namespace app
