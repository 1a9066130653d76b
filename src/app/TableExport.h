#pragma once
// File / "&Save" and Edit / "Copy" act on the table of the active child
// window. The export code provides this; until it is installed both menu items
// stay disabled.

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace app {

class MainWindow;

class TableExport {
public:
    virtual ~TableExport() = default;
    // File / "&Save" on the given child window (the widget inside the MDI frame).
    virtual void save(MainWindow& form, QWidget* activeChild) = 0;
    // Edit / "Copy" on the given child window.
    virtual void copy(MainWindow& form, QWidget* activeChild) = 0;
    // The cells File / "&Save" would write for the child, headings first,
    // without any dialog.
    virtual QList<QStringList> savedRows(MainWindow& form, QWidget* activeChild) const = 0;
};

}  // namespace app
