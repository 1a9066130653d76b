#include "support/FakeViewHost.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace testing {

FakeViewHost::FakeViewHost(app::AppContext& context)
    : m_context(context), m_window(std::make_unique<QMainWindow>())
{
    auto* area = new QMdiArea(m_window.get());
    area->setObjectName(QStringLiteral("mdiArea"));
    m_window->setCentralWidget(area);
    m_window->resize(1024, 768);
}

FakeViewHost::~FakeViewHost()
{
    // Views still open react to losing activation while the area goes away;
    // let them do so while the menus they touch still exist.
    m_window->hide();
    mdiArea()->closeAllSubWindows();
    m_window.reset();
}

QMdiArea* FakeViewHost::mdiArea()
{
    return static_cast<QMdiArea*>(m_window->centralWidget());
}

void FakeViewHost::subEnableSaveCopy(const QString& refreshCaption)
{
    const bool idle = refreshCaption == QLatin1String("Begin &Refresh");
    saveEnabled = idle;
    copyEnabled = idle;
}

QMenu* FakeViewHost::menu(const QString& objectName)
{
    auto& menu = m_menus[objectName];
    if (!menu) {
        menu = m_window->menuBar()->addMenu(objectName);
        menu->setObjectName(objectName);
    }
    return menu;
}

QAction* FakeViewHost::menuAction(const QString& objectName)
{
    auto& action = m_actions[objectName];
    if (!action) {
        action = new QAction(objectName, m_window.get());
        action->setObjectName(objectName);
    }
    return action;
}

void FakeViewHost::setMenuVisible(const QString& objectName, bool visible)
{
    menuVisible[objectName] = visible;
    menu(objectName)->menuAction()->setVisible(visible);
}

void FakeViewHost::popupMenu(const QString& objectName, const QPoint&)
{
    popups.append(objectName);
}

bool FakeViewHost::fnActivateOpenForm(const QString& caption)
{
    const auto windows = mdiArea()->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < windows.size(); ++i) {
        if (windows.at(i)->windowTitle() == caption) {
            mdiArea()->setActiveSubWindow(windows.at(i));
            m_context.values.gFoundFormIndex = i + 1;
            return true;
        }
    }
    return false;
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
