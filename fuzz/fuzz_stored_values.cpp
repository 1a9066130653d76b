// The readers of what the settings keep, whatever a hand edit left there:
// numbers (twips, window places, utilization thresholds and cells), the
// connection view's SelectedColumns, a tree's hidden-server list, and tree
// paths and container names. The first byte picks the reader; the texts
// follow. What is read and stored again must read the same.

#include "FuzzSupport.h"

#include "connections/ConnectionFormats.h"
#include "directory/ContainerNames.h"
#include "directory/DirectorySettings.h"
#include "directory/Partitions.h"
#include "netware/NovellCalls.h"
#include "settings/Registry.h"
#include "text/Twips.h"
#include "settings/WindowGeometry.h"
#include "support/MemoryRegistry.h"
#include "views/UtilizationRules.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using fuzzing::Input;
using settings::Hive;

[[noreturn]] void fail(const char* what, const QString& text = {})
{
    std::fprintf(stderr, "%s: \"%s\"\n", what, qUtf8Printable(text));
    std::abort();
}

// Hand-edited text: Latin-1 or, now and then, UTF-16 from the input.
QString storedText(Input& input, size_t most = 255)
{
    if (input.take<quint8>() < 224)
        return input.text(most);
    const QByteArray bytes = input.bytes(2 * most);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
}

std::optional<QString> maybe(Input& input, size_t most = 255)
{
    if (input.take<quint8>() & 1)
        return std::nullopt;
    return storedText(input, most);
}

void numbers(Input& input)
{
    const QString text = storedText(input);
    if (const auto number = texts::textToNumber(text); number && !std::isfinite(*number))
        fail("a number that is not finite", text);

    testing::MemoryRegistry store;
    const QString key = QStringLiteral("Software\\Korvanel\\Veskaro\\MainForm");
    store.createKey(Hive::CurrentUser, key);
    for (const char* name : {"Top", "Left", "Height", "Width"})
        if (const auto value = maybe(input, 24))
            store.setValue(Hive::CurrentUser, key, QString::fromLatin1(name), *value);
    const double twips = settings::readTwipsSetting(store, key, QStringLiteral("Width"));
    if (!std::isfinite(twips))
        fail("a width that is not finite");
    if (const auto geometry = settings::storedWindowGeometry(store, key)) {
        for (const double value : {geometry->top, geometry->left, geometry->height, geometry->width})
            if (!std::isfinite(value))
                fail("a window place that is not finite");
    }

    const auto warning = maybe(input, 24);
    const auto critical = maybe(input, 24);
    QString problem;
    const views::UtilizationThresholds thresholds = views::readUtilizationThresholds(warning, critical, &problem);
    if (thresholds.warning < 0 || thresholds.critical > 100 || thresholds.warning > thresholds.critical)
        fail("thresholds out of order");
    const QString cell = storedText(input, 24);
    views::utilizationLevel(cell, thresholds);
    if (const auto percent = views::utilizationPercent(cell); percent && (*percent < 0 || *percent > 100))
        fail("a percentage outside 0 to 100", cell);
}

void selectedColumns(Input& input)
{
    const auto stored = maybe(input, 99);
    const connections::ColumnChoice choice = connections::ColumnChoice::fromSetting(stored);
    const connections::ColumnChoice again = connections::ColumnChoice::fromSetting(choice.settingText());
    for (int c = 0; c < connections::kOptionalColumnCount; ++c) {
        const auto column = static_cast<connections::Column>(c);
        if (choice.shows(column) != again.shows(column))
            fail("the stored columns read back differently", choice.settingText());
    }
    choice.headings();

    testing::MemoryRegistry store;
    const QString key = connections::userConnectionsKeyPath();
    store.createKey(Hive::CurrentUser, key);
    for (const char* name : {"ConnType", "ConnStatus", "ShowAtStartup", "SelectedColumns"})
        if (const auto value = maybe(input, 120))
            store.setValue(Hive::CurrentUser, key, QString::fromLatin1(name), *value);
    const connections::ConnectionSettings read = connections::readConnectionSettings(store);
    read.columns();
    read.chooserAtOpening();
    read.chooserBoxTicked();
    connections::filterPasses(read.typeFilter, connections::connectionTypeName(input.take<quint8>()));
}

void hiddenServers(Input& input)
{
    testing::MemoryRegistry store;
    const QString tree = storedText(input, 32);
    store.createKey(Hive::CurrentUser, settings::kHiddenKey);
    store.setValue(Hive::CurrentUser, settings::kHiddenKey, tree, storedText(input, 4096));
    const QStringList hidden = directory::readHiddenServers(store, tree);
    for (const QString& name : hidden)
        if (name.isEmpty() || name != name.trimmed() || name.contains(QLatin1Char(',')) || hidden.count(name) != 1)
            fail("a hidden server that is blank, untrimmed or listed twice", name);
    directory::saveHiddenServers(store, tree, hidden);
    if (directory::readHiddenServers(store, tree) != hidden)
        fail("the hidden servers read back differently", hidden.join(QLatin1Char(',')));
}

void namesAndPaths(Input& input)
{
    const QString tree = storedText(input, 32);
    const QString first = storedText(input);
    const QString second = storedText(input);
    nw::treePathToDots(first, tree);
    nw::dotsToTreePath(first, tree);
    directory::startingContextFromPath(first, tree);
    directory::startingContainerPath(first, tree);
    directory::loginContextFromPath(first, tree);
    directory::containerOfIdentity(first);
    directory::withLeadingDot(first);
    directory::loginName(first, second);
    directory::childContext(first, second);
    directory::containerNodeKey(first, second, tree);
    directory::containerClassOf(first);
    directory::partitionDisplayName(first);

    // A dotted name of plain components goes to a tree path and back unchanged.
    QStringList parts;
    for (const QString& part : input.texts(8, 16)) {
        QString plain;
        for (const QChar c : part)
            if (c.isLetterOrNumber() && c.unicode() < 128)
                plain.append(c);
        if (!plain.isEmpty())
            parts.append(plain);
    }
    if (!parts.isEmpty()) {
        const QString dotted = parts.join(QLatin1Char('.'));
        const QString back = nw::treePathToDots(nw::dotsToTreePath(dotted, QStringLiteral("T")), QStringLiteral("T"));
        if (back != dotted)
            fail("a dotted name came back as another", dotted + QStringLiteral(" -> ") + back);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Input input(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        numbers(input);
        break;
    case 1:
        selectedColumns(input);
        break;
    case 2:
        hiddenServers(input);
        break;
    default:
        namesAndPaths(input);
        break;
    }
    return 0;
}
