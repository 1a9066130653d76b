#pragma once
// What File / "&Save" writes for a window, as text: its tables in control
// order with a comma between fields.

#include <QString>

class QWidget;

namespace testing {

QString savedText(const QWidget* window);

}  // namespace testing
