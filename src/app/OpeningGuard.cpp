#include "app/OpeningGuard.h"

#include "app/MainWindow.h"

#include <QListWidget>
#include <QToolBar>

namespace app {

OpeningGuard::OpeningGuard(MainWindow& form, bool disableToolBar) : m_list(form.lstServers())
{
    if (m_list) {
        m_listWasEnabled = m_list->isEnabled();
        m_list->setEnabled(false);
    }
    if (disableToolBar) {
        m_toolBar = form.picButtons();
        if (m_toolBar) {
            m_toolBarWasEnabled = m_toolBar->isEnabled();
            m_toolBar->setEnabled(false);
        }
    }
}

OpeningGuard::~OpeningGuard()
{
    if (m_list)
        m_list->setEnabled(m_listWasEnabled);
    if (m_toolBar)
        m_toolBar->setEnabled(m_toolBarWasEnabled);
}

}  // namespace app
