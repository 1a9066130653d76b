#pragma once
// Windows of their own that belong to the main window (the user guide, Send
// Message, the utilization history): they open centred over the window that
// owns them, on its screen, and stay above it, so they never open in a corner
// of the desktop or hide behind the program.

#include <QRect>
#include <QSize>

class QWidget;

namespace widgets {

// Where a window of `size` goes so that it is centred over `owner`, moved as
// little as needed to lie wholly within `available` (the owner's screen); a
// window larger than the screen keeps its top left corner on it.
QRect centredOver(const QRect& owner, const QSize& size, const QRect& available);

// Shows `window` (a top-level window whose parent is on the owning window)
// over its owner: centred the first time it is shown, raised and activated
// every time.
void showOverOwner(QWidget& window);

}  // namespace widgets
