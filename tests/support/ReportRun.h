#pragma once
// veskaro-report run as a command in the test's own process, against a
// simulated network (VESKARO_NETWORK), a settings file (VESKARO_SETTINGS) and
// a history (VESKARO_HISTORY) of its own in a temporary folder. The settings
// start the server search at the given tree's root.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace app {
class MainWindow;
}

namespace testing {

struct ReportOutcome {
    int exitCode = -1;
    QString out;
    QString err;
    QByteArray bytes;  // out as written, when run through a device
};

class ReportRun {
public:
    explicit ReportRun(const QByteArray& network, const QString& tree = QStringLiteral("ACME_TREE"));
    ~ReportRun();
    ReportRun(const ReportRun&) = delete;
    ReportRun& operator=(const ReportRun&) = delete;

    // The output as text; `pictured` sees the main window when --screenshot has drawn it.
    ReportOutcome run(const QStringList& arguments, const std::function<void(app::MainWindow&)>& pictured = {});
    ReportOutcome runBytes(const QStringList& arguments);  // the output as the bytes written
    // Creates the key if needed and stores the value in the settings file.
    void seed(const QString& key, const QString& name, const QString& value);
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Writes a file below the run's folder, making the folders on its way.
    bool writeFile(const QString& name, const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
    QByteArray m_history;  // VESKARO_HISTORY before the run
};

}  // namespace testing
