#include "app/AboutDialog.h"
#include "platform/Services.h"
#include "settings/RegistryStore.h"
#include "app/Icons.h"

#include "app/Splash.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

namespace app {

QString findSysInfoProgram(const settings::RegistryStore& store)
{
    using settings::Hive;
    if (auto path = store.queryValue(Hive::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                     QStringLiteral("PATH"));
        path && !path->isEmpty())
        return *path;
    if (auto folder = store.queryValue(Hive::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                                       QStringLiteral("MSINFO"));
        folder && !folder->isEmpty())
        return *folder + QStringLiteral("\\MSINFO32.EXE");
    return {};
}

std::optional<SystemInfoTool> findSystemInfoTool(const settings::RegistryStore& store,
                                                 const ExecutableFinder& findExecutable)
{
    if (const QString recorded = findSysInfoProgram(store); !recorded.isEmpty() && QFileInfo::exists(recorded))
        return SystemInfoTool{recorded, {}};
#if defined(Q_OS_MACOS)
    for (const QString& bundle : {QStringLiteral("/System/Applications/Utilities/System Information.app"),
                                  QStringLiteral("/Applications/Utilities/System Information.app")}) {
        if (QFileInfo::exists(bundle))
            return SystemInfoTool{QStringLiteral("open"), {bundle}};
    }
#elif !defined(Q_OS_WIN)
    // Desktop information centres, most complete first.
    for (const QString& name : {QStringLiteral("kinfocenter"), QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                                QStringLiteral("gnome-system-monitor")}) {
        if (const QString path = findExecutable(name); !path.isEmpty())
            return SystemInfoTool{path, {}};
    }
#endif
    Q_UNUSED(findExecutable);
    return std::nullopt;
}

AboutDialog::AboutDialog(core::AppContext& context, QWidget* parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About ") + QStringLiteral("Veskaro"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(loadIcon(QStringLiteral("app.svg")).pixmap(48, 48));
    icon->setFixedSize(56, 56);

    auto* title = new QLabel(QStringLiteral("Veskaro"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.5);
    title->setFont(bold);

    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* sysInfo = new QPushButton(tr("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(sysInfo, &QPushButton::clicked, this, &AboutDialog::startSystemInformation);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    buttons->addStretch();

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1);
    layout->addWidget(version, 1, 1, Qt::AlignTop);
    layout->addLayout(buttons, 0, 2, 2, 1);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(360);
}

void AboutDialog::startSystemInformation()
{
    const auto tool = findSystemInfoTool(m_context.registry(),
                                         [](const QString& name) { return QStandardPaths::findExecutable(name); });
    if (tool && m_context.processes().startDetached(tool->program, tool->arguments))
        return;
    m_context.messages().inform(tr("System Information Is Unavailable At This Time"));
}

}  // namespace app
