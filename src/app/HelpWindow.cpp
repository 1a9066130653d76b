#include "app/HelpWindow.h"

#include "widgets/OwnedWindow.h"

#include "platform/WebPages.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// The guide is compiled into the GUI library; registering it here pulls it
// into every program that shows it.
static void registerHelp()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace app {

HelpWindow::HelpWindow(platform::ProcessLauncher& launcher, platform::MessageService& messages, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_launcher(launcher)
    , m_messages(messages)
{
    registerHelp();
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(tr("Veskaro Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    auto* contents = new QPushButton(tr("&Contents"), this);
    contents->setObjectName(QStringLiteral("btnContents"));
    auto* back = new QPushButton(tr("&Back"), this);
    back->setObjectName(QStringLiteral("btnBack"));
    back->setEnabled(false);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setOpenLinks(false);
    // The pages' own style sheet, applied to every page shown.
    QFile style(QStringLiteral(":/help/style.css"));
    if (style.open(QIODevice::ReadOnly))
        m_browser->document()->setDefaultStyleSheet(QString::fromUtf8(style.readAll()));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    resize(640, 560);

    connect(contents, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    showContents();
}

QUrl HelpWindow::contentsPage()
{
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

void HelpWindow::showContents()
{
    m_browser->setSource(contentsPage());
}

void HelpWindow::followLink(const QUrl& link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (target.scheme() == QLatin1String("qrc"))
        m_browser->setSource(target);
    else
        platform::openWebPage(m_launcher, m_messages, target.toString());
}

HelpWindow* showHelpContents(platform::ProcessLauncher& launcher, platform::MessageService& messages, QWidget* owner)
{
    HelpWindow* help = owner ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!help)
        help = new HelpWindow(launcher, messages, owner);
    else
        help->showContents();
    widgets::showOverOwner(*help);
    return help;
}

}  // namespace app
