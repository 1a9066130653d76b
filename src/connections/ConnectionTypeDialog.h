#pragma once
// frmConnectionType, "Connection Filter": the defaults of the connections
// view (type and status filters, the optional columns, whether this dialog
// opens before each view). It only writes those four settings.

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

namespace core {
class AppContext;
}

namespace connections {

class ConnectionTypeDialog : public QDialog {
    Q_OBJECT
public:
    // atOpening: shown as the first step of opening a connections view
    // (filterAtStartup), which suppresses the closing message.
    ConnectionTypeDialog(core::AppContext& context, bool atOpening, QWidget* parent = nullptr);
    ~ConnectionTypeDialog() override;

    QComboBox* cmbConnType() const { return m_type; }
    QComboBox* cmbStatus() const { return m_status; }
    QListWidget* lstAvailableColumns() const { return m_columns; }
    QCheckBox* chkShowAtStartup() const { return m_showAtStartup; }
    QPushButton* btnSelectAll() const { return m_selectAll; }
    QPushButton* btnDeselectAll() const { return m_deselectAll; }
    QPushButton* btnSaveSettings() const { return m_save; }
    QPushButton* btnCancel() const { return m_cancel; }

    void selectAll(bool selected);
    void saveSettings();

private:
    void loadSettings();

    core::AppContext& m_context;
    QComboBox* m_type;
    QComboBox* m_status;
    QListWidget* m_columns;
    QCheckBox* m_showAtStartup;
    QPushButton* m_selectAll;
    QPushButton* m_deselectAll;
    QPushButton* m_save;
    QPushButton* m_cancel;
};

// Shows the chooser modally and returns when it closes.
void showColumnChooser(core::AppContext& context, QWidget* parent, bool atOpening);

// How the chooser is shown: by default exec(); tests put their own hand on it.
using ChooserPresenter = std::function<void(ConnectionTypeDialog&)>;
void setChooserPresenter(ChooserPresenter presenter);

}  // namespace connections
