#pragma once
// The hourglass for as long as an object of this type lives: while a handler
// works or a view opens, however it ends.

#include <QCursor>
#include <QGuiApplication>

namespace widgets {

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace widgets
