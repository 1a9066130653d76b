#pragma once
// What the views hand to the history once they have applied a server's
// values: the snapshot of what was read, in texts that do not depend on the
// user's locale, so that a change of language is no change of the server.

#include "history/HistoryTypes.h"
#include "views/ServerFormats.h"
#include "views/ServerReaders.h"

#include <QStringList>

#include <vector>

namespace core {
class AppContext;
}

namespace views {

// Items: file name; version ("5.00h") and release date (ISO, empty when the module states none).
history::Snapshot moduleSnapshot(const QString& server, const std::vector<LoadedModule>& modules);
// Items: parameter name; category text and value text.
history::Snapshot parameterSnapshot(const QString& server, const std::vector<SetParameter>& parameters);
// The facts shown by the server information view.
history::Snapshot factsSnapshot(const QString& server, const QString& version, const QString& revision,
                                const QString& company, const QString& dsVersion);
// Items: volume name; size in megabytes and free share in whole per cent.
struct VolumeReading {
    QString volume;
    double totalBytes = 0;
    double freeBytes = 0;
};
history::Snapshot volumeSnapshot(const QString& server, const std::vector<VolumeReading>& volumes);

// The other way: a kept module snapshot as modules the comparison can show
// (version and date as numbers again, no description).
std::vector<LoadedModule> modulesOfSnapshot(const history::Snapshot& snapshot);
// A kept parameter: its name and category (as a number again) and its value text.
struct KeptParameter {
    SetParameter parameter;  // no value bytes: the value is the text
    QString valueText;
};
std::vector<KeptParameter> parametersOfSnapshot(const history::Snapshot& snapshot);

// Hands snapshots or one poll's samples to the context's history, when it keeps one.
void recordSnapshot(core::AppContext& context, history::Snapshot snapshot);
void recordSamples(core::AppContext& context, std::vector<history::Sample> samples);

// Tools / "Clear History...": asks first (No is the default), then removes
// every sample and snapshot; baselines stay. Tells when it cannot.
void clearHistoryAfterAsking(core::AppContext& context);

}  // namespace views
