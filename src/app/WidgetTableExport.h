#pragma once
// File / "&Save" and Edit / "Copy" of the main window over the table widgets
// of the active view window.

#include "app/TableExport.h"

namespace app {

class WidgetTableExport : public TableExport {
public:
    void save(MainWindow& form, QWidget* activeChild) override;
    void copy(MainWindow& form, QWidget* activeChild) override;
    QList<QStringList> savedRows(MainWindow& form, QWidget* activeChild) const override;
};

}  // namespace app
