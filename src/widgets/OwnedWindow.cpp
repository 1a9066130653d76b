#include "widgets/OwnedWindow.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace widgets {

namespace {

// Set once a window was placed: later shows leave it where the user put it.
constexpr char kPlacedProperty[] = "veskaroPlacedOverOwner";

int clampedStart(int start, int length, int first, int room)
{
    // A window longer than the room keeps its start (its title bar) inside.
    if (length >= room)
        return first;
    return std::clamp(start, first, first + room - length);
}

}  // namespace

QRect centredOver(const QRect& owner, const QSize& size, const QRect& available)
{
    // Halves rounded the same way on every side of the origin.
    QRect placed(
        QPoint(owner.x() + (owner.width() - size.width()) / 2, owner.y() + (owner.height() - size.height()) / 2), size);
    if (available.isValid()) {
        placed.moveLeft(clampedStart(placed.left(), size.width(), available.left(), available.width()));
        placed.moveTop(clampedStart(placed.top(), size.height(), available.top(), available.height()));
    }
    return placed;
}

void showOverOwner(QWidget& window)
{
    QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    const bool first = owner && !window.property(kPlacedProperty).toBool();
    QRect available;
    if (first) {
        window.setProperty(kPlacedProperty, true);
        if (const QScreen* screen = owner->screen())
            available = screen->availableGeometry();
        if (available.isValid())
            window.resize(window.size().boundedTo(available.size()));
    }
    window.show();
    if (first) {
        // Placed once shown, when its frame is known: frames are what the
        // user sees side by side.
        const QRect ownerRect = owner->isVisible() ? owner->frameGeometry() : owner->geometry();
        window.move(centredOver(ownerRect, window.frameGeometry().size(), available).topLeft());
    }
    window.raise();
    window.activateWindow();
}

}  // namespace widgets
