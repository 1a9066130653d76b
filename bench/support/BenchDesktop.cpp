#include "support/BenchDesktop.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

namespace bench {

platform::Answer PrintedMessages::show(const platform::Message& message)
{
    std::fprintf(m_to, "  message: %s\n", qPrintable(message.text));
    return message.defaultAnswer;
}

BenchContext::BenchContext(nw::NetWareClient& client, std::FILE* messagesTo)
    : messages(messagesTo)
    , context(client, registry, messages, fileDialogs, clipboard, processes)
{
    context.saveWindowState = false;
}

BenchHost::BenchHost(core::AppContext& context, QSize size) : m_context(context)
{
    m_window.setCentralWidget(new QMdiArea(&m_window));
    m_window.resize(size);
    m_menus = views::addViewMenus(*m_window.menuBar());
}

BenchHost::~BenchHost()
{
    // Open views react to losing activation while the area goes away; let
    // them do so while the menus they touch still exist.
    m_window.hide();
    mdiArea()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QMdiArea* BenchHost::mdiArea()
{
    return static_cast<QMdiArea*>(m_window.centralWidget());
}

}  // namespace bench
