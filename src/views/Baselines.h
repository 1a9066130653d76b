#pragma once
// "Save as Baseline...": the modules and SET parameters of servers, read
// now, kept in the history under a name ("before SP8", "golden FS") to
// compare with later.

#include <QString>
#include <QStringList>

namespace core {
class AppContext;
}

namespace views {

// Reads the servers side by side (what they give is kept as their latest
// snapshots too) and keeps their modules and SET parameters as `name`. A name
// already in use is replaced only when the user agrees (No is the default).
// Servers that cannot be read are named and left out; with none read nothing
// is kept. True when the baseline was stored.
bool saveBaseline(core::AppContext& context, const QStringList& servers, const QString& name);

}  // namespace views
