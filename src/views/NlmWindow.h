#pragma once
// NlmWindow, "NLMs": the modules loaded on several servers side by side, one row
// per module file name and a version and a date column per server; rows in
// which every server agrees can be hidden. NLMDescriptionDialog, "NLM
// Information", shows what a server says about one module. The rules live in
// views/NLMComparison.h; this window holds the controls and the handlers.

#include "viewbase/ViewWindow.h"
#include "views/NLMComparison.h"
#include "views/PastState.h"

#include <QSet>

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

class DifferenceMarks;
class NLMDescriptionDialog;

class NlmWindow : public ViewWindow {
    Q_OBJECT
public:
    explicit NlmWindow(ViewHost& host, QWidget* parent = nullptr);
    ~NlmWindow() override;

    // Save and Copy take the comparison; the descriptions grid is never a
    // table of their own, and a copy's heading leaves out the hidden columns.
    QList<QWidget*> savedTables() const override;
    exporting::CopiedHeading copiedHeading() const override { return exporting::CopiedHeading::ShownColumns; }

    static QString caption() { return QStringLiteral("NLMs"); }

    widgets::FlexGrid* grdNLMs() const { return m_nlmGrid; }
    widgets::FlexGrid* grdNLMDescription() const { return m_descriptionGrid; }
    QRadioButton* optShowBoth() const { return m_showBoth; }
    QRadioButton* optShowVersion() const { return m_showVersion; }
    QRadioButton* optShowDate() const { return m_showDate; }
    QCheckBox* chkNLMDifferencesOnly() const { return m_differencesOnly; }
    QLineEdit* txtFind() const { return m_findText; }
    QStatusBar* statusBar() const { return m_statusBar; }
    // "N of M rows differ" in the status bar.
    QLabel* lblDifferences() const { return m_differencesLabel; }
    DifferenceMarks* differenceMarks() const { return m_marks; }

    // The option selected in "Show Column".
    NlmShow showColumns() const;

    // Whether a server's columns are already in the comparison.
    bool hasServer(const QString& server) const;

    // An opening adds its servers between these two: the tables are redrawn
    // once, and the rows are sorted by name at the end. `servers` is how many
    // may come, so the columns are allocated once.
    void beginAdding(int servers = 1);
    void endAdding();

    // The servers of the opening, read side by side and added in the order
    // given: connect, authenticate, columns, modules, close. A server already
    // shown is passed over; one that cannot be reached is reported. A server
    // whose tree is not logged in closes the window with everything in it
    // (Closed). Outside an opening it is an opening of its own.
    ReadEnd addServers(const QStringList& servers);
    // Adds the version and date columns of a server as it was (at a date or
    // in a baseline), headed by pastStateLabel, from the history; the
    // differences box and marks then count it like a server. False, after
    // telling the user why, when nothing is kept. A pair of that heading
    // already shown is kept.
    bool addPastColumns(const PastState& state);
    // Whether the column belongs to a kept state rather than a live server.
    bool isPastColumn(int col) const;
    // The servers of the live pairs, left to right.
    QStringList liveServers() const;

    // Step after all servers: the differences box is usable with two servers or more.
    void updateDifferencesBox();

    // Hides or shows the rows in which every server agrees, as the
    // differences box says.
    void applyDifferences();

    // A press on the grid: sorts by a header, selects a row, a server's
    // column or pair, and offers "&NLM Commands" on a server's header.
    void clickGrid(Qt::MouseButton button, int row, int col, const QPoint& globalPos);
    // The status bar offers the description over a filled cell.
    void hoverGrid(int row, int col);
    // The description window it opened, or nullptr.
    NLMDescriptionDialog* openDescription(int row, int col);

    // The main window's "Remove Server" on this window: the selected server's
    // columns go, the differences box follows, rows left empty go.
    void removeSelectedServer();

protected:
    // Restores "Show Column" and the name column's width.
    void loadContents() override;
    void unloadContents() override;
    void activated() override;
    // Fits the columns a slice at a time and lets events run between the
    // slices: the window may be gone when it returns.
    void fitColumns() override;
    void fitAddedColumns(int firstColumn) override;

private:
    void applyShowColumns(NlmShow show);
    void findTypedName();
    void setRemoveServerEnabled(bool enabled);
    void updateDifferenceSummary();

    widgets::FlexGrid* m_nlmGrid = nullptr;
    widgets::FlexGrid* m_descriptionGrid = nullptr;
    QGroupBox* m_columnsFrame = nullptr;
    QRadioButton* m_showBoth = nullptr;
    QRadioButton* m_showVersion = nullptr;
    QRadioButton* m_showDate = nullptr;
    QCheckBox* m_differencesOnly = nullptr;
    QLabel* m_findLabel = nullptr;
    QLineEdit* m_findText = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_differencesLabel = nullptr;
    DifferenceMarks* m_marks = nullptr;
    std::unique_ptr<NlmComparisonFill> m_fill;  // while an opening runs
    NlmComparisonFill::Texts m_texts;           // versions and dates made so far
    QSet<QString> m_pastHeadings;               // headings of the pairs of kept states
    bool m_sortDescending = true;               // the first header sort after opening is descending
};

class NLMDescriptionDialog : public QWidget {
    Q_OBJECT
public:
    NLMDescriptionDialog(const QString& serverAndNlm, const QString& description, QWidget* parent = nullptr);

    QLabel* lblServerAndNLM() const { return m_serverAndNlmLabel; }
    QLabel* lblDescription() const { return m_descriptionLabel; }
    QPushButton* btnOK() const { return m_okButton; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Sized to the description when shown; the button stays at the bottom.
    void fitToText();
    void placeButton();

    QLabel* m_serverAndNlmLabel;
    QLabel* m_descriptionLabel;
    QPushButton* m_okButton;
};

// Opens the comparison (or appends to the open one) for the servers selected
// in the main window's list.
void openNLMs(ViewHost& host);

// The main window's "Remove Server" of "&NLM Commands": acts on the open comparison.
void removeSelectedNlmServer(ViewHost& host);

// "Add Server from History..." of the comparison's menu: asks which server
// as it was, then adds its pair of columns to the open comparison.
void addPastNlmColumns(ViewHost& host);

// veskaro-report: selects the "Show Column" option ("both", "version" or
// "date", any case; another word leaves the option as it is) and ticks the
// differences box, each as a user would, so their handlers run. A box the
// window has disabled (one server) stays as it is. `window` is the NlmWindow or
// the sub-window around it.
void applyNlmReportOptions(QWidget* window, const QString& show, bool differencesOnly);

}  // namespace views
