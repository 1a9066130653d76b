#include "views/ViewWindow.h"

#include "settings/WindowState.h"

namespace views {

QMdiSubWindow* fcnAddViewFrame(app::ViewHost& host, QWidget* form, std::function<void()> activated)
{
    QMdiSubWindow* frame = host.mdiArea()->addSubWindow(form);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    if (activated) {
        QObject::connect(host.mdiArea(), &QMdiArea::subWindowActivated, form,
                         [frame, activated = std::move(activated)](QMdiSubWindow* active) {
                             if (active == frame)
                                 activated();
                         });
    }
    return frame;
}

void subActivateView(app::ViewHost& host, QWidget* form)
{
    auto* frame = qobject_cast<QMdiSubWindow*>(settings::WindowState::frameOf(form));
    if (!frame)
        return;
    frame->show();
    frame->raise();
    host.mdiArea()->setActiveSubWindow(frame);
}

}  // namespace views
