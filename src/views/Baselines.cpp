#include "views/Baselines.h"

#include "core/AppContext.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "netware/NovellCalls.h"
#include "netware/ServerReads.h"
#include "platform/Services.h"
#include "views/HistoryRecords.h"
#include "views/ServerSnapshots.h"
#include "widgets/WaitCursor.h"

#include <QEventLoop>

namespace views {

namespace {

const QString kTitle = QStringLiteral("Save as Baseline");

}  // namespace

bool saveBaseline(core::AppContext& context, const QStringList& servers, const QString& name)
{
    platform::MessageService& messages = context.messages();
    history::HistoryRecorder* recorder = context.history;
    if (!recorder) {
        messages.inform(QStringLiteral("No history is kept in this run."), kTitle);
        return false;
    }
    const QString baseline = name.trimmed();
    if (baseline.isEmpty()) {
        messages.inform(QStringLiteral("A baseline needs a name."), kTitle, platform::Icon::Warning);
        return false;
    }
    if (servers.isEmpty())
        return false;
    const QStringList names =
        recorder->ask<QStringList>([](history::HistoryStore& store) { return store.baselineNames(); });
    if (names.contains(baseline)) {
        const platform::Answer answer =
            messages.show({kTitle, QStringLiteral("A baseline named \"%1\" exists. Replace it?").arg(baseline),
                           platform::Buttons::YesNo, platform::Icon::Question, platform::Answer::No});
        if (answer != platform::Answer::Yes)
            return false;
    }

    // Read off the window thread; the window keeps painting meanwhile.
    std::vector<history::Snapshot> kept;
    QStringList unread;
    {
        const widgets::WaitCursor wait;
        nw::ServerReads reads;
        QEventLoop loop;
        QObject::connect(&reads, &nw::ServerReads::finished, &loop, [&loop] { loop.quit(); });
        nw::startServerReads<ServerStateRead>(
            reads, static_cast<int>(servers.size()), context.values.parallelServers,
            [&context, servers](int index, const nw::ReadStop& stop) {
                return readBaselineState(context, servers.at(index), stop);
            },
            [&context, &kept, &unread, servers](int index, ServerStateRead& read) {
                if (read.opened != nw::status::Success || read.authenticated != nw::status::Success
                    || read.snapshots.size() < 2) {
                    unread.append(servers.at(index));
                    return;
                }
                for (const history::Snapshot& snapshot : read.snapshots) {
                    kept.push_back(snapshot);
                    recordSnapshot(context, snapshot);
                }
            });
        if (reads.isRunning())
            loop.exec();
    }

    if (kept.empty()) {
        messages.inform(QStringLiteral("None of the servers could be read; no baseline was saved."), kTitle,
                        platform::Icon::Warning);
        return false;
    }
    const bool saved = recorder->ask<bool>(
        [&baseline, &kept](history::HistoryStore& store) { return store.saveBaseline(baseline, kept); });
    if (!saved) {
        QStringList problems = recorder->takeProblems();
        if (problems.isEmpty())
            problems.append(QStringLiteral("The baseline could not be saved."));
        messages.inform(problems.join(QLatin1Char('\n')), kTitle, platform::Icon::Warning);
        return false;
    }
    if (!unread.isEmpty()) {
        messages.inform(QStringLiteral("Baseline \"%1\" was saved without %2, which could not be read.")
                            .arg(baseline, unread.join(QStringLiteral(", "))),
                        kTitle, platform::Icon::Warning);
    }
    return true;
}

}  // namespace views
