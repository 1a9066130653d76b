#pragma once
// The splash window ("frmSplash"): shown while the program reads its settings and searches the
// directory for servers; a click closes it early.

#include <QFrame>

class QLabel;

namespace app {

class Splash : public QFrame {
    Q_OBJECT

public:
    explicit Splash(QWidget* parent = nullptr);

protected:
    // A click anywhere closes the window.
    void mousePressEvent(QMouseEvent* event) override;
};

// "Version 3.0": the release's major and minor version.
QString versionText();

}  // namespace app
