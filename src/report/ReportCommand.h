#pragma once
// veskaro-report: starts the way the program does, opens one view offscreen
// for the given servers and prints the table that File / "&Save" would write.
//
//   veskaro-report [--format csv|tsv|json] [--output FILE] [--delimiter C]
//                  [--jobs N] [--screenshot FILE.png] VIEW [SERVER...]
//   veskaro-report --list-views | --version | --help

#include "app/Commands.h"
#include "report/ReportFormats.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class QTextStream;

namespace app {
class MainWindow;
}

namespace report {

// What the command line asks of a view besides its name.
struct ReportRequest {
    QStringList servers;           // in the order given; empty: the start-up selection
    QString show;                  // --show, empty when not given
    QString view;                  // --view, empty when not given
    bool differencesOnly = false;  // --differences-only
    QString typeFilter;            // --type, empty when not given
    QString statusFilter;          // --status, empty when not given
    QString target;                // what a view takes after its one server (targetName)
};

struct ReportView {
    QString name;         // as typed on the command line
    QString description;  // one line for --help
    // Opens the view and returns its tables; nothing when the view cannot
    // be produced (the reason has gone to the message service).
    std::function<std::optional<ReportOutput>(app::MainWindow&, const ReportRequest&)> produce;
    // False for views that show the whole list rather than a selection.
    bool takesServers = true;
    // Values --show accepts (empty: the option is not taken).
    QStringList showValues;
    bool takesDifferencesOnly = false;
    // How many rows of the table are headings (the NLM comparison has a
    // second row naming the version and date columns). json takes its keys
    // from them.
    int headerRows = 1;
    // --show takes a number from 1 (the N-th item) instead of showValues.
    bool showTakesNumber = false;
    // Values --view accepts (empty: the option is not taken).
    QStringList viewValues;
    // Exactly one server must be named.
    bool oneServer = false;
    // Values --type and --status accept (empty: the option is not taken).
    QStringList typeValues;
    QStringList statusValues;
    // The view takes one server and then this one argument ("CONNECTION").
    QString targetName;
    // After start-up: why the target is refused (exit status 2), empty when it is taken.
    std::function<QString(app::MainWindow&, const ReportRequest&)> refuseTarget;
};

// An option of the command line, as --help lists it.
struct ReportOption {
    const char* name;       // "--format"
    const char* valueName;  // "FORMAT", nullptr for a switch
    const char* help;
};

// Every option the command takes, in the order --help lists them.
const std::vector<ReportOption>& reportOptions();

// Opens a view the way the user does it for each server in turn: the server
// alone selected in lstServers, then the view's button. Without servers the
// button is pressed once for the start-up selection. False when the view is
// not part of this program (the reason has gone to the message service).
bool openForServers(app::MainWindow& form, app::Command command, const QStringList& servers);
// Opens a view once for all the servers, selected together in the order
// given (views that read their servers side by side); without servers, for
// the start-up selection.
bool openForServersInOrder(app::MainWindow& form, app::Command command, const QStringList& servers);

// The cells File / "&Save" writes for the active child window.
std::optional<QList<QStringList>> savedRowsOfActiveView(app::MainWindow& form, const QString& viewName);
// The one table of the active child window, as a view's output.
std::optional<ReportOutput> activeViewOutput(app::MainWindow& form, const QString& viewName);

// The name a view has on the command line, as its descriptor gives it.
QString reportNameOf(app::Command command);

// The views every report command knows: the one table of views, defined in
// ReportViews.cpp. A new view is one more entry there.
void addStandardViews(class ReportCommand& command);
// Volume usage, partitions and abend logs (ReportFrameViews.cpp).
void addFrameViews(class ReportCommand& command);

// The program started for a run without a user: messages to the error
// stream, no file dialogs, a private clipboard, no programs started.
class ReportSession {
public:
    explicit ReportSession(QTextStream& err);
    ~ReportSession();
    ReportSession(const ReportSession&) = delete;
    ReportSession& operator=(const ReportSession&) = delete;
    // Nothing when the program runs; otherwise the exit code (the reason is on err).
    std::optional<int> start();
    app::MainWindow& form();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

// The history commands (snapshot, changes, history; ReportHistory.cpp).
// Nothing when the arguments name none of them; otherwise the exit code.
std::optional<int> executeHistoryCommand(const QStringList& arguments, QIODevice& out, QTextStream& err,
                                         ReportFormat& format);
// Their lines of --help.
QString historyUsage();
// Their names: snapshot, changes, history.
QStringList historyCommandNames();

class ReportCommand {
public:
    ReportCommand();

    // Adds or replaces a view by name.
    void addView(ReportView view);
    const std::vector<ReportView>& views() const { return m_views; }

    // 0 table produced, 1 the client is missing, the network description
    // cannot be read, the view cannot be produced or a file cannot be written,
    // 2 wrong usage. The table goes to out as bytes (csv exactly as Save
    // writes it), or to the --output file.
    int execute(const QStringList& arguments, QIODevice& out, QTextStream& err);
    // The same with the table decoded into a text stream: csv as one
    // character per byte, tsv and json from UTF-8.
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err);

    QString usage() const;
    QString versionText() const;

    // Called with the main window the moment its picture (--screenshot) has
    // been drawn, before anything else runs: what the picture shows.
    using PictureObserver = std::function<void(app::MainWindow&)>;
    void setPictureObserver(PictureObserver observer) { m_pictureObserver = std::move(observer); }

private:
    std::vector<ReportView> m_views;
    PictureObserver m_pictureObserver;
    ReportFormat m_format = ReportFormat::Csv;  // of the last run
};

}  // namespace report
