#include "support/FakeViewHost.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace testing {

FakeViewHost::FakeViewHost(core::AppContext& context) : m_context(context), m_window(std::make_unique<QMainWindow>())
{
    auto* area = new QMdiArea(m_window.get());
    area->setObjectName(QStringLiteral("mdiArea"));
    m_window->setCentralWidget(area);
    m_window->resize(1024, 768);
    m_menus = views::addViewMenus(*m_window->menuBar());
}

FakeViewHost::~FakeViewHost()
{
    // Views still open react to losing activation while the area goes away;
    // let them do so while the menus they touch still exist.
    m_window->hide();
    mdiArea()->closeAllSubWindows();
    m_window.reset();
}

void FakeViewHost::closeViews()
{
    mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QMdiArea* FakeViewHost::mdiArea()
{
    return static_cast<QMdiArea*>(m_window->centralWidget());
}

void FakeViewHost::enableSaveCopy(const QString& refreshCaption)
{
    const bool idle = refreshCaption == QLatin1String("Begin &Refresh");
    saveEnabled = idle;
    copyEnabled = idle;
}

void FakeViewHost::popupMenu(QMenu* menu, const QPoint&)
{
    popups.append(menu ? menu->objectName() : QString());
}

void FakeViewHost::beginOpening(bool disableToolBar)
{
    ++openings;
    ++openingsStarted;
    toolBarDisabled = disableToolBar;
}

void FakeViewHost::endOpening()
{
    --openings;
    toolBarDisabled = false;
}

}  // namespace testing
