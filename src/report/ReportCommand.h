#pragma once
// veskaro-report: starts the way the program does, opens one view offscreen
// for the given servers and prints the table that File / "&Save" would write.
//
//   veskaro-report [--delimiter C] [--screenshot FILE.png] VIEW [SERVER...]

#include "app/Commands.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QTextStream;

namespace app {
class MainForm;
}

namespace report {

// What the command line asks of a view besides its name.
struct ReportRequest {
    QStringList servers;          // in the order given; empty: the start-up selection
    QString show;                 // --show, empty when not given
    bool differencesOnly = false; // --differences-only
    QString typeFilter;           // --type, empty when not given
    QString statusFilter;         // --status, empty when not given
};

struct ReportView {
    QString name;         // as typed on the command line
    QString description;  // one line for --help
    // Opens the view and returns the table text; nothing when the view cannot
    // be produced (the reason has gone to the message service).
    std::function<std::optional<QString>(app::MainForm&, const ReportRequest&)> produce;
    // False for views that show the whole list rather than a selection.
    bool takesServers = true;
    // Values --show accepts (empty: the option is not taken).
    QStringList showValues;
    bool takesDifferencesOnly = false;
    // Values --type and --status accept (empty: the option is not taken).
    QStringList typeValues;
    QStringList statusValues;
};

// Opens a view the way the user does it for each server in turn: the server
// alone selected in lstServers, then the view's button. Without servers the
// button is pressed once for the start-up selection. False when the view is
// not part of this program (the reason has gone to the message service).
bool openForServers(app::MainForm& form, app::Command command, const QStringList& servers);

// The text File / "&Save" writes for the active child window.
std::optional<QString> savedTextOfActiveView(app::MainForm& form, const QString& viewName);

// The views every report command knows (defined beside the views).
void addStandardViews(class ReportCommand& command);

class ReportCommand {
public:
    ReportCommand();

    // Adds or replaces a view by name.
    void addView(ReportView view);
    const std::vector<ReportView>& views() const { return m_views; }

    // 0 table produced, 1 the client is missing or the network description
    // cannot be read, 2 wrong usage.
    int execute(const QStringList& arguments, QTextStream& out, QTextStream& err);

    QString usage() const;

private:
    std::vector<ReportView> m_views;
};

}  // namespace report
