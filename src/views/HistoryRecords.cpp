#include "views/HistoryRecords.h"

#include "core/AppContext.h"
#include "history/Changes.h"
#include "history/HistoryRecorder.h"
#include "platform/Services.h"

#include <QDate>
#include <QLocale>

#include <cmath>

namespace views {

namespace {

history::Snapshot snapshotOf(const QString& server, history::SnapshotKind kind)
{
    history::Snapshot snapshot;
    snapshot.server = server;
    snapshot.kind = kind;
    snapshot.taken = QDateTime::currentDateTimeUtc();
    return snapshot;
}

}  // namespace

history::Snapshot moduleSnapshot(const QString& server, const std::vector<LoadedModule>& modules)
{
    history::Snapshot snapshot = snapshotOf(server, history::SnapshotKind::Modules);
    snapshot.items.reserve(modules.size());
    for (const LoadedModule& module : modules) {
        const nw::NLMInfo& info = module.info;
        const QDate date(static_cast<int>(info.year), static_cast<int>(info.month), static_cast<int>(info.day));
        snapshot.items.push_back({module.fileName,
                                  {nlmVersionText(info.majorVersion, info.minorVersion, info.revision).trimmed(),
                                   date.isValid() ? date.toString(Qt::ISODate) : QString()}});
    }
    return snapshot;
}

history::Snapshot parameterSnapshot(const QString& server, const std::vector<SetParameter>& parameters)
{
    history::Snapshot snapshot = snapshotOf(server, history::SnapshotKind::Parameters);
    snapshot.items.reserve(parameters.size());
    const QLocale c = QLocale::c();
    for (const SetParameter& parameter : parameters) {
        snapshot.items.push_back(
            {parameter.name,
             {parameterCategoryText(parameter.category), parameterValueText(parameter.type, parameter.value, c)}});
    }
    return snapshot;
}

history::Snapshot factsSnapshot(const QString& server, const QString& version, const QString& revision,
                                const QString& company, const QString& dsVersion)
{
    history::Snapshot snapshot = snapshotOf(server, history::SnapshotKind::Facts);
    snapshot.items = {{history::kFactVersion, {version}},
                      {history::kFactRevision, {revision}},
                      {history::kFactCompany, {company}},
                      {history::kFactDsVersion, {dsVersion}}};
    return snapshot;
}

history::Snapshot volumeSnapshot(const QString& server, const std::vector<VolumeReading>& volumes)
{
    history::Snapshot snapshot = snapshotOf(server, history::SnapshotKind::Volumes);
    const QLocale c = QLocale::c();
    for (const VolumeReading& volume : volumes) {
        // Whole per cents: free space moves by the minute, a snapshot is kept
        // only when the volume's share changes noticeably.
        const QString share = volume.totalBytes > 0
                                  ? QString::number(std::lround(100.0 * volume.freeBytes / volume.totalBytes))
                                  : QStringLiteral("N/A");
        snapshot.items.push_back({volume.volume, {c.toString(volume.totalBytes / (1024.0 * 1024.0), 'f', 2), share}});
    }
    return snapshot;
}

namespace {

// "5.00h", "4.10", "6.5(27)": major, minor and revision as nlmVersionText wrote them.
nw::NLMInfo versionOf(const QString& text)
{
    nw::NLMInfo info;
    const QString version = text.trimmed();
    const qsizetype dot = version.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        info.majorVersion = version.toUInt();
        return info;
    }
    info.majorVersion = version.left(dot).toUInt();
    qsizetype end = dot + 1;
    while (end < version.size() && version.at(end).isDigit())
        ++end;
    info.minorVersion = version.mid(dot + 1, end - dot - 1).toUInt();
    const QString rest = version.mid(end);
    if (rest.size() == 1 && rest.at(0) >= QLatin1Char('a') && rest.at(0) <= QLatin1Char('z'))
        info.revision = static_cast<quint32>(rest.at(0).unicode() - u'a' + 1);
    else if (rest.startsWith(QLatin1Char('(')) && rest.endsWith(QLatin1Char(')')))
        info.revision = rest.mid(1, rest.size() - 2).toUInt();
    return info;
}

quint32 categoryOf(const QString& text)
{
    for (quint32 category = 0; category < 64; ++category) {
        const QString name = parameterCategoryText(category);
        if (name == text)
            return category;
        if (name == QStringLiteral("N/A"))
            break;
    }
    return 0xFFFF;  // shown as "N/A", as an unknown category is
}

}  // namespace

std::vector<LoadedModule> modulesOfSnapshot(const history::Snapshot& snapshot)
{
    std::vector<LoadedModule> modules;
    modules.reserve(snapshot.items.size());
    for (const history::Item& item : snapshot.items) {
        LoadedModule module;
        module.fileName = item.name;
        module.info = versionOf(item.values.value(0));
        const QDate date = QDate::fromString(item.values.value(1), Qt::ISODate);
        if (date.isValid()) {
            module.info.year = static_cast<quint32>(date.year());
            module.info.month = static_cast<quint32>(date.month());
            module.info.day = static_cast<quint32>(date.day());
        }
        modules.push_back(std::move(module));
    }
    return modules;
}

std::vector<KeptParameter> parametersOfSnapshot(const history::Snapshot& snapshot)
{
    std::vector<KeptParameter> parameters;
    parameters.reserve(snapshot.items.size());
    for (const history::Item& item : snapshot.items) {
        KeptParameter kept;
        kept.parameter.name = item.name;
        kept.parameter.category = categoryOf(item.values.value(0));
        kept.valueText = item.values.value(1);
        parameters.push_back(std::move(kept));
    }
    return parameters;
}

void recordSnapshot(core::AppContext& context, history::Snapshot snapshot)
{
    if (context.history)
        context.history->recordSnapshot(std::move(snapshot));
}

void recordSamples(core::AppContext& context, std::vector<history::Sample> samples)
{
    if (context.history)
        context.history->recordSamples(std::move(samples));
}

void clearHistoryAfterAsking(core::AppContext& context)
{
    if (!context.history) {
        context.messages().inform(QStringLiteral("No history is kept in this run."), QStringLiteral("Clear History"));
        return;
    }
    const platform::Answer answer = context.messages().show(
        {QStringLiteral("Clear History"),
         QStringLiteral("Remove every utilization sample and snapshot kept of the servers? Baselines are kept."),
         platform::Buttons::YesNo, platform::Icon::Question, platform::Answer::No});
    if (answer != platform::Answer::Yes)
        return;
    const bool cleared = context.history->ask<bool>([](history::HistoryStore& store) { return store.clear(); });
    if (!cleared) {
        QStringList problems = context.history->takeProblems();
        if (problems.isEmpty())
            problems.append(QStringLiteral("The history could not be cleared."));
        context.messages().inform(problems.join(QLatin1Char('\n')), QStringLiteral("Clear History"),
                                  platform::Icon::Warning);
    }
}

}  // namespace views
