#pragma once
// Where view windows live: frames of the main window's multiple-document
// area. Views that exist once find their window here, new windows get their
// frame here, and opening brings the frame to the front.

#include "app/ViewHost.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <functional>

namespace views {

// The open window of the given view, or null. A window that is already
// unloading does not count.
template <class Form>
Form* fcnFindView(QMdiArea* area)
{
    if (!area)
        return nullptr;
    for (QMdiSubWindow* frame : area->subWindowList(QMdiArea::CreationOrder)) {
        auto* form = qobject_cast<Form*>(frame->widget());
        if (!form)
            continue;
        if constexpr (requires { form->isUnloaded(); }) {
            if (form->isUnloaded())
                continue;
        }
        return form;
    }
    return nullptr;
}

// Puts a new view window into a frame of the host's area; closing the frame
// deletes both. `activated` runs whenever the frame becomes the active child.
QMdiSubWindow* fcnAddViewFrame(app::ViewHost& host, QWidget* form, std::function<void()> activated = {});

// Shows the view's frame, brings it to the front and makes it the active child.
void subActivateView(app::ViewHost& host, QWidget* form);

}  // namespace views
