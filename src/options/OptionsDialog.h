#pragma once
// frmOptions: the delimiter of saved and copied tables and the remote console
// program, each on its own tab. Apply and OK store both; a refused delimiter
// stores nothing, a folder without the chosen program keeps the stored path.
// The folder list is driven from the keyboard as well: Enter opens the
// highlighted folder, and a path typed into the path box goes straight there.

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace core {
class AppContext;
}

namespace options {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(core::AppContext& context, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    QTabBar* tabstripOptions() const { return m_tabs; }
    QWidget* picOptions(int index) const { return index == 0 ? m_delimiterPanel : m_remotePanel; }
    QRadioButton* optComma() const { return m_comma; }
    QRadioButton* optSemiColon() const { return m_semiColon; }
    QRadioButton* optOther() const { return m_other; }
    QLineEdit* txtDelimiter() const { return m_delimiter; }
    QRadioButton* optRconj() const { return m_rconj; }
    QRadioButton* optRconsole() const { return m_rconsole; }
    QComboBox* driveRconJ() const { return m_drive; }
    QListWidget* dirRconJ() const { return m_folderList; }
    QListWidget* filRconJ() const { return m_fileList; }
    // The path box above the folder list and the line under it that says why
    // a typed path was refused or a stored folder could not be shown.
    QLineEdit* txtPath() const { return m_path; }
    QLabel* lblPathMessage() const { return m_pathMessage; }
    QPushButton* btnOK() const { return m_ok; }
    QPushButton* btnCancel() const { return m_cancel; }
    QPushButton* btnApply() const { return m_apply; }

    // The folder the folder list shows and the pattern of the file list.
    QString folder() const { return m_folder; }
    QString pattern() const { return m_pattern; }
    void setDrive(const QString& drive);
    // Shows the folder, or its nearest existing parent when it is gone.
    void setFolder(const QString& folder);
    void showPanel(int index);

    // Stores both settings; false when the delimiter was refused.
    bool applyUpdates();
    void apply();
    void acceptOptions();

private:
    void load();
    void changed();
    void setPattern(const QString& pattern);
    void refreshFiles();
    void enterFolder(const QString& entry);
    void showFolder(const QString& folder, const QString& highlight);
    void goToTypedPath();
    void say(const QString& text);
    bool eventFilter(QObject* watched, QEvent* event) override;

    core::AppContext& m_context;
    QTabBar* m_tabs;
    QWidget* m_delimiterPanel;
    QWidget* m_remotePanel;
    QRadioButton* m_comma;
    QRadioButton* m_semiColon;
    QRadioButton* m_other;
    QLineEdit* m_delimiter;
    QRadioButton* m_rconj;
    QRadioButton* m_rconsole;
    QComboBox* m_drive;
    QLineEdit* m_path;
    QLabel* m_pathMessage;
    QListWidget* m_folderList;
    QListWidget* m_fileList;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_apply;
    QString m_folder;
    QString m_pattern;
    bool m_loading = false;
};

// Tools / "Options": shows the window modally.
void showOptions(core::AppContext& context, QWidget* parent);

}  // namespace options
