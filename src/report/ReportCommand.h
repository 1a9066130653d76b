#pragma once
// veskaro-report: starts the way the program does, opens one view offscreen
// for the given servers and prints the table that File / "&Save" would write.
//
//   veskaro-report [--delimiter C] [--screenshot FILE.png] VIEW [SERVER...]

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

struct ReportView {
    QString name;         // as typed on the command line
    QString description;  // one line for --help
    // Opens the view for the servers selected in lstServers and returns the
    // table text; nothing when the view cannot be produced (the reason has
    // gone to the message service).
    std::function<std::optional<QString>(app::MainForm&)> produce;
    // False for views that show the whole list rather than a selection.
    bool takesServers = true;
};

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
