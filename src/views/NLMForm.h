#pragma once
// frmNLMs, "NLMs": the modules loaded on several servers side by side, one row
// per module file name and a version and a date column per server; rows in
// which every server agrees can be hidden. frmNLMDescription, "NLM
// Information", shows what a server says about one module. The rules live in
// views/NLMComparison.h; this window holds the controls and the handlers.

#include "app/ViewHost.h"
#include "views/NLMComparison.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace widgets {
class FlexGrid;
}

namespace views {

class frmNLMDescription;

class frmNLMs : public QWidget {
    Q_OBJECT
public:
    explicit frmNLMs(app::ViewHost& host, QWidget* parent = nullptr);
    ~frmNLMs() override;

    static QString caption() { return QStringLiteral("NLMs"); }

    widgets::FlexGrid* grdNLMs() const { return m_grdNLMs; }
    widgets::FlexGrid* grdNLMDescription() const { return m_grdNLMDescription; }
    QRadioButton* optShowBoth() const { return m_optShowBoth; }
    QRadioButton* optShowVersion() const { return m_optShowVersion; }
    QRadioButton* optShowDate() const { return m_optShowDate; }
    QCheckBox* chkNLMDifferencesOnly() const { return m_chkNLMDifferencesOnly; }
    QLineEdit* txtFind() const { return m_txtFind; }
    QStatusBar* StatusBar1() const { return m_statusBar; }

    // The option selected in "Show Column".
    NlmShow showColumns() const;
    // True once the window has been unloaded (it goes away with the next event loop turn).
    bool isUnloaded() const { return m_unloaded; }

    // Whether a server's columns are already in the comparison.
    bool hasServer(const QString& server) const;

    // An opening adds its servers between these two: the tables are redrawn
    // once, and the rows are sorted by name at the end.
    void subBeginOpening();
    void subEndOpening();

    enum class AddResult { Added, AlreadyShown, NotConnected, NotAuthenticated };
    // One server of the opening: connect, authenticate, columns, modules,
    // close. NotAuthenticated has unloaded the window. Outside an opening
    // it is an opening of its own.
    AddResult subAddServer(const QString& server);
    // Step after all servers: the differences box is usable with two servers or more.
    void subEnableDifferencesBox();

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();

    void optShowBoth_Click();
    void optShowVersion_Click();
    void optShowDate_Click();
    void chkNLMDifferencesOnly_Click();
    void subCheckNLMsMatch();
    void txtFind_Change();

    void grdNLMs_MouseDown(Qt::MouseButton button, int row, int col, const QPoint& globalPos);
    void grdNLMs_MouseMove(int row, int col);
    // The description window it opened, or nullptr.
    frmNLMDescription* grdNLMs_DblClick(int row, int col);

    // The main window's "Remove Server" on this window: the selected server's
    // columns go, the differences box follows, rows left empty go.
    void subRemoveSelectedServer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyShowColumns(NlmShow show);
    void subSetRemoveServerEnabled(bool enabled);

    app::ViewHost& m_host;
    widgets::FlexGrid* m_grdNLMs = nullptr;
    widgets::FlexGrid* m_grdNLMDescription = nullptr;
    QGroupBox* m_fraColumns = nullptr;
    QRadioButton* m_optShowBoth = nullptr;
    QRadioButton* m_optShowVersion = nullptr;
    QRadioButton* m_optShowDate = nullptr;
    QCheckBox* m_chkNLMDifferencesOnly = nullptr;
    QLabel* m_label1 = nullptr;
    QLineEdit* m_txtFind = nullptr;
    QStatusBar* m_statusBar = nullptr;
    std::unique_ptr<NlmComparisonFill> m_fill;   // while an opening runs
    bool m_sortDescending = true;   // the first header sort after opening is descending
    bool m_unloaded = false;
    bool m_loaded = false;
};

class frmNLMDescription : public QWidget {
    Q_OBJECT
public:
    frmNLMDescription(const QString& serverAndNlm, const QString& description, QWidget* parent = nullptr);

    QLabel* lblServerAndNLM() const { return m_lblServerAndNLM; }
    QLabel* lblDescription() const { return m_lblDescription; }
    QPushButton* btnOK() const { return m_btnOK; }

    void Form_Activate();
    void Form_Resize();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_lblServerAndNLM;
    QLabel* m_lblDescription;
    QPushButton* m_btnOK;
};

// Opens the comparison (or appends to the open one) for the servers selected
// in the main window's list.
void btnNLMs_Click(app::ViewHost& host);

// The main window's "Remove Server" of "&NLM Commands": acts on the open comparison.
void PopMenu_Remove_Server_Click(app::ViewHost& host);

// The open comparison window of a host (or of an MDI area), nullptr when none.
frmNLMs* fcnFindNlmForm(QMdiArea* area);
frmNLMs* fcnFindNlmForm(app::ViewHost& host);

// veskaro-report: selects the "Show Column" option ("both", "version" or
// "date", any case; another word leaves the option as it is) and ticks the
// differences box, each as a user would, so their handlers run. A box the
// window has disabled (one server) stays as it is. `window` is the frmNLMs or
// the sub-window around it.
void applyNlmReportOptions(QWidget* window, const QString& show, bool differencesOnly);

}  // namespace views
