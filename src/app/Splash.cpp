#include "app/Splash.h"
#include "app/Icons.h"

#include "VeskaroVersion.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>

namespace app {

QString versionText()
{
    constexpr int kMajor = VESKARO_VERSION_MAJOR;
    constexpr int kMinor = VESKARO_VERSION_MINOR;
    return QStringLiteral("Version %1.%2").arg(kMajor).arg(kMinor);
}

Splash::Splash(QWidget* parent) : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Veskaro"));
    setFrameStyle(QFrame::Box | QFrame::Raised);
    setLineWidth(2);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(loadIcon(QStringLiteral("app.svg")).pixmap(64, 64));
    logo->setFixedSize(72, 72);
    logo->setAlignment(Qt::AlignCenter);

    auto* product = new QLabel(QStringLiteral("Veskaro"), this);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2.0);
    big.setBold(true);
    product->setFont(big);

    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* loading = new QLabel(tr("Loading..."), this);
    loading->setObjectName(QStringLiteral("lblLoading"));

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setHorizontalSpacing(18);
    layout->addWidget(logo, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(product, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(loading, 2, 1, Qt::AlignBottom);
    layout->setColumnStretch(1, 1);
    setMinimumWidth(320);
}

void Splash::mousePressEvent(QMouseEvent* event)
{
    close();
    event->accept();
}

}  // namespace app
